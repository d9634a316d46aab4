#include "ui/filedialogs/KFileDialog.h"

#include "core/application/KApplicationAbstract.h"
#include "platform/KMessageBox.h"
#include "ui/dialogs/KDialogSuppressException.h"

#include <algorithm>
#include <cstring>
#include <new>

KFileDialog::KFileDialog(BOOL bOpenFileDialog, DWORD dwFlags, CWnd* pParentWnd)
    : CFileDialog(bOpenFileDialog, nullptr, nullptr, dwFlags, nullptr, pParentWnd) {}

KFileDialog::~KFileDialog() {
  while (!m_types.IsEmpty()) delete m_types.RemoveHead();
}

bool KFileDialog::addFileType(const char* description, const char* pattern, int id) {
  KFileTypeInfo* type = nullptr;
  try {
    type = new KFileTypeInfo(id, description, pattern);
    m_types.AddTail(type);
  } catch (const std::bad_alloc&) {
    delete type;
    reportError(CDERR_MEMALLOCFAILURE);
    return true;
  }
  // The filter grows only with a record beside it, so that filter index i
  // always names the i-th record.
  m_strFilter += description;
  m_strFilter += '\0';
  m_strFilter += pattern;
  m_strFilter += '\0';
  ++m_nFilterCount;
  if (m_nSelectedType == -1) selectType(id);
  return false;
}

const KFileTypeInfo* KFileDialog::findType(int id) const {
  for (POSITION pos = m_types.GetHeadPosition(); pos;) {
    const KFileTypeInfo* type = m_types.GetNext(pos);
    if (type->getId() == id) return type;
  }
  return nullptr;
}

const KFileTypeInfo* KFileDialog::typeAtFilterIndex(DWORD index) const {
  DWORD position = 1;
  for (POSITION pos = m_types.GetHeadPosition(); pos; ++position) {
    const KFileTypeInfo* type = m_types.GetNext(pos);
    if (position == index) return type;
  }
  return nullptr;
}

bool KFileDialog::selectType(int id) {
  DWORD position = 1;
  for (POSITION pos = m_types.GetHeadPosition(); pos; ++position) {
    if (m_types.GetNext(pos)->getId() == id) {
      m_ofn.nFilterIndex = position;
      m_nSelectedType = id;
      return false;
    }
  }
  return true;
}

KString KFileDialog::defaultFileName(const char* folder, const char* name) {
  KString path;
  if (!folder || !*folder) {
    path = KGetApplication()->GetWorkingFolder();
    name = "QUELM1";
  } else {
    path = folder;
  }
  if (!path.IsEmpty() && path[path.GetLength() - 1] != '/' && path[path.GetLength() - 1] != '\\') path += '/';
  path += name ? name : "";
  return path;
}

KString KFileDialog::replaceExtension(const KString& name, const KString& extension) {
  const std::string& text = name.str();
  const size_t nameStart = text.find_last_of("/\\") == std::string::npos ? 0 : text.find_last_of("/\\") + 1;
  const size_t dot = text.rfind('.');
  std::string result = (dot != std::string::npos && dot >= nameStart) ? text.substr(0, dot) : text;
  result += '.';
  result += extension.str();
  return KString(std::move(result));
}

INT_PTR KFileDialog::DoModal() {
  // A file chooser waits for a user as any dialog does.
  if (areDialogsSuppressed()) throw KDialogSuppressException();
  m_ofn.lpstrFilter = m_nFilterCount > 0 ? m_strFilter.GetString() : nullptr;
  KString initial = m_strInitialFileName;
  if (initial.IsEmpty()) {
    initial = defaultFileName("", "");
    if (const KFileTypeInfo* type = getSelectedTypeInfo(); type && !type->getDefaultExtension().IsEmpty())
      initial = replaceExtension(initial, type->getDefaultExtension());
  }
  const DWORD size = m_bMultiSelect ? kMultiFileBuffer : kSingleFileBuffer;
  m_fileBuffer.assign(size, '\0');
  // A name that does not fit starts the dialog without one rather than cut.
  if (static_cast<DWORD>(initial.GetLength()) < size)
    std::memcpy(m_fileBuffer.data(), initial.GetString(), static_cast<size_t>(initial.GetLength()));
  m_ofn.lpstrFile = m_fileBuffer.data();
  m_ofn.nMaxFile = size;
  if (m_bMultiSelect)
    m_ofn.Flags |= OFN_ALLOWMULTISELECT;
  else
    m_ofn.Flags &= ~static_cast<DWORD>(OFN_ALLOWMULTISELECT);

  INT_PTR result = CFileDialog::DoModal();
  if (result != IDOK && result != IDCANCEL) reportError(CommDlgExtendedError());
  if (result == IDOK) {
    if (const KFileTypeInfo* type = typeAtFilterIndex(m_ofn.nFilterIndex)) m_nSelectedType = type->getId();
  }
  return checkResult(result);
}

BOOL KFileDialog::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  const OFNOTIFY* notify = reinterpret_cast<const OFNOTIFY*>(lParam);
  if (notify && notify->hdr.code == CDN_TYPECHANGE) {
    if (const KFileTypeInfo* type = typeAtFilterIndex(notify->lpOFN->nFilterIndex)) onTypeChange(*type);
    if (pResult) *pResult = 0;
    return TRUE;
  }
  return CFileDialog::OnNotify(wParam, lParam, pResult);
}

void KFileDialog::onTypeChange(const KFileTypeInfo& type) {
  m_nSelectedType = type.getId();
  if (type.getDefaultExtension().IsEmpty()) return;
  KString name = GetControlText(cmb13);
  if (name.IsEmpty()) return;
  SetControlText(cmb13, replaceExtension(name, type.getDefaultExtension()));
}

UINT KFileDialog::errorMessageId(DWORD code) {
  switch (code) {
    case CDERR_MEMALLOCFAILURE:
    case FNERR_SUBCLASSFAILURE:
      return IDS_KFILEDIALOG_NOMEMORY;
    case FNERR_INVALIDFILENAME:
      return IDS_KFILEDIALOG_BADNAME;
    case FNERR_BUFFERTOOSMALL:
      return IDS_KFILEDIALOG_NAMETOOLONG;
    default:
      return IDS_KFILEDIALOG_FAILED;
  }
}

namespace {

const KString& cachedMessage(UINT id) {
  struct Text {
    bool loaded = false;
    KString text;
  };
  static Text noMemory, badName, nameTooLong, failed;
  Text& entry = id == IDS_KFILEDIALOG_NOMEMORY  ? noMemory
                : id == IDS_KFILEDIALOG_BADNAME ? badName
                : id == IDS_KFILEDIALOG_NAMETOOLONG ? nameTooLong
                                                    : failed;
  if (!entry.loaded) {
    entry.text.LoadString(id);
    entry.loaded = true;
  }
  return entry.text;
}

}  // namespace

void KFileDialog::reportError(DWORD code) {
  AfxMessageBox(cachedMessage(errorMessageId(code)), MB_OK | MB_ICONERROR);
}
