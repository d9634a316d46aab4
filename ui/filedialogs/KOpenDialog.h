// KOpenDialog: a file dialog for opening, which accepts only files that exist.
#pragma once
#include "ui/filedialogs/KFileDialog.h"

class KOpenDialog : public KFileDialog {
 public:
  explicit KOpenDialog(DWORD dwFlags = OFN_HIDEREADONLY, CWnd* pParentWnd = nullptr)
      : KFileDialog(TRUE, dwFlags | OFN_FILEMUSTEXIST, pParentWnd) {}
};
