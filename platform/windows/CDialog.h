// CDialog: a dialog in the manner of the MFC class, built from a dialog
// template (platform/KResourceKinds.h) found through the resource chain.
//
// Modal: DoModal creates the dialog, sends WM_INITDIALOG (OnInitDialog), runs
// until EndDialog and destroys the window before it returns the result.
// Modeless: Create makes the dialog and answers at once; the dialog lives
// until DestroyWindow. OK and Cancel buttons (IDOK, IDCANCEL), the Escape key
// and the close box reach OnOK and OnCancel through WM_COMMAND.
//
// Without a window system (AfxWindowSystemAvailable() false) no dialog can be
// made: DoModal answers -1 and Create FALSE, as for a missing template.
#pragma once
#include "platform/windows/CWnd.h"

class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
  // TRUE: from the controls into the members; FALSE: members to controls.
  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
  // Ends the exchange as failed (UpdateData answers FALSE); does not return.
  [[noreturn]] void Fail();
};

// Exchanges between a control's text and a member. A text that is not a
// number shows a message and fails the exchange.
void DDX_Text(CDataExchange* pDX, int nIDC, KString& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
// Check box or radio button state (BST_UNCHECKED, BST_CHECKED).
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// Subclasses the control `nIDC` with `control` on the first exchange.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control);

class CDialog : public CWnd {
 public:
  CDialog() = default;
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
      : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}
  ~CDialog() override;

  // Runs the dialog modally; the EndDialog result, or -1 when the dialog
  // could not be made (no window system, no template).
  virtual INT_PTR DoModal();
  // Uses `dialogTemplate` instead of looking one up (for DoModal).
  BOOL InitModalIndirect(const KDialogTemplate* dialogTemplate, CWnd* pParentWnd = nullptr);
  // Makes the dialog modeless; FALSE when it could not be made.
  virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  BOOL CreateIndirect(const KDialogTemplate* dialogTemplate, CWnd* pParentWnd = nullptr);
  // Modal: ends the loop with `nResult`. Modeless: hides the dialog.
  void EndDialog(int nResult);
  // DoDataExchange in the given direction; FALSE when the exchange failed.
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
  // TRUE while DoModal runs the dialog.
  BOOL IsModal() const { return m_bModal; }

  // Default: UpdateData(FALSE), then TRUE.
  virtual BOOL OnInitDialog();
  // Default: UpdateData(TRUE), then EndDialog(IDOK) when it succeeded.
  virtual void OnOK();
  // Default: EndDialog(IDCANCEL).
  virtual void OnCancel();

 protected:
  virtual void DoDataExchange(CDataExchange* pDX);
  // WM_INITDIALOG (OnInitDialog; the result is its answer) and the commands
  // IDOK, IDCANCEL and the edit commands (ID_EDIT_COPY ... forwarded to the
  // focused edit control), then the base.
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  UINT m_nIDTemplate = 0;
  CWnd* m_pParentWnd = nullptr;

 private:
  friend struct KWndAccess;
  // Makes the window and its controls and sends WM_INITDIALOG.
  BOOL createDialog(const KDialogTemplate* dialogTemplate, CWnd* pParentWnd, bool modal);
  const KDialogTemplate* m_pTemplate = nullptr;
  bool m_bModal = false;
  bool m_bEndPending = false;  // EndDialog came before the modal loop started
  int m_nResult = -1;
};
