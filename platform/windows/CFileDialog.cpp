// The common file dialogs on wxFileDialog. The Win32 description in m_ofn is
// translated when the dialog starts (filter pairs to a wx wildcard, 1-based
// filter index to 0-based, OFN_ flags to wxFD_ styles) and the answer written
// back in the Win32 layout when it ends. The native chooser tells nobody when
// the user picks another type, so a timer compares the chooser's filter with
// the last one seen while the dialog runs and turns a change into
// CDN_TYPECHANGE.
#include "platform/windows/CFileDialog.h"

#include "platform/KMessageBox.h"
#include "platform/windows/KWxPrivate.h"

#include <wx/filedlg.h>
#include <wx/timer.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

wxString fromNarrow(const char* text) { return wxString::FromUTF8(text ? text : ""); }
std::string toNarrow(const wxString& text) { return std::string(text.ToUTF8().data()); }

// "desc\0pattern\0desc\0pattern\0\0" -> "desc|pattern|desc|pattern"; counts the pairs.
wxString wildcardOfFilter(const char* filter, int& pairs) {
  pairs = 0;
  wxString wildcard;
  if (!filter) return wildcard;
  for (const char* p = filter; *p;) {
    const char* description = p;
    p += std::strlen(p) + 1;
    const char* pattern = p;
    if (*p) p += std::strlen(p) + 1;
    if (!wildcard.empty()) wildcard += '|';
    wildcard += fromNarrow(description) + '|' + fromNarrow(*pattern ? pattern : "*");
    ++pairs;
  }
  return wildcard;
}

// Characters the family's programs never accept in a file name, so that the
// names it writes stay usable on every system it runs on.
bool isValidFileName(const std::string& name) {
  for (unsigned char c : name) {
    if (c < 32 || std::strchr("<>|\"", c)) return false;
  }
  return true;
}

}  // namespace

KString CFileDialog::WildcardOfFilter(LPCSTR lpszFilter, int& pairs) {
  return KString(toNarrow(wildcardOfFilter(lpszFilter, pairs)));
}

// The dialog while it runs, with the timer that watches its type list.
struct CFileDialog::Running : public wxTimer {
  Running(CFileDialog& owner, wxFileDialog& dialog) : m_owner(owner), m_dialog(dialog) {
    m_lastFilter = dialog.GetFilterIndex();
  }
  void Notify() override {
    const int filter = m_dialog.GetFilterIndex();
    if (filter == m_lastFilter || filter < 0) return;
    m_lastFilter = filter;
    m_owner.notifyTypeChange(static_cast<DWORD>(filter + 1));
  }
  CFileDialog& m_owner;
  wxFileDialog& m_dialog;
  int m_lastFilter;
  // The path last written into the name field by SetControlText, absolute:
  // OK answers it while the chooser still shows that name.
  std::string m_typed;
};

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd, DWORD, BOOL)
    : m_bOpenFileDialog(bOpenFileDialog), m_pParentWnd(pParentWnd) {
  m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_ENABLEHOOK;
  if (lpszDefExt) {
    m_strDefExt = lpszDefExt;
    m_ofn.lpstrDefExt = m_strDefExt.GetString();
  }
  if (lpszFileName) std::strncpy(m_szFileName, lpszFileName, sizeof(m_szFileName) - 1);
  m_ofn.lpstrFile = m_szFileName;
  m_ofn.nMaxFile = sizeof(m_szFileName);
  if (lpszFilter) {
    m_strFilter = lpszFilter;
    for (char& c : m_strFilter.str()) {
      if (c == '|') c = '\0';
    }
    m_ofn.lpstrFilter = m_strFilter.GetString();
  }
}

CFileDialog::~CFileDialog() = default;

