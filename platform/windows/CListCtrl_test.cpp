#include "platform/windows/CListCtrl.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/windows/CDialog.h"
#include "platform/windows/KWindowSystem.h"

namespace {
constexpr UINT kList = 2001;

class CListCtrlTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(AfxWindowSystemAvailable());
    ASSERT_TRUE(m_dlg.CreateIndirect(&kTemplate));
    ASSERT_TRUE(m_list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 400, 200), &m_dlg, kList));
  }
  void TearDown() override {
    m_dlg.DestroyWindow();
    AfxPumpMessages();
  }
  void fill(int rows) {
    m_list.InsertColumn(0, "Name");
    m_list.InsertColumn(1, "Value", LVCFMT_RIGHT, 60);
    for (int i = 0; i < rows; ++i) {
      std::string text = "row " + std::to_string(i);
      ASSERT_EQ(m_list.InsertItem(i, text.c_str()), i);
      m_list.SetItemText(i, 1, std::to_string(i * i).c_str());
    }
  }
  static constexpr KDialogTemplate kTemplate = {1, "Lists", WS_POPUP | WS_CAPTION | WS_VISIBLE, 300, 160,
                                                nullptr, 0, nullptr, 0};
  CDialog m_dlg;
  CListCtrl m_list;
};
}  // namespace

