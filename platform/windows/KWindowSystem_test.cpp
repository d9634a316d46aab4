#include "platform/windows/KWindowSystem.h"

#include <gtest/gtest.h>
#include <wx/debug.h>
#include <wx/msgdlg.h>
#include <wx/event.h>
#include <wx/toplevel.h>
#include <wx/window.h>

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/KMessageBox.h"
#include "platform/KResources.h"
#include "platform/windows/CDialog.h"
#include "platform/windows/CWinApp.h"
#include "resources/KResourceAttach.h"
#include "resources/KResourceTables.h"

extern char** environ;

namespace {
// The companion library, attached once per program as the host attaches it.
void attachCompanion() {
  static const bool attached = (InitMFCExtension(), true);
  (void)attached;
}

constexpr UINT kEdit = 3001;
const KDialogItemTemplate kItems[] = {{"Edit", kEdit, WS_CHILD | WS_VISIBLE, 5, 5, 80, 12, ""}};
const KDialogTemplate kTemplate = {1, "Keys", WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 40, kItems, 1, nullptr, 0};

// Runs this test program again with `filter` and the environment changed:
// `unset` removed, `set` ("NAME=value") added. Answers its exit status.
int runChild(const char* filter, const char* unset, const char* set) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string entry = *e;
    if (entry.rfind(std::string(unset) + "=", 0) == 0) continue;
    env.push_back(entry);
  }
  env.push_back("QUELM_HEADLESS_CHILD=1");
  if (set) env.push_back(set);
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string self = "/proc/self/exe", filterArg = std::string("--gtest_filter=") + filter;
  char* argv[] = {self.data(), filterArg.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class CommandDialog : public CDialog {
 public:
  std::vector<UINT> commands;
  std::vector<MSG> seen;
  bool swallow = false;
  BOOL PreTranslateMessage(MSG* msg) override {
    seen.push_back(*msg);
    return swallow;
  }

 protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    commands.push_back(LOWORD(wParam));
    return CDialog::OnCommand(wParam, lParam);
  }
};

MSG keyDown(HWND h, WORD key, DWORD modifiers) {
  MSG m;
  m.hwnd = h;
  m.message = WM_KEYDOWN;
  m.wParam = key;
  m.lPrivate = modifiers;
  return m;
}
}  // namespace

// Without a display: no window system, nothing aborts, dialogs cannot be
// made and message boxes go to standard error with the default answer. Run
// in a child process, as the answer is decided once per process.
TEST(KWindowSystemHeadless, ChildWithoutDisplay) {
  if (!getenv("QUELM_HEADLESS_CHILD")) GTEST_SKIP() << "runs as a child of NoDisplayMeansNoWindowSystem";
  AfxSetMessagePresenter(nullptr);
  EXPECT_FALSE(AfxWindowSystemAvailable());
  EXPECT_TRUE(AfxCallAfter([] {}));
  CDialog dlg;
  EXPECT_TRUE(dlg.InitModalIndirect(&kTemplate));
  EXPECT_EQ(dlg.DoModal(), -1);
  EXPECT_FALSE(dlg.CreateIndirect(&kTemplate));
  CRect r(0, 0, 100, 100);
  EXPECT_EQ(MonitorFromRect(&r, MONITOR_DEFAULTTOPRIMARY), nullptr);
  EXPECT_EQ(GetSysColor(COLOR_3DFACE), RGB(240, 240, 240));
  EXPECT_EQ(AfxMessageBox("headless question", MB_YESNO | MB_DEFBUTTON2), IDNO);
  AfxPumpMessages();
}

TEST(KWindowSystemTest, NoDisplayMeansNoWindowSystem) {
  if (getenv("QUELM_HEADLESS_CHILD")) GTEST_SKIP() << "the child runs the headless test only";
  EXPECT_EQ(runChild("KWindowSystemHeadless.*", "DISPLAY", nullptr), 0);
  EXPECT_EQ(runChild("KWindowSystemHeadless.*", "DISPLAY", "DISPLAY=:4711"), 0);  // a display that cannot be opened
}

TEST(KWindowSystemTest, FailuresOfTheWindowSystemGoToTheHandler) {
  ASSERT_TRUE(AfxWindowSystemAvailable());
  std::string reported;
  KWindowSystemFailureHandler old = AfxSetWindowSystemFailureHandler([&](const char* what) { reported = what; });
  wxFAIL_MSG("probe of the failure path");
  AfxSetWindowSystemFailureHandler(old);
  EXPECT_NE(reported.find("probe of the failure path"), std::string::npos) << reported;
}

