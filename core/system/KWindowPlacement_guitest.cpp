#include <gtest/gtest.h>

#include "core/application/KApplicationAbstract.h"
#include "core/system/KRegistryUtils.h"
#include "core/system/KWindowLookups.h"
#include "core/system/KWindowPlacement.h"
#include "platform/windows/CDialog.h"
#include "platform/windows/KWindowSystem.h"

namespace {
constexpr UINT kEdit = 10, kOff = 11, kOn = 12;
const KDialogItemTemplate kItems[] = {
    {"Edit", kEdit, WS_CHILD | WS_VISIBLE, 5, 5, 80, 12, ""},
    {"Button", kOff, WS_CHILD | WS_VISIBLE | WS_DISABLED, 5, 20, 40, 14, "Off"},
    {"Button", kOn, WS_CHILD | WS_VISIBLE, 50, 20, 40, 14, "On"},
};
const KDialogTemplate kTemplate = {1, "Placed", WS_POPUP | WS_CAPTION | WS_VISIBLE | WS_THICKFRAME, 200, 100,
                                   kItems, 3, nullptr, 0};

class PlacementApp : public KApplicationAbstract {
 public:
  KString GetCompanyKeyName() override { return "TestFirm"; }
  KString GetRegistryKeyName() override { return "PlacementGuiApp"; }
};

class KWindowPlacementGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_previous = KSetApplication(&m_app);
    ASSERT_TRUE(AfxWindowSystemAvailable());
    ASSERT_TRUE(m_dlg.CreateIndirect(&kTemplate));
  }
  void TearDown() override {
    m_dlg.DestroyWindow();
    AfxPumpMessages();
    KSetApplication(m_previous);
  }
  CRect windowRect() {
    AfxPumpMessages();
    CRect r;
    m_dlg.GetWindowRect(&r);
    return r;
  }
  PlacementApp m_app;
  KApplicationAbstract* m_previous = nullptr;
  CDialog m_dlg;
};
}  // namespace

TEST_F(KWindowPlacementGuiTest, MainPlacementRoundTrips) {
  m_dlg.MoveWindow(CRect(140, 90, 540, 390));
  ASSERT_EQ(windowRect().left, 140);
  ASSERT_FALSE(KSaveWindowPlacement(m_dlg, "Main"));
  EXPECT_EQ(KReadRegistryDword(HKEY_CURRENT_USER, KAppRegistryPath("Main"), "PosRight", 0), 540u);
  EXPECT_EQ(KReadRegistryDword(HKEY_CURRENT_USER, KAppRegistryPath("Main"), "Minimized", 7), 0u);
  EXPECT_EQ(KReadRegistryDword(HKEY_CURRENT_USER, KAppRegistryPath("Main"), "Maximized", 7), 0u);
  m_dlg.MoveWindow(CRect(10, 10, 210, 110));
  ASSERT_FALSE(KRestoreWindowPlacement(m_dlg, "Main"));
  CRect r = windowRect();
  EXPECT_EQ(r.left, 140);
  EXPECT_EQ(r.top, 90);
  EXPECT_EQ(r.Width(), 400);
  EXPECT_EQ(r.Height(), 300);
  EXPECT_TRUE(m_dlg.IsWindowVisible());
}

TEST_F(KWindowPlacementGuiTest, RectangleOffEveryMonitorIsNotApplied) {
  m_dlg.MoveWindow(CRect(-6000, -6000, -5600, -5700));
  ASSERT_FALSE(KSaveWindowPlacement(m_dlg, "Away"));
  m_dlg.MoveWindow(CRect(20, 30, 220, 130));
  EXPECT_TRUE(KRestoreWindowPlacement(m_dlg, "Away"));
  EXPECT_EQ(windowRect().left, 20);
  EXPECT_TRUE(KRestoreWindowPlacement(m_dlg, "NeverSaved"));
  EXPECT_EQ(windowRect().top, 30);
}

TEST_F(KWindowPlacementGuiTest, FloatingPlacementRoundTrips) {
  m_dlg.MoveWindow(CRect(300, 200, 500, 320));
  ASSERT_FALSE(KSaveFloatingPlacement(m_dlg, "Float"));
  EXPECT_EQ(KReadRegistryDword(HKEY_CURRENT_USER, KAppRegistryPath("Float"), "BottomRightY", 0), 320u);
  m_dlg.MoveWindow(CRect(0, 0, 100, 100));
  ASSERT_FALSE(KRestoreFloatingPlacement(m_dlg, "Float"));
  CRect r = windowRect();
  EXPECT_EQ(r.left, 300);
  EXPECT_EQ(r.bottom, 320);
  m_dlg.MoveWindow(CRect(-6000, 0, -5900, 100));
  ASSERT_FALSE(KSaveFloatingPlacement(m_dlg, "FloatAway"));
  m_dlg.MoveWindow(CRect(0, 0, 100, 100));
  EXPECT_TRUE(KRestoreFloatingPlacement(m_dlg, "FloatAway"));
  EXPECT_EQ(windowRect().left, 0);
}

TEST_F(KWindowPlacementGuiTest, EnclosingDialogIsFoundFromItsControls) {
  HWND edit = GetDlgItem(m_dlg.m_hWnd, kEdit);
  EXPECT_EQ(KFindEnclosingDialog(edit), m_dlg.m_hWnd);
  EXPECT_EQ(KFindEnclosingDialog(m_dlg.m_hWnd), m_dlg.m_hWnd);
  m_dlg.EnableWindow(FALSE);
  EXPECT_EQ(KFindEnclosingDialog(edit), nullptr);
  m_dlg.EnableWindow(TRUE);
  m_dlg.ShowWindow(SW_HIDE);
  EXPECT_EQ(KFindEnclosingDialog(edit), nullptr);
}

TEST_F(KWindowPlacementGuiTest, FirstEnabledButtonAmongCandidates) {
  const UINT candidates[] = {99, kOff, kEdit, kOn};
  EXPECT_EQ(KFindFirstEnabledButton(m_dlg.m_hWnd, candidates, 4), GetDlgItem(m_dlg.m_hWnd, kOn));
  EXPECT_EQ(KFindFirstEnabledButton(m_dlg.m_hWnd, candidates, 3), nullptr);
  CWnd::FromHandle(GetDlgItem(m_dlg.m_hWnd, kOff))->EnableWindow(TRUE);
  EXPECT_EQ(KFindFirstEnabledButton(m_dlg.m_hWnd, candidates, 4), GetDlgItem(m_dlg.m_hWnd, kOff));
}
