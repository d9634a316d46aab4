// KDialog: the base of the library's dialogs, a CDialog with the behaviour of
// KDialogExtender plus:
// - suppression: while dialogs are suppressed (KDialogSuppressException.h),
//   DoModal throws KDialogSuppressException before any window exists;
// - an optional guard around WM_INITDIALOG (option
//   "catchOnInitDialogException"): an exception escaping the initialisation is
//   reported in a message box and the dialog stays open, half initialised,
//   so that the user can send a picture of it;
// - unit labels: the controls IDC_KUNITLABEL1..3, where a template has them,
//   show "in" or "mm" after option "screenUnitsUS";
// - modeless use: after Create, OK takes the data from the controls and
//   destroys the window, Cancel destroys it; modal dialogs end as CDialog does;
// - helpers on controls by identifier that ignore controls the template lacks.
#pragma once
#include "platform/KString.h"
#include "platform/windows/CDialog.h"
#include "ui/dialogs/KDialogExtender.h"
#include "ui/dialogs/KDialogSuppressException.h"

// Controls that carry the length unit of the screen.
constexpr int IDC_KUNITLABEL1 = 0xAEF2;
constexpr int IDC_KUNITLABEL2 = 0xAEF3;
constexpr int IDC_KUNITLABEL3 = 0xAEF4;

class KDialog : public KDialogExtender<CDialog> {
 public:
  explicit KDialog(UINT nIDTemplate, CWnd* pParent = nullptr);

  // Throws KDialogSuppressException while dialogs are suppressed; otherwise
  // runs the dialog modally and answers its result.
  INT_PTR DoModal() override;
  // Creates the dialog modeless; it then ends through OnOK/OnCancel by
  // destroying its window.
  BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr) override;
  bool isModeless() const { return m_bModeless; }
  // Modeless: OK takes the data from the controls and, when that succeeds,
  // destroys the window; Cancel destroys it. Modal: as CDialog.
  void OnOK() override;
  void OnCancel() override;

  // The text of the report of an exception caught while initialising: the
  // exception's type name, and its description when it has one.
  static KString initDialogExceptionText(const char* typeName, const char* description);

  // Shows bitmap resource `bitmapId` on picture control `controlId`, its light
  // grey (0xC0C0C0) mapped to the 3-D face colour so it blends with the
  // dialog. A bitmap that cannot be loaded is reported with a message box.
  void setBitmap(int controlId, UINT bitmapId);
  // Moves control `id` to the rectangle (left, top, right, bottom) in client
  // coordinates. Nothing happens when the dialog has no such control.
  void moveControl(int id, int left, int top, int right, int bottom);
  // Makes edit control `id` read-only or writable; nothing when absent.
  void setReadOnly(int id, bool readOnly);
  // Enables or disables control `id`; nothing when absent.
  void enableControl(int id, bool enable);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Sets the three unit labels, where present, to "in" or "mm".
  void setUnitLabels();

  bool m_bModeless = false;

 private:
  LRESULT guardedInitDialog(WPARAM wParam, LPARAM lParam);
};
