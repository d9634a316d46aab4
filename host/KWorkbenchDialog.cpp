#include "host/KWorkbenchDialog.h"

#include "core/application/KApplicationAbstract.h"
#include "core/system/KWindowPlacement.h"
#include "host/KWorkbenchOptions.h"
#include "host/KWorkbenchTemplate.h"
#include "platform/KMessageBox.h"
#include "ui/filedialogs/KOpenDialog.h"
#include "ui/filedialogs/KSaveAsDialog.h"

namespace {
constexpr UINT_PTR kCloseTimer = 1;

// Forgets the running file dialog however the run ends.
class KRunningFileDialog {
 public:
  KRunningFileDialog(KFileDialog*& slot, KFileDialog& dialog) : m_slot(slot) { m_slot = &dialog; }
  ~KRunningFileDialog() { m_slot = nullptr; }
  KRunningFileDialog(const KRunningFileDialog&) = delete;
  KRunningFileDialog& operator=(const KRunningFileDialog&) = delete;

 private:
  KFileDialog*& m_slot;
};

// Runs a file dialog; false unless the user chose OK. A suppressed dialog
// counts as cancelled.
bool runFileDialog(KFileDialog*& slot, KFileDialog& dialog) {
  KRunningFileDialog running(slot, dialog);
  try {
    return dialog.DoModal() == IDOK;
  } catch (const KDialogSuppressException&) {
    return false;
  }
}

void insertColumns(KListCtrl& list, std::initializer_list<const char*> headings) {
  int column = 0;
  for (const char* heading : headings) list.InsertColumn(column++, heading);
}

void autoSizeColumns(KListCtrl& list, int columns) {
  for (int column = 0; column < columns; ++column) list.autoSizeColumn(column);
}
}  // namespace

KWorkbenchDialog::KWorkbenchDialog(KApplicationAbstract& app, KConsistentUnits& units, CWnd* pParent)
    : KDialog(IDD_WORKBENCH, pParent), m_app(app), m_entry(units) {
  InitModalIndirect(&KWorkbenchTemplate(), pParent);
}

BOOL KWorkbenchDialog::OnInitDialog() {
  KDialog::OnInitDialog();
  m_objects.SubclassDlgItem(IDC_WB_OBJECTS, this);
  m_options.SubclassDlgItem(IDC_WB_OPTIONS, this);
  insertColumns(m_objects, {"Type", "Name", "Count", "Values"});
  insertColumns(m_options, {"Option", "Type", "Value", "Modified"});
  SetDlgItemText(IDC_WB_UNITS, m_entry.unitsName());
  SetDlgItemText(IDC_WB_ENTRY, "1 ft + 2 in");
  evaluateEntry();
  fillOptions();
  enableControl(IDC_WB_SAVECOPY, false);
  if (m_nCloseAfterSeconds > 0) SetTimer(kCloseTimer, static_cast<UINT>(m_nCloseAfterSeconds) * 1000u);
  if (!m_openPath.IsEmpty()) openObjectFile(m_openPath);
  KRestoreWindowPlacement(*this, kPlacementSection);
  return TRUE;
}

void KWorkbenchDialog::OnOK() {
  CWnd* focus = CWnd::GetFocus();
  if (focus && focus == GetDlgItem(IDC_WB_UNITS)) applyUnits();
  else evaluateEntry();
}

void KWorkbenchDialog::OnCancel() {
  KillTimer(kCloseTimer);
  KSaveWindowPlacement(*this, kPlacementSection);
  KDialog::OnCancel();
}

BOOL KWorkbenchDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == BN_CLICKED) {
    switch (LOWORD(wParam)) {
      case IDC_WB_APPLYUNITS: applyUnits(); return TRUE;
      case IDC_WB_EVALUATE: evaluateEntry(); return TRUE;
      case IDC_WB_OPEN: chooseAndOpen(); return TRUE;
      case IDC_WB_SAVECOPY: chooseAndSaveCopy(); return TRUE;
      default: break;
    }
  }
  return KDialog::OnCommand(wParam, lParam);
}

LRESULT KWorkbenchDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kCloseTimer) {
    // A file dialog on top is cancelled first; the next tick closes.
    if (m_pFileDialog && m_pFileDialog->IsRunning()) {
      m_pFileDialog->EndDialog(IDCANCEL);
      SetTimer(kCloseTimer, 500);
    } else {
      OnCancel();
    }
    return 0;
  }
  return KDialog::WindowProc(message, wParam, lParam);
}

void KWorkbenchDialog::applyUnits() {
  KString setName, error;
  GetDlgItemText(IDC_WB_UNITS, setName);
  setName.Trim();
  if (m_entry.setUnits(setName, error)) {
    SetDlgItemText(IDC_WB_MESSAGE, error);
    return;
  }
  SetDlgItemText(IDC_WB_UNITS, m_entry.unitsName());
  evaluateEntry();
}

