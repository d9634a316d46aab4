// KFileDialog: a common file dialog that takes its accepted file types as
// records (KFileTypeInfo) instead of a raw filter text, keeps the extension of
// the file name in step with the type the user picks, and reports failures of
// the common dialog in words.
//
// The types, in the order added, are the filter pairs of the dialog: type i
// (0-based) is filter index i + 1. The selected type is -1 until a type is
// added (the first added becomes selected) or chosen with selectType; after
// DoModal it is the type the user left selected. The dialog owns its type
// records.
#pragma once
#include "containers/memory/KList.h"
#include "platform/windows/CFileDialog.h"
#include "ui/filedialogs/KFileTypeInfo.h"

#include <vector>

// Messages shown when the common dialog fails.
constexpr UINT IDS_KFILEDIALOG_NOMEMORY = 0x31F5;
constexpr UINT IDS_KFILEDIALOG_BADNAME = 0x2F48;
constexpr UINT IDS_KFILEDIALOG_NAMETOOLONG = 0x27DD;
constexpr UINT IDS_KFILEDIALOG_FAILED = 0x3820;

class KFileDialog : public CFileDialog {
 public:
  // Sizes of the file-name buffer, in characters, for one and for several files.
  static constexpr DWORD kSingleFileBuffer = 260;
  static constexpr DWORD kMultiFileBuffer = 780;

  explicit KFileDialog(BOOL bOpenFileDialog, DWORD dwFlags = OFN_HIDEREADONLY, CWnd* pParentWnd = nullptr);
  ~KFileDialog() override;

  // Appends a type. True when its record could not be made (the failure is
  // reported to the user and nothing is added).
  bool addFileType(const char* description, const char* pattern, int id);
  // Makes type `id` the selected one and the one the dialog shows first.
  // True, changing nothing, when there is no such type.
  bool selectType(int id);
  int getSelectedType() const { return m_nSelectedType; }
  const KFileTypeInfo* getSelectedTypeInfo() const { return findType(m_nSelectedType); }
  const KFileTypeInfo* findType(int id) const;
  // The type at 1-based filter index `index`, or null.
  const KFileTypeInfo* typeAtFilterIndex(DWORD index) const;
  int getFilterCount() const { return m_nFilterCount; }
  // The filter pairs, NUL-separated, as the common dialog takes them.
  const KString& getFilterText() const { return m_strFilter; }

  // The name the dialog starts with; empty: the default name of the
  // selected type (defaultFileName("", "") with the type's extension).
  void setInitialFileName(const char* name) { m_strInitialFileName = name; }
  const KString& getInitialFileName() const { return m_strInitialFileName; }
  void setMultiSelect(bool multiSelect) { m_bMultiSelect = multiSelect; }
  bool isMultiSelect() const { return m_bMultiSelect; }

  // Runs the dialog; answers IDOK or IDCANCEL as the result check leaves it,
  // or 0 when the common dialog failed (already reported to the user).
  // Throws KDialogSuppressException, showing nothing, while dialogs are
  // suppressed.
  INT_PTR DoModal() override;

  // A new model's name: the working folder joined with "QUELM1" when `folder`
  // is empty, else `folder` joined with `name`.
  static KString defaultFileName(const char* folder, const char* name);
  // `name` with its extension replaced by `extension` (added when it has none).
  static KString replaceExtension(const KString& name, const KString& extension);
  // The message resource for a common-dialog error code.
  static UINT errorMessageId(DWORD code);
  // Shows the message for a common-dialog error code. Each text is read from
  // the resources once, at its first use, and kept.
  static void reportError(DWORD code);

 protected:
  // The last word on DoModal's result, after the dialog has closed; the
  // default keeps it.
  virtual INT_PTR checkResult(INT_PTR result) { return result; }
  // The user picked `type`: selects it and gives the file-name field its extension.
  virtual void onTypeChange(const KFileTypeInfo& type);
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

 private:
  KPtrList<KFileTypeInfo> m_types;
  KString m_strFilter;
  int m_nFilterCount = 0;
  int m_nSelectedType = -1;
  KString m_strInitialFileName;
  bool m_bMultiSelect = false;
  std::vector<char> m_fileBuffer;  // holds the chosen names after DoModal
};
