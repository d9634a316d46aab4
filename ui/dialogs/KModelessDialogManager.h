// KModelessDialogManager: owner of the modeless dialogs a window opens. Each
// dialog is created through the manager and lives until the manager goes;
// a dialog closed by its user (OK or Cancel destroy a modeless KDialog's
// window) keeps its object, so its data stays readable, until purge() or the
// manager's destruction. On destruction every window still open is destroyed
// and every dialog object deleted.
#pragma once
#include "ui/dialogs/KDialog.h"

#include <memory>
#include <vector>

class KModelessDialogManager {
 public:
  KModelessDialogManager() = default;
  ~KModelessDialogManager();
  KModelessDialogManager(const KModelessDialogManager&) = delete;
  KModelessDialogManager& operator=(const KModelessDialogManager&) = delete;

  // Creates `dialog` modeless from template `nIDTemplate` and keeps it.
  // Answers the dialog, or null when the window could not be created (the
  // dialog object is then deleted). Throws KDialogSuppressException, creating
  // nothing, while dialogs are suppressed.
  KDialog* create(std::unique_ptr<KDialog> dialog, UINT nIDTemplate, CWnd* pParent = nullptr);
  // The first kept dialog of template `nIDTemplate` whose window is open, or null.
  KDialog* findOpen(UINT nIDTemplate) const;
  // Number of kept dialogs whose window is open.
  int getOpenCount() const;
  // Deletes the dialogs whose windows have been closed.
  void purge();
  // Destroys every open window and deletes every dialog.
  void destroyAll();

 private:
  struct Entry {
    std::unique_ptr<KDialog> dialog;
    UINT nIDTemplate;
  };
  std::vector<Entry> m_entries;
};