TEST(KWindowSystemTest, CallbacksRunOnceEventsAreHandled) {
  ASSERT_TRUE(AfxWindowSystemAvailable());
  int runs = 0;
  EXPECT_FALSE(AfxCallAfter([&] { ++runs; }));
  EXPECT_EQ(runs, 0);
  AfxPumpMessages();
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(AfxCallAfter(nullptr));
}

TEST(KWindowSystemTest, DialogAcceleratorsOfTheCompanionLibrary) {
  ASSERT_TRUE(AfxWindowSystemAvailable());
  attachCompanion();
  HINSTANCE companion = AfxFindResourceModule("quelmres");
  ASSERT_NE(companion, nullptr);
  EXPECT_EQ(LoadAccelerators(AfxGetInstanceHandle(), IDR_DIALOG_ACCELERATORS), nullptr);
  HACCEL accel = LoadAccelerators(companion, IDR_DIALOG_ACCELERATORS);
  ASSERT_NE(accel, nullptr);
  CommandDialog dlg;
  ASSERT_TRUE(dlg.CreateIndirect(&kTemplate));
  struct Case {
    WORD key;
    DWORD modifiers;
    UINT command;  // 0: not translated
  } cases[] = {{'C', FCONTROL, ID_EDIT_COPY}, {'X', FCONTROL, ID_EDIT_CUT},        {'V', FCONTROL, ID_EDIT_PASTE},
               {'A', FCONTROL, ID_EDIT_SELECT_ALL}, {'Z', FCONTROL, ID_EDIT_UNDO}, {VK_F1, 0, ID_HELP},
               {'C', 0, 0},                  {'C', FCONTROL | FSHIFT, 0},      {VK_F1, FCONTROL, 0},
               {'Q', FCONTROL, 0}};
  for (const Case& c : cases) {
    dlg.commands.clear();
    MSG m = keyDown(dlg.m_hWnd, c.key, c.modifiers);
    EXPECT_EQ(TranslateAccelerator(dlg.m_hWnd, accel, &m), c.command ? 1 : 0) << c.key << "/" << c.modifiers;
    EXPECT_EQ(dlg.commands, c.command ? std::vector<UINT>{c.command} : std::vector<UINT>{});
  }
  MSG up = keyDown(dlg.m_hWnd, 'C', FCONTROL);
  up.message = WM_KEYUP;
  EXPECT_EQ(TranslateAccelerator(dlg.m_hWnd, accel, &up), 0);
  EXPECT_TRUE(DestroyAcceleratorTable(accel));
  dlg.DestroyWindow();
  AfxPumpMessages();
}

TEST(KWindowSystemTest, CharacterAcceleratorsMatchTheCharacter) {
  ASSERT_TRUE(AfxWindowSystemAvailable());
  static const ACCEL entries[] = {{0, '+', 501}};
  static const KAcceleratorTable tables[] = {{77, entries, 1}};
  static const KModuleResources resources = {nullptr, 0, tables, 1, nullptr, 0};
  AfxSetProgramResources(&resources);
  HACCEL accel = LoadAccelerators(nullptr, 77);
  AfxSetProgramResources(nullptr);
  ASSERT_NE(accel, nullptr);
  CommandDialog dlg;
  ASSERT_TRUE(dlg.CreateIndirect(&kTemplate));
  MSG m = keyDown(dlg.m_hWnd, '+', FSHIFT);
  EXPECT_EQ(TranslateAccelerator(dlg.m_hWnd, accel, &m), 0);  // a key press is no character
  m.message = WM_CHAR;
  EXPECT_EQ(TranslateAccelerator(dlg.m_hWnd, accel, &m), 1);
  EXPECT_EQ(dlg.commands, std::vector<UINT>{501});
  dlg.DestroyWindow();
  AfxPumpMessages();
}

