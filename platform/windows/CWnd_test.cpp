#include "platform/windows/CWnd.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/windows/CDialog.h"
#include "platform/windows/KWindowSystem.h"
#include "platform/windows/KWxPrivate.h"

namespace {
const KDialogItemTemplate kItems[] = {{"Edit", 10, WS_CHILD | WS_VISIBLE, 5, 5, 80, 12, "start"}};
const KDialogTemplate kTemplate = {1, "Frame", WS_POPUP | WS_CAPTION | WS_VISIBLE | WS_THICKFRAME, 200, 100,
                                   kItems, 1, nullptr, 0};
}  // namespace

TEST(KControlIdTest, IdentifiersMapBothWaysWithinWxRange) {
  ASSERT_TRUE(AfxWindowSystemAvailable());
  for (UINT id : {0u, 1u, 1000u, 32766u}) {
    EXPECT_EQ(wxIdFromControlId(id), int(id));
    EXPECT_EQ(controlIdFromWxId(int(id)), id);
  }
  EXPECT_EQ(wxIdFromControlId(IDC_STATIC), wxID_ANY);
  for (UINT id : {32767u, 0xAEF2u, 0xAEF3u, 0xAEF4u, 0xE122u, 0xFFFEu}) {
    int wxId = wxIdFromControlId(id);
    EXPECT_LE(wxId, wxID_AUTO_HIGHEST) << id;
    EXPECT_GE(wxId, wxID_AUTO_LOWEST) << id;
    EXPECT_EQ(wxIdFromControlId(id), wxId) << "stable";
    EXPECT_EQ(controlIdFromWxId(wxId), id);
  }
  EXPECT_NE(wxIdFromControlId(0xAEF2), wxIdFromControlId(0xAEF3));
  EXPECT_EQ(wxIdFromControlId(0x1AEF2), wxIdFromControlId(0xAEF2));  // 16-bit identifiers, as on Windows
  EXPECT_EQ(controlIdFromWxId(wxWindow::NewControlId()), IDC_STATIC);  // wx's own are nobody's
}

TEST(CWndTest, TextTravelsByMessageAndByOperation) {
  ASSERT_TRUE(AfxWindowSystemAvailable());
  CDialog dlg;
  ASSERT_TRUE(dlg.CreateIndirect(&kTemplate));
  KString title;
  dlg.GetWindowText(title);
  EXPECT_EQ(std::string(title), "Frame");
  CWnd* edit = dlg.GetDlgItem(10);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->SendMessage(WM_GETTEXTLENGTH), 5);
  char buffer[4];
  EXPECT_EQ(edit->SendMessage(WM_GETTEXT, sizeof buffer, LPARAM(buffer)), 3);
  EXPECT_STREQ(buffer, "sta");
  edit->SetWindowText("x = 2 [m]");
  KString text;
  EXPECT_EQ(dlg.GetDlgItemText(10, text), 9);
  EXPECT_EQ(std::string(text), "x = 2 [m]");
  EXPECT_EQ(dlg.GetDlgItemText(99, text), 0);
  EXPECT_TRUE(text.IsEmpty());
  dlg.DestroyWindow();
  AfxPumpMessages();
}

TEST(CWndTest, ControlsMoveWithinTheirParent) {
  ASSERT_TRUE(AfxWindowSystemAvailable());
  CDialog dlg;
  ASSERT_TRUE(dlg.CreateIndirect(&kTemplate));
  CWnd* edit = dlg.GetDlgItem(10);
  edit->MoveWindow(CRect(10, 20, 110, 45));
  CRect r;
  edit->GetWindowRect(&r);
  dlg.ScreenToClient(&r);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.Width(), 100);
  EXPECT_EQ(r.Height(), 25);
  CRect client;
  edit->GetClientRect(&client);
  EXPECT_EQ(client.left, 0);
  EXPECT_LE(client.Width(), 100);
  dlg.DestroyWindow();
  AfxPumpMessages();
}

TEST(CWndTest, PlacementOfATopLevelWindowRoundTrips) {
  ASSERT_TRUE(AfxWindowSystemAvailable());
  CDialog dlg;
  ASSERT_TRUE(dlg.CreateIndirect(&kTemplate));
  WINDOWPLACEMENT wp;
  wp.showCmd = SW_SHOWNORMAL;
  wp.rcNormalPosition = CRect(120, 80, 520, 380);
  ASSERT_TRUE(dlg.SetWindowPlacement(&wp));
  AfxPumpMessages();
  WINDOWPLACEMENT back;
  ASSERT_TRUE(dlg.GetWindowPlacement(&back));
  EXPECT_EQ(back.showCmd, UINT(SW_SHOWNORMAL));
  EXPECT_EQ(back.rcNormalPosition.left, 120);
  EXPECT_EQ(back.rcNormalPosition.top, 80);
  EXPECT_EQ(back.rcNormalPosition.right, 520);
  EXPECT_EQ(back.rcNormalPosition.bottom, 380);
  dlg.ShowWindow(SW_HIDE);
  ASSERT_TRUE(dlg.GetWindowPlacement(&back));
  EXPECT_EQ(back.showCmd, UINT(SW_HIDE));
  dlg.DestroyWindow();
  EXPECT_FALSE(dlg.GetWindowPlacement(&back));
  AfxPumpMessages();
}

TEST(CWndTest, UnknownHandlesAnswerNothing) {
  int notAWindow = 0;
  HWND h = &notAWindow;
  char name[8] = "x";
  EXPECT_EQ(GetClassName(h, name, sizeof name), 0);
  EXPECT_EQ(GetWindowLong(h, GWL_STYLE), 0);
  EXPECT_EQ(GetParent(h), nullptr);
  EXPECT_FALSE(IsWindowVisible(h));
  EXPECT_EQ(SendMessage(h, WM_GETTEXTLENGTH), 0);
  EXPECT_EQ(CWnd::FromHandle(h), nullptr);
  CWnd detached;
  EXPECT_EQ(detached.GetDlgCtrlID(), 0);
  EXPECT_EQ(detached.GetStyle(), 0u);
  EXPECT_FALSE(detached.DestroyWindow());
}