TEST_F(CListCtrlTest, ReportViewHoldsTextsAndPointerSizedData) {
  fill(3);
  char name[32];
  ASSERT_GT(GetClassName(m_list.m_hWnd, name, sizeof name), 0);
  EXPECT_STREQ(name, "SysListView32");
  EXPECT_EQ(m_list.GetStyle() & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_EQ(m_list.GetItemCount(), 3);
  EXPECT_EQ(m_list.GetHeaderCtrl()->GetItemCount(), 2);
  EXPECT_EQ(std::string(m_list.GetItemText(2, 0)), "row 2");
  EXPECT_EQ(std::string(m_list.GetItemText(2, 1)), "4");
  EXPECT_EQ(std::string(m_list.GetItemText(3, 0)), "");
  EXPECT_EQ(std::string(m_list.GetItemText(0, 2)), "");
  const DWORD_PTR big = DWORD_PTR(0x123456789ABCull);
  EXPECT_TRUE(m_list.SetItemData(1, big));
  EXPECT_EQ(m_list.GetItemData(1), big);
  EXPECT_EQ(m_list.GetItemData(7), 0u);
  EXPECT_FALSE(m_list.SetItemData(7, 1));
  EXPECT_EQ(m_list.GetNextItem(-1, LVNI_SELECTED), -1);
  m_list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(m_list.GetNextItem(-1, LVNI_SELECTED), 2);
  EXPECT_EQ(m_list.GetItemState(2, LVIS_SELECTED), LVIS_SELECTED);
  EXPECT_TRUE(m_list.DeleteItem(0));
  EXPECT_EQ(std::string(m_list.GetItemText(0, 0)), "row 1");
  EXPECT_TRUE(m_list.DeleteAllItems());
  EXPECT_EQ(m_list.GetItemCount(), 0);
}

TEST_F(CListCtrlTest, RowsLieOneBelowTheOtherFromTheTopIndex) {
  fill(100);
  const int perPage = m_list.GetCountPerPage();
  EXPECT_GT(perPage, 2);
  EXPECT_LT(perPage, 100);
  EXPECT_EQ(m_list.GetTopIndex(), 0);
  CRect first, second;
  ASSERT_TRUE(m_list.GetItemRect(0, &first, LVIR_BOUNDS));
  ASSERT_TRUE(m_list.GetItemRect(1, &second, LVIR_BOUNDS));
  EXPECT_GT(first.Height(), 0);
  EXPECT_EQ(second.top, first.bottom);
  EXPECT_EQ(second.left, first.left);
  EXPECT_GE(first.Width(), m_list.GetColumnWidth(0) + m_list.GetColumnWidth(1));
  EXPECT_FALSE(m_list.GetItemRect(100, &first, LVIR_BOUNDS));
  EXPECT_EQ(m_list.HitTest(CPoint(first.left + 2, first.top + 1)), 0);
  EXPECT_EQ(m_list.HitTest(CPoint(second.left + 2, second.bottom - 1)), 1);
  EXPECT_EQ(m_list.HitTest(CPoint(second.left + 2, second.bottom)), 2);
  EXPECT_EQ(m_list.HitTest(CPoint(-5, first.top + 1)), -1);

  m_list.EnsureVisible(80, FALSE);
  AfxPumpMessages();
  const int top = m_list.GetTopIndex();
  EXPECT_GT(top, 80 - perPage);
  EXPECT_LE(top, 80);
  CRect topRect;
  ASSERT_TRUE(m_list.GetItemRect(top, &topRect, LVIR_BOUNDS));
  CRect client;
  m_list.GetClientRect(&client);
  EXPECT_GE(topRect.top, 0);
  EXPECT_LT(topRect.top, client.bottom);
  EXPECT_EQ(m_list.HitTest(CPoint(topRect.left + 2, topRect.top + 1)), top);
  // The messages answer what the operations answer.
  EXPECT_EQ(m_list.SendMessage(LVM_GETTOPINDEX), top);
  EXPECT_EQ(m_list.SendMessage(LVM_GETCOUNTPERPAGE), perPage);
  EXPECT_EQ(m_list.SendMessage(LVM_GETITEMCOUNT), 100);
}

TEST_F(CListCtrlTest, ColumnWidthsAndTheTwoAutoSizes) {
  m_list.InsertColumn(0, "An uncommonly wide column heading", LVCFMT_LEFT, 40);
  m_list.InsertColumn(1, "B", LVCFMT_LEFT, 40);
  m_list.InsertItem(0, "1");
  m_list.SetItemText(0, 1, "a text rather longer than its heading");
  EXPECT_EQ(m_list.GetColumnWidth(0), 40);
  EXPECT_TRUE(m_list.SetColumnWidth(0, 75));
  EXPECT_EQ(m_list.GetColumnWidth(0), 75);
  EXPECT_EQ(m_list.GetColumnWidth(5), 0);
  EXPECT_FALSE(m_list.SetColumnWidth(5, 10));

  ASSERT_TRUE(m_list.SetColumnWidth(0, LVSCW_AUTOSIZE));
  const int contents0 = m_list.GetColumnWidth(0);
  ASSERT_TRUE(m_list.SetColumnWidth(0, LVSCW_AUTOSIZE_USEHEADER));
  const int header0 = m_list.GetColumnWidth(0);
  EXPECT_GT(header0, contents0);  // the heading is the wider
  EXPECT_GT(header0, 100);

  ASSERT_TRUE(m_list.SetColumnWidth(1, LVSCW_AUTOSIZE));
  const int contents1 = m_list.GetColumnWidth(1);
  ASSERT_TRUE(m_list.SetColumnWidth(1, LVSCW_AUTOSIZE_USEHEADER));
  EXPECT_GT(contents1, 100);
  EXPECT_EQ(m_list.GetColumnWidth(1), contents1);  // never narrower than the texts
  EXPECT_GT(contents1, contents0);
}

TEST_F(CListCtrlTest, ViewStyleCanChange) {
  fill(2);
  EXPECT_TRUE(m_list.ModifyStyle(LVS_TYPEMASK, LVS_ICON));
  EXPECT_EQ(m_list.GetStyle() & LVS_TYPEMASK, LVS_ICON);
  EXPECT_TRUE(m_list.ModifyStyle(LVS_TYPEMASK, LVS_REPORT));
  EXPECT_EQ(m_list.GetStyle() & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_EQ(m_list.GetItemCount(), 2);
}

TEST_F(CListCtrlTest, SelectionIsNotifiedToTheParent) {
  struct Parent : CDialog {
    int changed = -1;
    UINT code = 0;
    BOOL OnNotify(WPARAM, LPARAM lParam, LRESULT*) override {
      auto* nm = reinterpret_cast<NMLISTVIEW*>(lParam);
      if (nm->hdr.idFrom != kList) return FALSE;
      code = nm->hdr.code;
      if (nm->uNewState & LVIS_SELECTED) changed = nm->iItem;
      return TRUE;
    }
  } parent;
  ASSERT_TRUE(parent.CreateIndirect(&kTemplate));
  CListCtrl list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 200, 100), &parent, kList));
  list.InsertColumn(0, "Name");
  list.InsertItem(0, "a");
  list.InsertItem(1, "b");
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  AfxPumpMessages();
  EXPECT_EQ(parent.code, LVN_ITEMCHANGED);
  EXPECT_EQ(parent.changed, 1);
  parent.DestroyWindow();
  AfxPumpMessages();
}
