#include "core/system/KWindowPlacement.h"

#include "core/system/KRegistryUtils.h"
#include "platform/KRegistry.h"
#include "platform/windows/KWindowSystem.h"

#include <climits>
#include <cstring>
#include <string>

namespace {
struct EntryNames {
  const char* left;
  const char* top;
  const char* right;
  const char* bottom;
};
constexpr EntryNames kMainEntries = {"PosLeft", "PosTop", "PosRight", "PosBottom"};
constexpr EntryNames kFloatingEntries = {"TopLeftX", "TopLeftY", "BottomRightX", "BottomRightY"};
constexpr const char* kFontFace = "Font Face";
constexpr const char* kFontSize = "Font Size (1/10s of a point)";

bool writeInt(const char* section, const char* name, LONG value) {
  return KWriteRegistryDword(HKEY_CURRENT_USER, section, name, static_cast<DWORD>(value));
}

bool writeRect(const char* section, const EntryNames& names, const RECT& r) {
  bool failed = writeInt(section, names.left, r.left);
  failed |= writeInt(section, names.top, r.top);
  failed |= writeInt(section, names.right, r.right);
  failed |= writeInt(section, names.bottom, r.bottom);
  return failed;
}

// The far edge must lie beyond the near one; a near edge at the largest
// integer leaves no room, and its partner is then taken as the same value.
int beyond(int nearEdge) { return nearEdge == INT_MAX ? INT_MAX : nearEdge + 1; }

bool readRect(const char* section, const EntryNames& names, RECT& rect) {
  const int left = KReadBoundedInteger(section, names.left, -1, INT_MIN, INT_MAX);
  const int top = KReadBoundedInteger(section, names.top, -1, INT_MIN, INT_MAX);
  const int right = KReadBoundedInteger(section, names.right, -1, beyond(left), INT_MAX);
  const int bottom = KReadBoundedInteger(section, names.bottom, -1, beyond(top), INT_MAX);
  if (left == -1 || top == -1 || right == -1 || bottom == -1) return true;
  rect = CRect(left, top, right, bottom);
  return false;
}

bool onSomeMonitor(const RECT& rect) { return MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr; }
}  // namespace

bool KSaveWindowPlacement(const CWnd& wnd, const char* section) {
  WINDOWPLACEMENT wp;
  if (!wnd.GetWindowPlacement(&wp)) return true;
  bool failed = writeInt(section, "Minimized", wp.showCmd == SW_SHOWMINIMIZED ? 1 : 0);
  failed |= writeInt(section, "Maximized", wp.showCmd == SW_SHOWMAXIMIZED ? 1 : 0);
  return writeRect(section, kMainEntries, wp.rcNormalPosition) || failed;
}

bool KReadWindowPlacement(const char* section, WINDOWPLACEMENT& placement) {
  RECT rect;
  if (readRect(section, kMainEntries, rect)) return true;
  const bool minimized = KReadBoundedInteger(section, "Minimized", -1, 0, 1) == 1;
  const bool maximized = KReadBoundedInteger(section, "Maximized", -1, 0, 1) == 1;
  placement.showCmd = minimized ? SW_SHOWMINIMIZED : maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  placement.rcNormalPosition = rect;
  return false;
}

bool KRestoreWindowPlacement(CWnd& wnd, const char* section) {
  WINDOWPLACEMENT wp;
  if (!wnd.GetSafeHwnd() || !wnd.GetWindowPlacement(&wp) || KReadWindowPlacement(section, wp)) return true;
  if (!onSomeMonitor(wp.rcNormalPosition)) return true;
  return !wnd.SetWindowPlacement(&wp);
}

bool KSaveFloatingPlacement(const CWnd& wnd, const char* section) {
  if (!wnd.GetSafeHwnd()) return true;
  RECT rect;
  wnd.GetWindowRect(&rect);
  return writeRect(section, kFloatingEntries, rect);
}

bool KReadFloatingPlacement(const char* section, RECT& rect) { return readRect(section, kFloatingEntries, rect); }

bool KRestoreFloatingPlacement(CWnd& wnd, const char* section) {
  RECT rect;
  if (!wnd.GetSafeHwnd() || KReadFloatingPlacement(section, rect) || !onSomeMonitor(rect)) return true;
  wnd.MoveWindow(&rect);
  return false;
}

bool KSaveFont(const CFont& font, const char* section) {
  LOGFONT lf;
  if (!font.GetLogFont(&lf)) return true;
  const DWORD length = static_cast<DWORD>(strnlen(lf.lfFaceName, LF_FACESIZE));
  bool failed = KWriteRegistryValue(HKEY_CURRENT_USER, section, kFontFace, REG_SZ, lf.lfFaceName, length + 1);
  return writeInt(section, kFontSize, font.GetPointSize()) || failed;
}

bool KRestoreFont(CFont& font, const char* section) {
  if (font.GetSafeHandle()) return true;
  const int size = KReadBoundedInteger(section, kFontSize, -1, INT_MIN, INT_MAX);
  if (size < 10 || size > 10000) return true;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, KAppRegistryPath(section), 0, KEY_READ, &key) != ERROR_SUCCESS) return true;
  char face[LF_FACESIZE] = "";
  DWORD type = 0, bytes = sizeof face;
  LONG rc = RegQueryValueExA(key, kFontFace, nullptr, &type, reinterpret_cast<BYTE*>(face), &bytes);
  RegCloseKey(key);
  // A face longer than a LOGFONT holds is no face this system wrote.
  if (rc != ERROR_SUCCESS || type != REG_SZ || bytes == 0 || face[bytes - 1] != '\0') return true;
  return !font.CreatePointFont(size, face);
}
