#include "ui/filedialogs/KSaveAsDialog.h"

#include "platform/KFileAttributes.h"
#include "platform/KMessageBox.h"

KSaveAsDialog::KSaveAsDialog(DWORD dwFlags, CWnd* pParentWnd)
    : KFileDialog(FALSE, (dwFlags & ~static_cast<DWORD>(OFN_OVERWRITEPROMPT)) | OFN_NOREADONLYRETURN, pParentWnd) {}

INT_PTR KSaveAsDialog::checkResult(INT_PTR result) {
  m_strFullPath.Empty();
  if (result != IDOK) return result;
  m_strFullPath = GetPathName();
  const KFileTypeInfo* type = getSelectedTypeInfo();
  if (type && !type->getDefaultExtension().IsEmpty() && GetFileExt().IsEmpty())
    m_strFullPath = replaceExtension(m_strFullPath, type->getDefaultExtension());

  const DWORD attributes = GetFileAttributesA(m_strFullPath);
  if (attributes == INVALID_FILE_ATTRIBUTES) return result;
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    AfxMessageBox(IDS_KSAVEAS_READONLY, MB_OK | MB_ICONWARNING);
    return IDCANCEL;
  }
  if (m_bConfirmOverwrite && AfxMessageBox(IDS_KSAVEAS_OVERWRITE, MB_YESNO | MB_ICONQUESTION) != IDYES)
    return IDCANCEL;
  return result;
}