INT_PTR CFileDialog::DoModal() {
  AfxSetCommDlgExtendedError(0);
  if (!m_ofn.lpstrFile || m_ofn.nMaxFile == 0) {
    AfxSetCommDlgExtendedError(CDERR_INITIALIZATION);
    return 0;
  }
  if (!AfxWindowSystemAvailable()) {
    AfxSetCommDlgExtendedError(CDERR_DIALOGFAILURE);
    return 0;
  }
  const size_t initialLength = strnlen(m_ofn.lpstrFile, m_ofn.nMaxFile);
  if (initialLength == m_ofn.nMaxFile) {  // not terminated inside the buffer
    AfxSetCommDlgExtendedError(FNERR_INVALIDFILENAME);
    return 0;
  }
  const std::string initial(m_ofn.lpstrFile, initialLength);
  if (!isValidFileName(initial)) {
    AfxSetCommDlgExtendedError(FNERR_INVALIDFILENAME);
    return 0;
  }
  std::string folder = m_ofn.lpstrInitialDir ? m_ofn.lpstrInitialDir : "";
  std::string name = initial;
  if (const size_t slash = initial.find_last_of('/'); slash != std::string::npos) {
    folder = initial.substr(0, slash == 0 ? 1 : slash);
    name = initial.substr(slash + 1);
  }

  int pairs = 0;
  const wxString wildcard = wildcardOfFilter(m_ofn.lpstrFilter, pairs);
  long style = m_bOpenFileDialog ? wxFD_OPEN : wxFD_SAVE;
  if (m_bOpenFileDialog && (m_ofn.Flags & OFN_FILEMUSTEXIST)) style |= wxFD_FILE_MUST_EXIST;
  if (m_bOpenFileDialog && (m_ofn.Flags & OFN_ALLOWMULTISELECT)) style |= wxFD_MULTIPLE;
  if (!m_bOpenFileDialog && (m_ofn.Flags & OFN_OVERWRITEPROMPT)) style |= wxFD_OVERWRITE_PROMPT;
  const wxString title = m_ofn.lpstrTitle ? fromNarrow(m_ofn.lpstrTitle)
                         : m_bOpenFileDialog ? wxString("Open")
                                             : wxString("Save As");

  wxFileDialog dialog(m_pParentWnd ? wxOf(m_pParentWnd->GetSafeHwnd()) : nullptr, title, fromNarrow(folder.c_str()), fromNarrow(name.c_str()),
                      pairs ? wildcard : wxString(wxFileSelectorDefaultWildcardStr), style);
  if (pairs) {
    const DWORD index = m_ofn.nFilterIndex == 0 ? 1 : m_ofn.nFilterIndex;
    dialog.SetFilterIndex(static_cast<int>(index > static_cast<DWORD>(pairs) ? pairs : index) - 1);
  }
  m_pRunning = std::make_unique<Running>(*this, dialog);
  m_pRunning->Start(50);
  const int answer = dialog.ShowModal();
  m_pRunning->Stop();
  const int filter = dialog.GetFilterIndex();
  std::vector<std::string> paths;
  if (answer == wxID_OK) {
    if (style & wxFD_MULTIPLE) {
      wxArrayString chosen;
      dialog.GetPaths(chosen);
      for (const wxString& path : chosen) paths.push_back(toNarrow(path));
    } else {
      // The chooser reads a new folder in the background: until it has, it
      // answers no file, or the typed name in its old folder.
      std::string path = toNarrow(dialog.GetPath());
      const std::string& typed = m_pRunning->m_typed;
      auto nameOf = [](const std::string& p) { return p.substr(p.find_last_of('/') + 1); };
      if (!typed.empty() && (path.empty() || path.back() == '/' || nameOf(path) == nameOf(typed))) path = typed;
      if (!path.empty()) paths.push_back(path);
    }
  }
  m_pRunning.reset();
  if (answer != wxID_OK) return IDCANCEL;
  if (pairs && filter >= 0) m_ofn.nFilterIndex = static_cast<DWORD>(filter + 1);
  return storeResult(paths) ? 0 : IDOK;
}

bool CFileDialog::storeResult(const std::vector<std::string>& paths) {
  if (paths.empty()) {
    AfxSetCommDlgExtendedError(CDERR_DIALOGFAILURE);
    return true;
  }
  // One file: its full path. Several: the folder, then each name, each
  // followed by a NUL, and a final NUL.
  std::string layout;
  size_t fileOffset = 0;
  if (paths.size() == 1) {
    layout = paths.front();
    const size_t slash = layout.find_last_of('/');
    fileOffset = slash == std::string::npos ? 0 : slash + 1;
    layout += '\0';
  } else {
    const size_t slash = paths.front().find_last_of('/');
    layout = paths.front().substr(0, slash == 0 ? 1 : slash);
    layout += '\0';
    fileOffset = layout.size();
    for (const std::string& path : paths) {
      layout += path.substr(path.find_last_of('/') + 1);
      layout += '\0';
    }
  }
  layout += '\0';
  if (layout.size() > m_ofn.nMaxFile) {
    AfxSetCommDlgExtendedError(FNERR_BUFFERTOOSMALL);
    if (m_ofn.nMaxFile >= 2) {
      const WORD needed = layout.size() > 0xFFFF ? 0xFFFF : static_cast<WORD>(layout.size());
      std::memcpy(m_ofn.lpstrFile, &needed, sizeof(needed));
    }
    return true;
  }
  std::memcpy(m_ofn.lpstrFile, layout.data(), layout.size());
  m_ofn.nFileOffset = static_cast<WORD>(fileOffset);
  m_ofn.nFileExtension = 0;
  if (paths.size() == 1) {
    const size_t dot = paths.front().rfind('.');
    if (dot != std::string::npos && dot >= fileOffset) m_ofn.nFileExtension = static_cast<WORD>(dot + 1);
  }
  return false;
}

