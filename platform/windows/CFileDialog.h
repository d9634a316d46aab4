// CFileDialog: the common open and save dialogs, in the manner of the MFC
// class, drawn by the window system's own file chooser.
//
// The caller describes the dialog in m_ofn as with the Win32 structure:
// lpstrFilter holds pairs of NUL-terminated texts "description\0pattern\0"
// ending with an extra NUL (patterns separated by ';'), nFilterIndex is the
// 1-based pair shown first, lpstrFile/nMaxFile is the caller's buffer of the
// initial and then the chosen name, Flags the OFN_ bits. DoModal answers IDOK,
// IDCANCEL, or 0 when the dialog failed; CommDlgExtendedError then tells why
// (it answers 0 after IDOK and IDCANCEL).
//
// Result layout in lpstrFile: one file gives its full path. With
// OFN_ALLOWMULTISELECT and several files the buffer holds the folder, a NUL,
// each file name followed by a NUL, and a final NUL; GetStartPosition and
// GetNextPathName walk either layout. A result that does not fit nMaxFile
// fails with FNERR_BUFFERTOOSMALL and leaves the size needed (in characters)
// in the buffer's first two bytes, as the Win32 dialog does.
//
// Flags the chooser follows: OFN_FILEMUSTEXIST, OFN_ALLOWMULTISELECT (open
// dialogs), OFN_OVERWRITEPROMPT (save dialogs). The chooser cannot refuse a
// read-only file itself, so OFN_NOREADONLYRETURN is kept in m_ofn but checked
// by the caller after the dialog (as KSaveAsDialog does); the working folder
// never changes (OFN_NOCHANGEDIR is always in effect). An initial name with
// characters Windows refuses in file names (<, >, |, ", control characters)
// fails with FNERR_INVALIDFILENAME before any window is made.
//
// While the dialog runs, a change of file type by the user is delivered as a
// CDN_TYPECHANGE notification to OnNotify (with m_ofn.nFilterIndex already
// updated), whose default calls OnTypeChange. The file-name field is control
// cmb13 (0x47C): GetControlText/SetControlText read and rewrite it.
#pragma once
#include "platform/CList.h"
#include "platform/KString.h"
#include "platform/windows/CWnd.h"
#include "platform/windows/KWindowSystem.h"

#include <memory>
#include <string>
#include <vector>


struct OPENFILENAME {
  DWORD lStructSize = sizeof(OPENFILENAME);
  HWND hwndOwner = nullptr;
  LPCSTR lpstrFilter = nullptr;
  DWORD nFilterIndex = 0;
  LPSTR lpstrFile = nullptr;
  DWORD nMaxFile = 0;
  LPCSTR lpstrInitialDir = nullptr;
  LPCSTR lpstrTitle = nullptr;
  DWORD Flags = 0;
  WORD nFileOffset = 0;     // start of the file name in lpstrFile
  WORD nFileExtension = 0;  // start of the extension (after the dot), 0 when none
  LPCSTR lpstrDefExt = nullptr;
};

struct OFNOTIFY {
  NMHDR hdr;
  OPENFILENAME* lpOFN;
  LPSTR pszFile;
};

enum : DWORD {
  OFN_READONLY = 0x1,
  OFN_OVERWRITEPROMPT = 0x2,
  OFN_HIDEREADONLY = 0x4,
  OFN_NOCHANGEDIR = 0x8,
  OFN_ENABLEHOOK = 0x20,
  OFN_ALLOWMULTISELECT = 0x200,
  OFN_PATHMUSTEXIST = 0x800,
  OFN_FILEMUSTEXIST = 0x1000,
  OFN_NOREADONLYRETURN = 0x8000,
  OFN_EXPLORER = 0x80000,
  OFN_ENABLESIZING = 0x800000
};

// Notification codes of the common dialogs (CDN_FIRST = -601).
constexpr UINT CDN_SELCHANGE = static_cast<UINT>(-602);
constexpr UINT CDN_TYPECHANGE = static_cast<UINT>(-607);

// Extended error codes.
enum : DWORD {
  CDERR_DIALOGFAILURE = 0xFFFF,
  CDERR_STRUCTSIZE = 0x1,
  CDERR_INITIALIZATION = 0x2,
  CDERR_MEMALLOCFAILURE = 0x9,
  FNERR_SUBCLASSFAILURE = 0x3001,
  FNERR_INVALIDFILENAME = 0x3002,
  FNERR_BUFFERTOOSMALL = 0x3003
};

// Control identifiers of the file dialog.
enum : int { cmb1 = 0x470, cmb13 = 0x47C, edt1 = 0x480 };

// CommDlgExtendedError (platform/windows/KWindowSystem.h) tells why the last
// common dialog failed; 0 when it succeeded or was cancelled.

class CFileDialog : public CWnd {
 public:
  // lpszFilter, when given, is in the MFC form "desc|pattern|...||".
  explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                       DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                       CWnd* pParentWnd = nullptr, DWORD dwSize = 0, BOOL bVistaStyle = TRUE);
  ~CFileDialog() override;

  // Runs the dialog; IDOK, IDCANCEL, or 0 on failure (see CommDlgExtendedError).
  virtual INT_PTR DoModal();

  // The chosen file: full path, name with extension, extension without the dot.
  KString GetPathName() const;
  KString GetFileName() const;
  KString GetFileExt() const;
  // Walks the chosen files (one or several); null when there is none.
  POSITION GetStartPosition() const;
  KString GetNextPathName(POSITION& pos) const;

  // While the dialog runs: the text of the file-name field (cmb13) or of the
  // type list (cmb1, the current description); empty for other controls or
  // when no dialog runs.
  KString GetControlText(int nID) const;
  // While the dialog runs: rewrites the file-name field (cmb13). A text with
  // a folder (as a user may type it) also moves the dialog to that folder.
  void SetControlText(int nID, LPCSTR lpsz);
  // While the dialog runs: selects file type `nFilterIndex` (1-based) as if
  // the user chose it, so the dialog notifies the change.
  void SetSelectedFilter(DWORD nFilterIndex);
  // While the dialog runs: ends it as the OK (IDOK) or Cancel (other) button does.
  void EndDialog(int nResult);
  // Whether the dialog is running now.
  bool IsRunning() const;

  // The window system's form of a Win32 filter: "desc|pattern|desc|pattern";
  // `pairs` receives the number of pairs.
  static KString WildcardOfFilter(LPCSTR lpszFilter, int& pairs);

  OPENFILENAME m_ofn;
  BOOL m_bOpenFileDialog;

 protected:
  // Writes the chosen paths (absolute) into lpstrFile in the layout above;
  // true, with the extended error set, when they do not fit.
  bool storeResult(const std::vector<std::string>& paths);
  // Receives the dialog's notifications (an OFNOTIFY* in lParam). The default
  // calls OnTypeChange for CDN_TYPECHANGE and answers TRUE.
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  virtual void OnTypeChange() {}

 private:
  struct Running;
  friend struct CFileDialogAccess;
  void notifyTypeChange(DWORD nFilterIndex);

  KString m_strFilter;  // the constructor's filter with '|' turned into NULs
  KString m_strDefExt;
  char m_szFileName[260] = {};
  CWnd* m_pParentWnd;
  std::unique_ptr<Running> m_pRunning;
};
