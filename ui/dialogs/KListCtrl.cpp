#include "ui/dialogs/KListCtrl.h"

#include <algorithm>

int KListCtrl::findItemByData(DWORD_PTR data) const {
  const int count = GetItemCount();
  for (int i = 0; i < count; ++i) {
    if (GetItemData(i) == data) return i;
  }
  return -1;
}

int KListCtrl::hitTestWithColumn(CPoint point, int& column) {
  if ((GetStyle() & LVS_TYPEMASK) != LVS_REPORT) return -1;
  const int top = GetTopIndex();
  const int last = std::min(top + GetCountPerPage(), GetItemCount() - 1);
  for (int row = top; row <= last; ++row) {
    CRect bounds;
    if (!GetItemRect(row, &bounds, LVIR_BOUNDS) || !bounds.PtInRect(point)) continue;
    column = -1;
    const int columnCount = GetHeaderCtrl()->GetItemCount();
    int left = bounds.left;
    for (int c = 0; c < columnCount; ++c) {
      const int right = left + GetColumnWidth(c);
      if (point.x >= left && point.x < right) {
        column = c;
        break;
      }
      left = right;
    }
    return row;
  }
  return -1;
}

void KListCtrl::autoSizeColumn(int column) {
  SetRedraw(FALSE);
  SetColumnWidth(column, LVSCW_AUTOSIZE);
  const int contentsWidth = GetColumnWidth(column);
  SetColumnWidth(column, LVSCW_AUTOSIZE_USEHEADER);
  const int headerWidth = GetColumnWidth(column);
  SetColumnWidth(column, std::max(contentsWidth, headerWidth));
  SetRedraw(TRUE);
}
