#include "platform/windows/CGdiObjects.h"

#include <gtest/gtest.h>

#include "platform/KResources.h"
#include "platform/windows/CDialog.h"
#include "platform/windows/CStdControls.h"
#include "platform/windows/KWindowSystem.h"
#include "resources/KResourceAttach.h"
#include "resources/KResourceTables.h"

namespace {
// The companion library, attached once per program as the host attaches it.
void attachCompanion() {
  static const bool attached = (InitMFCExtension(), true);
  (void)attached;
}

constexpr COLORREF kFace = RGB(192, 192, 192), kInk = RGB(0, 0, 128), kWhite = RGB(255, 255, 255);
constexpr UINT kPicture = 4001, kText = 4002;
const KDialogItemTemplate kItems[] = {
    {"Static", kPicture, WS_CHILD | WS_VISIBLE | SS_BITMAP, 5, 5, 16, 16, nullptr},
    {"Static", kText, WS_CHILD | WS_VISIBLE, 30, 5, 40, 10, "text"},
};
const KDialogTemplate kTemplate = {1, "Pictures", WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 40, kItems, 2, nullptr, 0};
}  // namespace

TEST(CFontTest, PointFontsKeepTheirSizeAndFace) {
  CFont font;
  EXPECT_FALSE(font.CreatePointFont(0, "Sans"));
  ASSERT_TRUE(font.CreatePointFont(95, "DejaVu Sans"));
  EXPECT_FALSE(font.CreatePointFont(100, "Sans"));  // one font per object
  EXPECT_EQ(font.GetPointSize(), 95);
  LOGFONT lf;
  ASSERT_GT(font.GetLogFont(&lf), 0);
  EXPECT_STREQ(lf.lfFaceName, "DejaVu Sans");
  EXPECT_EQ(lf.lfHeight, -13);  // 9.5 points at 96 pixels per inch
  EXPECT_EQ(lf.lfWeight, FW_NORMAL);

  CFont byPixels;
  lf.lfHeight = -16;
  lf.lfWeight = FW_BOLD;
  ASSERT_TRUE(byPixels.CreateFontIndirect(&lf));
  EXPECT_EQ(byPixels.GetPointSize(), 120);
  CFont byTenths;
  lf.lfHeight = 105;
  ASSERT_TRUE(byTenths.CreatePointFontIndirect(&lf));
  EXPECT_EQ(byTenths.GetPointSize(), 105);
  LOGFONT back;
  byTenths.GetLogFont(&back);
  EXPECT_EQ(back.lfWeight, FW_BOLD);
}

TEST(CFontTest, HandlesAreFreedOnce) {
  CFont font;
  ASSERT_TRUE(font.CreatePointFont(100, "Sans"));
  HGDIOBJ h = font.Detach();
  EXPECT_EQ(font.GetPointSize(), 0);
  EXPECT_TRUE(DeleteObject(h));
  EXPECT_FALSE(DeleteObject(h));
  EXPECT_FALSE(DeleteObject(nullptr));
  EXPECT_FALSE(font.DeleteObject());
}

TEST(CBitmapTest, MappedBitmapReplacesOnlyTheMappedColour) {
  attachCompanion();
  CBitmap plain;
  ASSERT_TRUE(plain.LoadBitmap(IDB_QUELM_MARK));
  BITMAP info;
  ASSERT_GT(plain.GetBitmap(&info), 0);
  EXPECT_EQ(info.bmWidth, 16);
  EXPECT_EQ(info.bmHeight, 16);
  EXPECT_EQ(plain.GetPixel(0, 0), kFace);
  EXPECT_EQ(plain.GetPixel(4, 1), kInk);
  EXPECT_EQ(plain.GetPixel(5, 2), kWhite);
  EXPECT_EQ(plain.GetPixel(16, 0), CLR_INVALID);
  EXPECT_EQ(plain.GetPixel(0, -1), CLR_INVALID);

  COLORMAP map = {kFace, RGB(1, 2, 3)};
  CBitmap mapped;
  ASSERT_TRUE(mapped.LoadMappedBitmap(IDB_QUELM_MARK, 0, &map, 1));
  EXPECT_EQ(mapped.GetPixel(0, 0), RGB(1, 2, 3));
  EXPECT_EQ(mapped.GetPixel(15, 15), RGB(1, 2, 3));
  EXPECT_EQ(mapped.GetPixel(4, 1), kInk);
  EXPECT_EQ(mapped.GetPixel(5, 2), kWhite);

  CBitmap standard;  // without a map the four standard greys follow the system colours
  ASSERT_TRUE(standard.LoadMappedBitmap(IDB_QUELM_MARK));
  EXPECT_EQ(standard.GetPixel(0, 0), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(standard.GetPixel(5, 2), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(standard.GetPixel(4, 1), kInk);

  CBitmap missing;
  EXPECT_FALSE(missing.LoadMappedBitmap(4711));
  EXPECT_EQ(CreateMappedBitmap(AfxGetInstanceHandle(), IDB_QUELM_MARK, 0, &map, 1), nullptr);  // not the program's
}

TEST(CBitmapTest, PictureControlShowsTheBitmap) {
  ASSERT_TRUE(AfxWindowSystemAvailable());
  attachCompanion();
  CDialog dlg;
  ASSERT_TRUE(dlg.CreateIndirect(&kTemplate));
  COLORMAP map = {kFace, GetSysColor(COLOR_3DFACE)};
  CBitmap first, second;
  ASSERT_TRUE(first.LoadMappedBitmap(IDB_QUELM_MARK, 0, &map, 1));
  ASSERT_TRUE(second.LoadMappedBitmap(IDB_QUELM_MARK, 0, &map, 1));
  CWnd* picture = dlg.GetDlgItem(kPicture);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->SendMessage(STM_SETIMAGE, IMAGE_BITMAP, LPARAM(HBITMAP(first))), 0);
  EXPECT_EQ(HBITMAP(picture->SendMessage(STM_GETIMAGE, IMAGE_BITMAP)), HBITMAP(first));
  EXPECT_EQ(HBITMAP(picture->SendMessage(STM_SETIMAGE, IMAGE_BITMAP, LPARAM(HBITMAP(second)))), HBITMAP(first));
  EXPECT_EQ(static_cast<CStatic*>(picture)->GetBitmap(), HBITMAP(second));
  // A text control shows no pictures.
  EXPECT_EQ(dlg.GetDlgItem(kText)->SendMessage(STM_SETIMAGE, IMAGE_BITMAP, LPARAM(HBITMAP(first))), 0);
  EXPECT_EQ(dlg.GetDlgItem(kText)->SendMessage(STM_GETIMAGE, IMAGE_BITMAP), 0);
  dlg.DestroyWindow();
  AfxPumpMessages();
}

TEST(CFontTest, WindowsTakeTheFontTheyAreGiven) {
  ASSERT_TRUE(AfxWindowSystemAvailable());
  CDialog dlg;
  ASSERT_TRUE(dlg.CreateIndirect(&kTemplate));
  CWnd* text = dlg.GetDlgItem(kText);
  CFont* own = text->GetFont();
  ASSERT_NE(own, nullptr);
  EXPECT_GT(own->GetPointSize(), 0);
  CFont big;
  ASSERT_TRUE(big.CreatePointFont(180, "DejaVu Sans"));
  text->SetFont(&big);
  EXPECT_EQ(text->GetFont(), &big);
  EXPECT_EQ(HFONT(text->SendMessage(WM_GETFONT)), HFONT(big));
  dlg.DestroyWindow();
  AfxPumpMessages();
}
