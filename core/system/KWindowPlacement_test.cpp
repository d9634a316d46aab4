#include "core/system/KWindowPlacement.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "core/application/KApplicationAbstract.h"
#include "core/system/KRegistryUtils.h"
#include "core/system/KWindowLookups.h"

namespace {
class PlacementApp : public KApplicationAbstract {
 public:
  KString GetCompanyKeyName() override { return "TestFirm"; }
  KString GetRegistryKeyName() override { return "PlacementApp"; }
};

class KWindowPlacementTest : public ::testing::Test {
 protected:
  void SetUp() override { m_previous = KSetApplication(&m_app); }
  void TearDown() override { KSetApplication(m_previous); }
  static void store(const char* section, const char* names[4], int l, int t, int r, int b) {
    const int values[4] = {l, t, r, b};
    for (int i = 0; i < 4; ++i)
      ASSERT_FALSE(KWriteRegistryDword(HKEY_CURRENT_USER, section, names[i], static_cast<DWORD>(values[i])));
  }
  static void storeMain(const char* section, int l, int t, int r, int b) {
    const char* names[4] = {"PosLeft", "PosTop", "PosRight", "PosBottom"};
    store(section, names, l, t, r, b);
  }
  PlacementApp m_app;
  KApplicationAbstract* m_previous = nullptr;
};
}  // namespace

TEST_F(KWindowPlacementTest, CompleteRectangleIsReadWithItsState) {
  storeMain("Main", -200, 10, 300, 400);
  ASSERT_FALSE(KWriteRegistryDword(HKEY_CURRENT_USER, "Main", "Maximized", 1));
  WINDOWPLACEMENT wp;
  ASSERT_FALSE(KReadWindowPlacement("Main", wp));
  EXPECT_EQ(wp.showCmd, UINT(SW_SHOWMAXIMIZED));
  EXPECT_EQ(wp.rcNormalPosition.left, -200);
  EXPECT_EQ(wp.rcNormalPosition.top, 10);
  EXPECT_EQ(wp.rcNormalPosition.right, 300);
  EXPECT_EQ(wp.rcNormalPosition.bottom, 400);
  ASSERT_FALSE(KWriteRegistryDword(HKEY_CURRENT_USER, "Main", "Minimized", 1));
  ASSERT_FALSE(KReadWindowPlacement("Main", wp));
  EXPECT_EQ(wp.showCmd, UINT(SW_SHOWMINIMIZED));
  ASSERT_FALSE(KWriteRegistryDword(HKEY_CURRENT_USER, "Main", "Minimized", 0));
  ASSERT_FALSE(KWriteRegistryDword(HKEY_CURRENT_USER, "Main", "Maximized", 0));
  ASSERT_FALSE(KReadWindowPlacement("Main", wp));
  EXPECT_EQ(wp.showCmd, UINT(SW_SHOWNORMAL));
}

TEST_F(KWindowPlacementTest, IncompleteRectangleIsNotRead) {
  WINDOWPLACEMENT wp;
  wp.rcNormalPosition = CRect(1, 2, 3, 4);
  EXPECT_TRUE(KReadWindowPlacement("Nothing", wp));
  storeMain("Partial", 10, 10, -1, 300);  // -1 is "not stored"
  EXPECT_TRUE(KReadWindowPlacement("Partial", wp));
  EXPECT_EQ(wp.rcNormalPosition.left, 1);
  RECT r;
  EXPECT_TRUE(KReadFloatingPlacement("Partial", r));  // the other form's entries
}

TEST_F(KWindowPlacementTest, ReversedEdgesArePulledBeyondTheirPartners) {
  storeMain("Reversed", 500, 400, 100, 100);
  WINDOWPLACEMENT wp;
  ASSERT_FALSE(KReadWindowPlacement("Reversed", wp));
  EXPECT_EQ(wp.rcNormalPosition.right, 501);
  EXPECT_EQ(wp.rcNormalPosition.bottom, 401);
  storeMain("Extreme", INT_MAX, INT_MAX, 0, 0);  // no room beyond: no overflow
  ASSERT_FALSE(KReadWindowPlacement("Extreme", wp));
  EXPECT_EQ(wp.rcNormalPosition.right, INT_MAX);
  EXPECT_EQ(wp.rcNormalPosition.bottom, INT_MAX);
}