void KWorkbenchDialog::evaluateEntry() {
  KString text;
  GetDlgItemText(IDC_WB_ENTRY, text);
  KWorkbenchResult result = m_entry.evaluate(text);
  if (result.failed) {
    SetDlgItemText(IDC_WB_MESSAGE, result.text);
    return;
  }
  // Feet-and-inches texts carry their units; "N/A" has none.
  KString shown = result.text;
  if (shown.FindOneOf("'\"") < 0 && shown != "N/A") shown += " " + result.unit;
  SetDlgItemText(IDC_WB_VALUE, shown);
  SetDlgItemText(IDC_WB_SCREENVALUE, result.screenText);
  SetDlgItemText(IDC_WB_MESSAGE, "");
}

bool KWorkbenchDialog::openObjectFile(const char* path) {
  KString error;
  if (m_browser.open(path, error)) {
    SetDlgItemText(IDC_WB_FILE, error);
    return true;
  }
  fillObjects();
  showFileLine();
  enableControl(IDC_WB_SAVECOPY, true);
  return false;
}

void KWorkbenchDialog::fillObjects() {
  m_objects.setRedraw(false);
  m_objects.DeleteAllItems();
  int item = 0;
  for (const KObjectFileRow& row : m_browser.rows()) {
    KString type(' ', row.depth * 4);
    type += row.kind;
    KString count;
    if (row.tag == 'O') count = "object";
    else count.Format("%ld", row.count);
    m_objects.InsertItem(item, type);
    m_objects.SetItemText(item, 1, row.name);
    m_objects.SetItemText(item, 2, count);
    m_objects.SetItemText(item, 3, row.values);
    m_objects.SetItemData(item, static_cast<DWORD_PTR>(item));
    ++item;
  }
  if (m_browser.truncated()) m_objects.InsertItem(item, "(more records follow)");
  m_objects.setRedraw(true);
  autoSizeColumns(m_objects, 4);
}

void KWorkbenchDialog::showFileLine() {
  KString line;
  const long objects = m_browser.objectCount();
  line.Format("%s (%s form, %ld object%s%s)", m_browser.path().GetString(), m_browser.isText() ? "text" : "binary",
              objects, objects == 1 ? "" : "s", m_browser.truncated() ? ", the first records listed" : "");
  SetDlgItemText(IDC_WB_FILE, line);
}

void KWorkbenchDialog::fillOptions() {
  m_options.setRedraw(false);
  m_options.DeleteAllItems();
  int item = 0;
  for (const KWorkbenchOptionRow& row : KListApplicationOptions(m_app, m_app.GetGlobalOptions())) {
    m_options.InsertItem(item, row.name);
    m_options.SetItemText(item, 1, row.type);
    m_options.SetItemText(item, 2, row.value);
    m_options.SetItemText(item, 3, row.modified ? "modified" : "");
    ++item;
  }
  m_options.setRedraw(true);
  autoSizeColumns(m_options, 4);
}

void KWorkbenchDialog::chooseAndOpen() {
  KOpenDialog dialog(OFN_HIDEREADONLY, this);
  dialog.addFileType("Object files", "*.qob;*.txt;*.bin", kTextObjectFile);
  dialog.addFileType("All files", "*.*", kAnyFile);
  if (!runFileDialog(m_pFileDialog, dialog) || !openObjectFile(dialog.GetPathName())) return;
  KString reason;
  GetDlgItemText(IDC_WB_FILE, reason);
  AfxMessageBox(reason, MB_OK | MB_ICONWARNING);
}

void KWorkbenchDialog::chooseAndSaveCopy() {
  if (!m_browser.isOpen()) return;
  KSaveAsDialog dialog(OFN_HIDEREADONLY, this);
  dialog.addFileType("Text object file", "*.txt", kTextObjectFile);
  dialog.addFileType("Binary object file", "*.qob", kBinaryObjectFile);
  // The other form than the file's own is the likelier wish.
  const bool text = !m_browser.isText();
  dialog.selectType(text ? kTextObjectFile : kBinaryObjectFile);
  KString name = m_browser.path();
  const int dot = name.ReverseFind('.'), slash = name.ReverseFind('/');
  if (dot > slash) name = name.Left(dot);
  dialog.setInitialFileName(KFileDialog::replaceExtension(name + "-copy", text ? "txt" : "qob"));
  if (!runFileDialog(m_pFileDialog, dialog)) return;
  const bool asText = dialog.getSelectedType() == kTextObjectFile;
  KString error;
  if (m_browser.saveCopy(dialog.getFullPath(), asText, error)) {
    SetDlgItemText(IDC_WB_FILE, error);
    AfxMessageBox(error, MB_OK | MB_ICONWARNING);
    return;
  }
  KString line;
  line.Format("Saved a %s copy as %s", asText ? "text" : "binary", dialog.getFullPath().GetString());
  SetDlgItemText(IDC_WB_FILE, line);
}