void CFileDialog::notifyTypeChange(DWORD nFilterIndex) {
  m_ofn.nFilterIndex = nFilterIndex;
  OFNOTIFY notify = {{nullptr, 0, CDN_TYPECHANGE}, &m_ofn, m_ofn.lpstrFile};
  LRESULT result = 0;
  OnNotify(0, reinterpret_cast<LPARAM>(&notify), &result);
}

BOOL CFileDialog::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
  const OFNOTIFY* notify = reinterpret_cast<const OFNOTIFY*>(lParam);
  if (notify && notify->hdr.code == CDN_TYPECHANGE) OnTypeChange();
  if (pResult) *pResult = 0;
  return TRUE;
}

KString CFileDialog::GetPathName() const { return KString(m_ofn.lpstrFile ? m_ofn.lpstrFile : ""); }

KString CFileDialog::GetFileName() const {
  const std::string path = GetPathName().str();
  const size_t slash = path.find_last_of('/');
  return KString(slash == std::string::npos ? path : path.substr(slash + 1));
}

KString CFileDialog::GetFileExt() const {
  const std::string name = GetFileName().str();
  const size_t dot = name.rfind('.');
  return KString(dot == std::string::npos ? std::string() : name.substr(dot + 1));
}

POSITION CFileDialog::GetStartPosition() const {
  return m_ofn.lpstrFile && *m_ofn.lpstrFile ? reinterpret_cast<POSITION>(m_ofn.lpstrFile) : nullptr;
}

KString CFileDialog::GetNextPathName(POSITION& pos) const {
  const char* p = reinterpret_cast<const char*>(pos);
  if (!p) return KString();
  if (p == m_ofn.lpstrFile) {
    const char* firstName = p + std::strlen(p) + 1;
    if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT) || *firstName == '\0') {
      pos = nullptr;
      return KString(m_ofn.lpstrFile);
    }
    p = firstName;
  }
  std::string path = m_ofn.lpstrFile;
  if (path.empty() || path.back() != '/') path += '/';
  path += p;
  const char* next = p + std::strlen(p) + 1;
  pos = *next ? reinterpret_cast<POSITION>(const_cast<char*>(next)) : nullptr;
  return KString(std::move(path));
}

bool CFileDialog::IsRunning() const { return m_pRunning != nullptr; }

KString CFileDialog::GetControlText(int nID) const {
  if (!m_pRunning) return KString();
  wxFileDialog& dialog = m_pRunning->m_dialog;
  if (nID == cmb13) return KString(toNarrow(dialog.GetFilename()));
  if (nID == cmb1) {
    int pairs = 0;
    const wxString wildcard = wildcardOfFilter(m_ofn.lpstrFilter, pairs);
    const int index = dialog.GetFilterIndex();
    wxArrayString parts = wxSplit(wildcard, '|', '\0');
    if (index >= 0 && static_cast<size_t>(2 * index) < parts.size())
      return KString(toNarrow(parts[static_cast<size_t>(2 * index)]));
  }
  return KString();
}

void CFileDialog::SetControlText(int nID, LPCSTR lpsz) {
  if (!m_pRunning || nID != cmb13) return;
  // The field takes a path as the user may type one: its folder becomes the
  // chooser's folder (the chooser's own name field takes a bare name only).
  const std::string text = lpsz ? lpsz : "";
  m_pRunning->m_typed = text.empty() || text[0] == '/' ? text : toNarrow(m_pRunning->m_dialog.GetDirectory()) + "/" + text;
  const size_t slash = text.find_last_of('/');
  if (slash != std::string::npos) m_pRunning->m_dialog.SetDirectory(fromNarrow(text.substr(0, slash == 0 ? 1 : slash).c_str()));
  m_pRunning->m_dialog.SetFilename(fromNarrow(text.substr(slash == std::string::npos ? 0 : slash + 1).c_str()));
}

void CFileDialog::SetSelectedFilter(DWORD nFilterIndex) {
  if (!m_pRunning || nFilterIndex == 0) return;
  m_pRunning->m_dialog.SetFilterIndex(static_cast<int>(nFilterIndex) - 1);
  // Seen at once rather than at the next tick: the caller may be keeping
  // the loop busy.
  m_pRunning->Notify();
}

void CFileDialog::EndDialog(int nResult) {
  if (!m_pRunning) return;
  m_pRunning->m_dialog.EndModal(nResult == IDOK ? wxID_OK : wxID_CANCEL);
}