// A key pressed in a control passes the application and the windows from
// the control up before the control sees it.
TEST(KWindowSystemTest, KeysPassThePreTranslationPath) {
  ASSERT_TRUE(AfxWindowSystemAvailable());
  struct App : CWinApp {
    std::vector<UINT> messages;
    BOOL PreTranslateMessage(MSG* msg) override {
      messages.push_back(msg->message);
      return CWinApp::PreTranslateMessage(msg);
    }
  } app;
  CommandDialog dlg;
  ASSERT_TRUE(dlg.CreateIndirect(&kTemplate));
  HWND edit = ::GetDlgItem(dlg.m_hWnd, kEdit);
  auto press = [&](int key, bool control) {
    wxKeyEvent e(wxEVT_KEY_DOWN);
    e.m_keyCode = key;
    e.SetControlDown(control);
    e.SetEventObject(static_cast<wxWindow*>(edit));
    return static_cast<wxWindow*>(edit)->GetEventHandler()->ProcessEvent(e);
  };
  press('C', true);
  ASSERT_EQ(dlg.seen.size(), 1u);
  EXPECT_EQ(dlg.seen[0].hwnd, edit);
  EXPECT_EQ(dlg.seen[0].message, WM_KEYDOWN);
  EXPECT_EQ(dlg.seen[0].wParam, WPARAM('C'));
  EXPECT_EQ(dlg.seen[0].lPrivate, DWORD(FCONTROL));
  EXPECT_EQ(app.messages, std::vector<UINT>{WM_KEYDOWN});
  dlg.swallow = true;
  EXPECT_TRUE(press(WXK_F1, false));
  EXPECT_EQ(dlg.seen.back().wParam, WPARAM(VK_F1));
  dlg.DestroyWindow();
  AfxPumpMessages();
}

TEST(KWindowSystemTest, MonitorsOfRectangles) {
  ASSERT_TRUE(AfxWindowSystemAvailable());
  CRect onScreen(100, 100, 300, 200), offScreen(-5000, -5000, -4000, -4800);
  HMONITOR m = MonitorFromRect(&onScreen, MONITOR_DEFAULTTONULL);
  ASSERT_NE(m, nullptr);
  MONITORINFO info;
  ASSERT_TRUE(GetMonitorInfo(m, &info));
  EXPECT_EQ(CRect(info.rcMonitor).Width(), 1280);
  EXPECT_EQ(CRect(info.rcMonitor).Height(), 1024);
  EXPECT_EQ(info.dwFlags, MONITORINFOF_PRIMARY);
  EXPECT_EQ(MonitorFromRect(&offScreen, MONITOR_DEFAULTTONULL), nullptr);
  EXPECT_EQ(MonitorFromRect(&offScreen, MONITOR_DEFAULTTOPRIMARY), m);
  EXPECT_EQ(MonitorFromRect(&offScreen, MONITOR_DEFAULTTONEAREST), m);
  CRect straddling(1200, 900, 1400, 1100);
  EXPECT_EQ(MonitorFromRect(&straddling, MONITOR_DEFAULTTONULL), m);
  EXPECT_FALSE(GetMonitorInfo(nullptr, &info));
}

TEST(KWindowSystemTest, CommonDialogErrorIsKept) {
  AfxSetCommDlgExtendedError(0x3002);
  EXPECT_EQ(CommDlgExtendedError(), 0x3002u);
  AfxSetCommDlgExtendedError(0);
  EXPECT_EQ(CommDlgExtendedError(), 0u);
}

// With a window system and no presenter, message boxes are real windows; the
// button pressed (here: ended by a queued callback) is answered in Win32 terms.
TEST(KWindowSystemTest, RealMessageBoxAnswersTheButtonPressed) {
  ASSERT_TRUE(AfxWindowSystemAvailable());
  KMessagePresenter old = AfxSetMessagePresenter(nullptr);
  struct Case {
    UINT type;
    int wxButton;
    int expected;
  } cases[] = {{MB_OK, wxID_OK, IDOK},          {MB_YESNO, wxID_NO, IDNO},
               {MB_YESNOCANCEL, wxID_CANCEL, IDCANCEL}, {MB_ABORTRETRYIGNORE, wxID_YES, IDABORT},
               {MB_ABORTRETRYIGNORE, wxID_NO, IDRETRY}, {MB_ABORTRETRYIGNORE, wxID_CANCEL, IDIGNORE},
               {MB_RETRYCANCEL, wxID_OK, IDRETRY},      {MB_OKCANCEL, wxID_CANCEL, IDCANCEL}};
  for (const Case& c : cases) {
    std::string shown;
    AfxCallAfter([&] {
      for (wxWindow* w : wxTopLevelWindows)
        if (auto* d = dynamic_cast<wxMessageDialogBase*>(w); d && d->IsModal()) {
          shown = d->GetMessage().utf8_str().data();
          d->EndModal(c.wxButton);
        }
    });
    EXPECT_EQ(AfxMessageBox("Überschreiben?", c.type | MB_ICONQUESTION), c.expected) << c.type;
    EXPECT_EQ(shown, "Überschreiben?");
  }
  AfxSetMessagePresenter(old);
}
