#include "ui/dialogs/KDialogExtender.h"

#include "platform/KResources.h"
#include "ui/dialogs/KDialog.h"
#include "ui/dialogs/KDialogTestSupport.h"

#include <vector>

namespace {

// Records the commands the accelerators send.
class KeyDialog : public KDialog {
 public:
  KeyDialog() : KDialog(IDD_TEST_FORM) {}
  std::vector<UINT> commands;

 protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    commands.push_back(LOWORD(wParam));
    return KDialog::OnCommand(wParam, lParam);
  }
};

// A window told of the keys: records WM_USER + 7 and the MSG it carries.
class KeyWatcher : public CDialog {
 public:
  std::vector<const MSG*> told;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_KDIALOG_KEYNOTIFY) told.push_back(reinterpret_cast<const MSG*>(lParam));
    return CDialog::WindowProc(message, wParam, lParam);
  }
};

MSG keyMessage(HWND hwnd, UINT message, WPARAM key, DWORD modifiers) {
  MSG msg;
  msg.hwnd = hwnd;
  msg.message = message;
  msg.wParam = key;
  msg.lPrivate = modifiers;
  return msg;
}

TEST_F(KDialogTest, AcceleratorKeysBecomeCommandsAndOthersGoToTheNotifyWindow) {
  KeyDialog dialog;
  KeyWatcher watcher;
  ASSERT_TRUE(dialog.Create(IDD_TEST_FORM));
  ASSERT_TRUE(watcher.Create(IDD_TEST_FORM));
  dialog.setNotifyWindow(watcher.GetSafeHwnd());
  HWND edit = dialog.GetDlgItem(IDC_TEST_EDIT)->GetSafeHwnd();
  const HINSTANCE handle = AfxGetResourceHandle();

  MSG copy = keyMessage(edit, WM_KEYDOWN, 'C', FCONTROL);
  EXPECT_TRUE(dialog.PreTranslateMessage(&copy));
  EXPECT_EQ(dialog.commands, std::vector<UINT>{ID_EDIT_COPY});
  EXPECT_TRUE(watcher.told.empty());
  EXPECT_EQ(AfxGetResourceHandle(), handle);

  MSG plain = keyMessage(edit, WM_KEYDOWN, 'Q', 0);
  EXPECT_FALSE(dialog.PreTranslateMessage(&plain));
  ASSERT_EQ(watcher.told.size(), 1u);
  EXPECT_EQ(watcher.told[0], &plain);
  MSG last = keyMessage(edit, WM_KEYLAST, 0, 0);
  dialog.PreTranslateMessage(&last);
  EXPECT_EQ(watcher.told.size(), 2u);

  MSG mouse = keyMessage(edit, WM_KEYFIRST - 1, 0, 0);
  MSG pastKeys = keyMessage(edit, WM_KEYLAST + 1, 0, 0);
  EXPECT_FALSE(dialog.PreTranslateMessage(&mouse));
  EXPECT_FALSE(dialog.PreTranslateMessage(&pastKeys));
  EXPECT_EQ(watcher.told.size(), 2u);
  EXPECT_EQ(dialog.commands.size(), 1u);

  dialog.setNotifyWindow(nullptr);
  EXPECT_FALSE(dialog.PreTranslateMessage(&plain));
  EXPECT_EQ(watcher.told.size(), 2u);
  dialog.DestroyWindow();
  watcher.DestroyWindow();
}

}  // namespace

// The edit keys that the accelerators turn into commands reach the edit
// field that has the focus as its own edit operations.
TEST_F(KDialogTest, EditKeysActOnTheFocusedEditField) {
  KeyDialog dialog;
  ASSERT_TRUE(dialog.Create(IDD_TEST_FORM));
  dialog.ShowWindow(SW_SHOW);
  CWnd* edit = dialog.GetDlgItem(IDC_TEST_EDIT);
  ASSERT_NE(edit, nullptr);
  edit->SetWindowText("hello");
  edit->SetFocus();
  AfxPumpMessages();
  ASSERT_EQ(::GetFocus(), edit->GetSafeHwnd());

  MSG selectAll = keyMessage(edit->GetSafeHwnd(), WM_KEYDOWN, 'A', FCONTROL);
  EXPECT_TRUE(dialog.PreTranslateMessage(&selectAll));
  dialog.SendMessage(WM_COMMAND, ID_EDIT_CLEAR, 0);
  KString text;
  edit->GetWindowText(text);
  EXPECT_EQ(std::string(text), "");
  dialog.DestroyWindow();
}
