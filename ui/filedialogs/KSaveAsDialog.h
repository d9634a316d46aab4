// KSaveAsDialog: a file dialog for saving, with its own check of the chosen
// file after the dialog has closed: a read-only file is refused (always), and
// an existing file is replaced only when the user confirms it (unless the
// confirmation is switched off). The common dialog's own overwrite prompt is
// off so that the user is asked once, about the name with its extension.
#pragma once
#include "ui/filedialogs/KFileDialog.h"

constexpr UINT IDS_KSAVEAS_READONLY = 0x2A7D;
constexpr UINT IDS_KSAVEAS_OVERWRITE = 0x3260;

class KSaveAsDialog : public KFileDialog {
 public:
  explicit KSaveAsDialog(DWORD dwFlags = OFN_HIDEREADONLY, CWnd* pParentWnd = nullptr);

  void setConfirmOverwrite(bool confirm) { m_bConfirmOverwrite = confirm; }
  bool getConfirmOverwrite() const { return m_bConfirmOverwrite; }
  // The chosen path with the selected type's extension added when the name
  // has none; empty before an OK.
  const KString& getFullPath() const { return m_strFullPath; }

 protected:
  INT_PTR checkResult(INT_PTR result) override;

 private:
  bool m_bConfirmOverwrite = true;
  KString m_strFullPath;
};
