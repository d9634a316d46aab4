#include "core/system/KWindowLookups.h"

#include <cstring>

namespace {
bool hasClass(HWND hWnd, const char* name) {
  char cls[32] = "";
  return GetClassName(hWnd, cls, sizeof cls) > 0 && strcmp(cls, name) == 0;
}
}  // namespace

HWND KFindEnclosingDialog(HWND hWnd) {
  for (HWND h = hWnd; h; h = GetParent(h)) {
    const DWORD style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
    if (hasClass(h, "#32770") && IsWindowVisible(h) && IsWindowEnabled(h) &&
        (style & (WS_POPUP | WS_VISIBLE)) == (WS_POPUP | WS_VISIBLE))
      return h;
    if (!(style & WS_CHILD)) break;
  }
  return nullptr;
}

HWND KFindFirstEnabledButton(HWND hDlg, const UINT* ids, int count) {
  for (int i = 0; ids && i < count; ++i) {
    HWND h = GetDlgItem(hDlg, static_cast<int>(ids[i]));
    if (h && hasClass(h, "Button") && IsWindowEnabled(h)) return h;
  }
  return nullptr;
}
