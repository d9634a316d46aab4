#include "ui/dialogs/KModelessDialogManager.h"

#include <algorithm>

KModelessDialogManager::~KModelessDialogManager() { destroyAll(); }

KDialog* KModelessDialogManager::create(std::unique_ptr<KDialog> dialog, UINT nIDTemplate, CWnd* pParent) {
  // Modeless dialogs wait for a user as much as modal ones do.
  if (areDialogsSuppressed()) throw KDialogSuppressException();
  if (!dialog || !dialog->Create(nIDTemplate, pParent)) return nullptr;
  KDialog* created = dialog.get();
  m_entries.push_back(Entry{std::move(dialog), nIDTemplate});
  return created;
}

KDialog* KModelessDialogManager::findOpen(UINT nIDTemplate) const {
  for (const Entry& entry : m_entries) {
    if (entry.nIDTemplate == nIDTemplate && entry.dialog->GetSafeHwnd()) return entry.dialog.get();
  }
  return nullptr;
}

int KModelessDialogManager::getOpenCount() const {
  return static_cast<int>(std::count_if(m_entries.begin(), m_entries.end(),
                                        [](const Entry& entry) { return entry.dialog->GetSafeHwnd() != nullptr; }));
}

void KModelessDialogManager::purge() {
  std::erase_if(m_entries, [](const Entry& entry) { return entry.dialog->GetSafeHwnd() == nullptr; });
}

void KModelessDialogManager::destroyAll() {
  for (Entry& entry : m_entries) {
    if (entry.dialog->GetSafeHwnd()) entry.dialog->DestroyWindow();
  }
  m_entries.clear();
  m_entries.shrink_to_fit();
}
