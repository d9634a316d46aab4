// KDialogExtender<TDialog>: the keyboard behaviour the library adds to a
// dialog class of the window layer. Key messages are first offered to the
// accelerator table 5084 of the QUELMres library, so every dialog of the
// family shares one set of shortcuts; a key the table does not translate is
// passed to the notify window, when one is set, as WM_USER + 7 with the MSG
// as lParam (so a host window can watch the keys typed into a dialog it
// opened), and then to the dialog class's own handling.
//
// The notify window is not owned.
#pragma once
#include "platform/windows/CWnd.h"
#include "ui/dialogs/KDialogAccelerators.h"

// Sent to the notify window for each untranslated key message.
constexpr UINT WM_KDIALOG_KEYNOTIFY = WM_USER + 7;

template <class TDialog>
class KDialogExtender : public TDialog {
 public:
  using TDialog::TDialog;

  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
      HACCEL table = KLoadDialogAccelerators();
      if (table && ::TranslateAccelerator(this->m_hWnd, table, pMsg)) return TRUE;
      if (m_hNotifyWnd) ::SendMessage(m_hNotifyWnd, WM_KDIALOG_KEYNOTIFY, 0, reinterpret_cast<LPARAM>(pMsg));
    }
    return TDialog::PreTranslateMessage(pMsg);
  }

  // The window told of untranslated keys (null: none).
  void setNotifyWindow(HWND hWnd) { m_hNotifyWnd = hWnd; }
  HWND getNotifyWindow() const { return m_hNotifyWnd; }

 protected:
  HWND m_hNotifyWnd = nullptr;
};
