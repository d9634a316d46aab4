// The simple controls in the manner of the MFC classes: CEdit ("Edit"),
// CStatic ("Static", a text or, with SS_BITMAP, a picture) and CButton
// ("Button": push button, check box, radio button or group box by BS_ kind).
// Rectangles of Create are in the parent's client coordinates, in pixels.
#pragma once
#include "platform/windows/CWnd.h"

class CEdit : public CWnd {
 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  // EM_SETREADONLY; ES_READONLY in GetStyle follows it.
  BOOL SetReadOnly(BOOL readOnly = TRUE);
  // Selects characters [start, end); (0, -1) selects all.
  void SetSel(int start, int end);
  void ReplaceSel(LPCTSTR text);
};

class CStatic : public CWnd {
 public:
  BOOL Create(LPCTSTR text, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  // STM_SETIMAGE: shows `bitmap` (a picture control shows a copy; the caller
  // keeps the handle); answers the previous handle.
  HBITMAP SetBitmap(HBITMAP bitmap);
  HBITMAP GetBitmap() const;
};

class CButton : public CWnd {
 public:
  BOOL Create(LPCTSTR caption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  int GetCheck() const;
  void SetCheck(int check);
};
