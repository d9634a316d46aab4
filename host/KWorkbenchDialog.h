// KWorkbenchDialog: quelmhost's main dialog on a window system. Three bands:
//   - an entry field that takes any expression of a length (numbers, unit
//     names such as "1 ft + 2 in", feet and inches in a feet set) and shows
//     its value in the current unit set and in screen units, whose label
//     (IDC_KUNITLABEL1) follows the option "screenUnitsUS"; the unit set
//     itself is a field of its own;
//   - an object-file browser: Open (KOpenDialog) lists the objects and
//     attributes of a file of either form, Save copy (KSaveAsDialog) writes
//     it again in the text or the binary form;
//   - the application options with their values and whether each is
//     modified.
// Its placement is kept in the registry (section "Workbench") when it
// closes and restored when it opens. Enter evaluates the entry; Close and
// Escape end the dialog.
//
// The operations behind the buttons are public so that a test can drive the
// dialog while it runs (from AfxCallAfter callbacks).
#pragma once
#include "host/KObjectFileBrowser.h"
#include "host/KWorkbenchEntry.h"
#include "ui/dialogs/KDialog.h"
#include "ui/dialogs/KListCtrl.h"

class KApplicationAbstract;
class KFileDialog;

class KWorkbenchDialog : public KDialog {
 public:
  static constexpr const char* kPlacementSection = "Workbench";
  // The file types of the file dialogs.
  enum EFileType { kTextObjectFile = 1, kBinaryObjectFile = 2, kAnyFile = 3 };

  // `units`: the set `app` converts and splits lengths by.
  KWorkbenchDialog(KApplicationAbstract& app, KConsistentUnits& units, CWnd* pParent = nullptr);

  // Before DoModal: a file to browse at once, and the seconds after which the
  // dialog closes itself as its Close button does (0: never).
  void setOpenPath(const KString& path) { m_openPath = path; }
  void setCloseAfter(int seconds) { m_nCloseAfterSeconds = seconds; }

  // The unit-set field becomes the current set (or the refusal is shown).
  void applyUnits();
  // The entry field is evaluated and its value shown (or the refusal).
  void evaluateEntry();
  // Lists `path`; true when it could not be read (said in the file line; the
  // list keeps the file shown before).
  bool openObjectFile(const char* path);
  // The Open and Save copy buttons: a file dialog, then the work; a failure
  // is also shown in a message box.
  void chooseAndOpen();
  void chooseAndSaveCopy();
  // Fills the options list again.
  void fillOptions();

  // The file dialog running now (Open or Save copy), else null.
  KFileDialog* runningFileDialog() const { return m_pFileDialog; }
  const KObjectFileBrowser& browser() const { return m_browser; }
  KListCtrl& objectList() { return m_objects; }
  KListCtrl& optionList() { return m_options; }

 protected:
  BOOL OnInitDialog() override;
  // Enter: evaluates the entry, or applies the unit set when that field has
  // the focus; the dialog stays.
  void OnOK() override;
  // Close, Escape, the close box and --close-after: keep the placement, end.
  void OnCancel() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void fillObjects();
  void showFileLine();

  KApplicationAbstract& m_app;
  KWorkbenchEntry m_entry;
  KObjectFileBrowser m_browser;
  KListCtrl m_objects;
  KListCtrl m_options;
  KFileDialog* m_pFileDialog = nullptr;
  KString m_openPath;
  int m_nCloseAfterSeconds = 0;
};
