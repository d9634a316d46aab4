#include "ui/dialogs/KDialogTestSupport.h"

#include "resources/KResourceAttach.h"

namespace {

const bool g_attached = (InitMFCExtension(), true);

const KDialogItemTemplate kFormItems[] = {
    {"Static", 0xAEF2, WS_CHILD | WS_VISIBLE, 10, 10, 30, 10, "?"},
    {"Static", 0xAEF3, WS_CHILD | WS_VISIBLE, 10, 25, 30, 10, "?"},
    {"Edit", IDC_TEST_EDIT, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 50, 10, 80, 12, ""},
    {"Static", IDC_TEST_PICTURE, WS_CHILD | WS_VISIBLE | SS_BITMAP, 140, 10, 20, 20, nullptr},
    {"Button", IDOK, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 50, 60, 50, 14, "OK"},
    {"Button", IDCANCEL, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 110, 60, 50, 14, "Cancel"},
};
const KDialogItemTemplate kListItems[] = {
    {"SysListView32", IDC_TEST_LIST, WS_CHILD | WS_VISIBLE | LVS_REPORT, 5, 5, 250, 150, nullptr},
};
const KDialogTemplate kDialogs[] = {
    {IDD_TEST_FORM, "Form", WS_POPUP | WS_CAPTION | DS_MODALFRAME, 180, 80, kFormItems, 6, nullptr, 0},
    {IDD_TEST_LIST, "List", WS_POPUP | WS_CAPTION | DS_MODALFRAME, 260, 160, kListItems, 1, nullptr, 0},
};
const KModuleResources kResources = {kDialogs, 2, nullptr, 0, nullptr, 0};

}  // namespace

void installTestDialogs() { AfxSetProgramResources(&kResources); }

void KDialogTest::SetUp() {
  if (!AfxWindowSystemAvailable()) GTEST_SKIP() << "no window system (run under xvfb-run)";
  installTestDialogs();
  m_bReady = true;
  m_previousApp = KSetApplication(&app);
  markOptionsChanged();
  m_previousPresenter = AfxSetMessagePresenter([this](const char* text, UINT) {
    shown.push_back(text);
    return IDOK;
  });
}

void KDialogTest::TearDown() {
  if (!m_bReady) return;  // skipped
  AfxSetMessagePresenter(m_previousPresenter);
  KSetApplication(m_previousApp);
  markOptionsChanged();
}

void KDialogTest::setOption(const char* name, bool value) {
  app.bools[name] = value;
  markOptionsChanged();
}
