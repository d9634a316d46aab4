#include "ui/dialogs/KListCtrl.h"

#include "ui/dialogs/KDialog.h"
#include "ui/dialogs/KDialogTestSupport.h"

#include <algorithm>

namespace {

// A modeless list dialog whose list view is a KListCtrl with two columns and
// four rows (item data 10, 20, 30, 20).
class ListTest : public KDialogTest {
 protected:
  void SetUp() override {
    KDialogTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(dialog.Create(IDD_TEST_LIST));
    dialog.ShowWindow(SW_SHOW);
    ASSERT_TRUE(list.SubclassDlgItem(IDC_TEST_LIST, &dialog));
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 80);
    list.InsertColumn(1, "Value", LVCFMT_LEFT, 60);
    const DWORD_PTR data[] = {10, 20, 30, 20};
    for (int i = 0; i < 4; ++i) {
      list.InsertItem(i, "row");
      list.SetItemText(i, 1, "v");
      list.SetItemData(i, data[i]);
    }
    AfxPumpMessages();
  }
  void TearDown() override {
    if (dialog.GetSafeHwnd()) dialog.DestroyWindow();
    KDialogTest::TearDown();
  }
  // A point inside row `row`, `dx` pixels right of its left edge.
  CPoint pointIn(int row, int dx) {
    CRect bounds;
    EXPECT_TRUE(list.GetItemRect(row, &bounds, LVIR_BOUNDS));
    return CPoint(bounds.left + dx, (bounds.top + bounds.bottom) / 2);
  }

  KDialog dialog{IDD_TEST_LIST};
  KListCtrl list;
};

TEST_F(ListTest, FindsTheFirstItemWithTheData) {
  EXPECT_EQ(list.findItemByData(10), 0);
  EXPECT_EQ(list.findItemByData(20), 1);
  EXPECT_EQ(list.findItemByData(30), 2);
  EXPECT_EQ(list.findItemByData(99), -1);
  list.DeleteAllItems();
  EXPECT_EQ(list.findItemByData(10), -1);
}

TEST_F(ListTest, HitTestAnswersRowAndColumn) {
  int column = -7;
  EXPECT_EQ(list.hitTestWithColumn(pointIn(2, 5), column), 2);
  EXPECT_EQ(column, 0);
  EXPECT_EQ(list.hitTestWithColumn(pointIn(1, 79), column), 1);
  EXPECT_EQ(column, 0);
  EXPECT_EQ(list.hitTestWithColumn(pointIn(1, 80), column), 1);
  EXPECT_EQ(column, 1);
  EXPECT_EQ(list.hitTestWithColumn(pointIn(3, 139), column), 3);
  EXPECT_EQ(column, 1);
  column = -7;
  EXPECT_EQ(list.hitTestWithColumn(pointIn(0, 141), column), -1);  // right of the last column
  EXPECT_EQ(column, -7);
}

TEST_F(ListTest, HitTestMissesBelowTheRowsAndOutsideReportView) {
  CRect last;
  ASSERT_TRUE(list.GetItemRect(3, &last, LVIR_BOUNDS));
  int column = -7;
  EXPECT_EQ(list.hitTestWithColumn(CPoint(last.left + 5, last.bottom + 2 * last.Height()), column), -1);
  EXPECT_EQ(column, -7);
  const CPoint inRow = pointIn(1, 5);
  list.ModifyStyle(LVS_TYPEMASK, LVS_LIST);
  EXPECT_EQ(list.hitTestWithColumn(inRow, column), -1);
  EXPECT_EQ(column, -7);
}

TEST_F(ListTest, HitTestLooksOnlyAtTheVisibleRows) {
  for (int i = 4; i < 200; ++i) list.InsertItem(i, "more");
  AfxPumpMessages();
  ASSERT_LT(list.GetCountPerPage(), 150);
  list.EnsureVisible(199, FALSE);
  AfxPumpMessages();
  ASSERT_GT(list.GetTopIndex(), 0);
  int column = -7;
  // The first visible row is now where row 0 was; rows above are not tested.
  EXPECT_EQ(list.hitTestWithColumn(pointIn(list.GetTopIndex(), 5), column), list.GetTopIndex());
  EXPECT_EQ(list.hitTestWithColumn(pointIn(199, 5), column), 199);
  // Row 0 is scrolled away above the client area: its rectangle is not tested.
  EXPECT_EQ(list.hitTestWithColumn(pointIn(0, 5), column), -1);
}

TEST_F(ListTest, AutoSizeTakesTheWiderOfHeaderAndContents) {
  list.InsertColumn(2, "A heading much wider than what the column holds", LVCFMT_LEFT, 20);
  list.SetItemText(0, 2, "x");
  list.InsertColumn(3, "N", LVCFMT_LEFT, 20);
  list.SetItemText(1, 3, "contents much wider than the heading of the column");
  // The last column's header size fills the control, as on Windows: keep
  // the columns under test off the end.
  list.InsertColumn(4, "end", LVCFMT_LEFT, 20);
  struct Widths {
    int contents, header;
  } widths[4];
  for (int c : {2, 3}) {
    list.SetColumnWidth(c, LVSCW_AUTOSIZE);
    widths[c].contents = list.GetColumnWidth(c);
    list.SetColumnWidth(c, LVSCW_AUTOSIZE_USEHEADER);
    widths[c].header = list.GetColumnWidth(c);
    list.setColumnWidth(c, 5);
  }
  // (The window system's header size may already include the contents.)
  ASSERT_GT(widths[2].header, widths[2].contents);
  ASSERT_GT(widths[3].contents, 2 * widths[2].contents);
  list.autoSizeColumn(2);
  list.autoSizeColumn(3);
  EXPECT_EQ(list.getColumnWidth(2), widths[2].header);
  EXPECT_EQ(list.getColumnWidth(3), widths[3].contents);
}

}  // namespace