TEST_F(KWindowPlacementTest, FloatingFormUsesItsOwnEntries) {
  const char* names[4] = {"TopLeftX", "TopLeftY", "BottomRightX", "BottomRightY"};
  store("Float", names, 5, 6, 70, 80);
  RECT r;
  ASSERT_FALSE(KReadFloatingPlacement("Float", r));
  EXPECT_EQ(CRect(r).Width(), 65);
  EXPECT_EQ(CRect(r).Height(), 74);
  WINDOWPLACEMENT wp;
  EXPECT_TRUE(KReadWindowPlacement("Float", wp));
}

TEST_F(KWindowPlacementTest, DetachedWindowsHaveNothingToSaveOrRestore) {
  CWnd none;
  EXPECT_TRUE(KSaveWindowPlacement(none, "Main"));
  EXPECT_TRUE(KSaveFloatingPlacement(none, "Main"));
  storeMain("Main", 1, 1, 100, 100);
  EXPECT_TRUE(KRestoreWindowPlacement(none, "Main"));
  EXPECT_TRUE(KRestoreFloatingPlacement(none, "Main"));
  const UINT ids[] = {1, 2};
  EXPECT_EQ(KFindFirstEnabledButton(nullptr, ids, 2), nullptr);
  EXPECT_EQ(KFindEnclosingDialog(nullptr), nullptr);
}

TEST_F(KWindowPlacementTest, FontRoundTripsThroughFaceAndTenthsOfAPoint) {
  CFont font;
  ASSERT_TRUE(font.CreatePointFont(95, "DejaVu Sans Mono"));
  ASSERT_FALSE(KSaveFont(font, "Fonts"));
  EXPECT_EQ(KReadRegistryDword(HKEY_CURRENT_USER, KAppRegistryPath("Fonts"), "Font Size (1/10s of a point)", 0), 95u);
  CFont back;
  ASSERT_FALSE(KRestoreFont(back, "Fonts"));
  EXPECT_EQ(back.GetPointSize(), 95);
  LOGFONT lf;
  back.GetLogFont(&lf);
  EXPECT_STREQ(lf.lfFaceName, "DejaVu Sans Mono");
  EXPECT_TRUE(KRestoreFont(back, "Fonts"));  // one font per object
  CFont none;
  EXPECT_TRUE(KSaveFont(none, "Fonts"));
}

TEST_F(KWindowPlacementTest, UnusableFontSettingsCreateNothing) {
  CFont font;
  EXPECT_TRUE(KRestoreFont(font, "NoFonts"));
  ASSERT_FALSE(KWriteRegistryDword(HKEY_CURRENT_USER, "SizeOnly", "Font Size (1/10s of a point)", 100));
  EXPECT_TRUE(KRestoreFont(font, "SizeOnly"));
  const char face[] = "Sans";
  ASSERT_FALSE(KWriteRegistryValue(HKEY_CURRENT_USER, "Tiny", "Font Face", REG_SZ, face, sizeof face));
  ASSERT_FALSE(KWriteRegistryDword(HKEY_CURRENT_USER, "Tiny", "Font Size (1/10s of a point)", 9));
  EXPECT_TRUE(KRestoreFont(font, "Tiny"));
  ASSERT_FALSE(KWriteRegistryDword(HKEY_CURRENT_USER, "Tiny", "Font Size (1/10s of a point)", 10001));
  EXPECT_TRUE(KRestoreFont(font, "Tiny"));
  const std::string longFace(40, 'x');
  ASSERT_FALSE(KWriteRegistryValue(HKEY_CURRENT_USER, "Long", "Font Face", REG_SZ, longFace.c_str(),
                                   static_cast<DWORD>(longFace.size() + 1)));
  ASSERT_FALSE(KWriteRegistryDword(HKEY_CURRENT_USER, "Long", "Font Size (1/10s of a point)", 100));
  EXPECT_TRUE(KRestoreFont(font, "Long"));
  EXPECT_EQ(font.GetSafeHandle(), nullptr);
}
