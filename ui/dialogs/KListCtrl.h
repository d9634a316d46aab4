// KListCtrl: a list control with the report-view operations the library's
// dialogs need: finding an item by its data, hit testing that also answers
// the column, and column auto-sizing that never cuts off either the header or
// the contents.
#pragma once
#include "platform/windows/CListCtrl.h"

class KListCtrl : public CListCtrl {
 public:
  // Index of the first item whose item data equals `data`, or -1.
  int findItemByData(DWORD_PTR data) const;
  // Row under `point` (client coordinates) among the visible rows, with its
  // column in `column`; -1 (column untouched) when no row is hit or the
  // control is not in report view.
  int hitTestWithColumn(CPoint point, int& column);
  // Sets column `column` to the larger of its contents' width and its
  // header's width, without redrawing in between.
  void autoSizeColumn(int column);

  void setRedraw(bool redraw) { SetRedraw(redraw ? TRUE : FALSE); }
  int getColumnWidth(int column) const { return GetColumnWidth(column); }
  bool setColumnWidth(int column, int width) { return SetColumnWidth(column, width) != FALSE; }
};
