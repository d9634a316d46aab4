// CListCtrl: a list view in the manner of the MFC class (window class
// "SysListView32"). All four views are accepted; the report view is the one
// the layer is built for: columns with headers, rows of texts with a
// pointer-sized item data each.
//
// Geometry follows the list view's client coordinates: GetItemRect(LVIR_BOUNDS)
// is the whole row (from the left edge of the first column, moved by
// horizontal scrolling), GetTopIndex the first visible row, GetCountPerPage the
// number of rows that fit whole. SetColumnWidth takes LVSCW_AUTOSIZE (the
// widest text of the column) and LVSCW_AUTOSIZE_USEHEADER (the header text,
// or the widest text when that is wider; a last column is not stretched to
// the control's edge).
#pragma once
#include "platform/windows/CWnd.h"

class CHeaderCtrl {
 public:
  explicit CHeaderCtrl(const class CListCtrl* list) : m_pList(list) {}
  // The number of columns.
  int GetItemCount() const;

 private:
  const CListCtrl* m_pList;
};

class CListCtrl : public CWnd {
 public:
  CListCtrl() : m_header(this) {}
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  // Answers the new column's index, -1 on failure. nWidth -1: a default width.
  int InsertColumn(int nCol, LPCTSTR heading, int nFormat = LVCFMT_LEFT, int nWidth = -1, int nSubItem = -1);
  BOOL DeleteColumn(int nCol);
  CHeaderCtrl* GetHeaderCtrl() { return &m_header; }
  // Answers the new item's index, -1 on failure.
  int InsertItem(int nItem, LPCTSTR text);
  BOOL DeleteItem(int nItem);
  BOOL DeleteAllItems();
  int GetItemCount() const;
  BOOL SetItemText(int nItem, int nSubItem, LPCTSTR text);
  KString GetItemText(int nItem, int nSubItem) const;
  BOOL SetItemData(int nItem, DWORD_PTR data);
  // 0 for an item that does not exist.
  DWORD_PTR GetItemData(int nItem) const;
  // LVIS_SELECTED, LVIS_FOCUSED.
  BOOL SetItemState(int nItem, UINT state, UINT mask);
  UINT GetItemState(int nItem, UINT mask) const;
  // The next item after nItem (-1: from the start) with the LVNI_ flags; -1 when none.
  int GetNextItem(int nItem, int nFlags) const;
  // FALSE when the item does not exist.
  BOOL GetItemRect(int nItem, LPRECT rect, UINT nCode) const;
  // 0 for a column that does not exist.
  int GetColumnWidth(int nCol) const;
  BOOL SetColumnWidth(int nCol, int cx);
  int GetTopIndex() const;
  int GetCountPerPage() const;
  BOOL EnsureVisible(int nItem, BOOL bPartialOK);
  // The row under `point` (client coordinates), -1 when none.
  int HitTest(POINT point, UINT* pFlags = nullptr) const;

 private:
  CHeaderCtrl m_header;
};
