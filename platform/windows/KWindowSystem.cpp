#include "platform/windows/KWindowSystem.h"

#include "platform/KMessageBox.h"
#include "platform/KResources.h"
#include "platform/windows/CWinApp.h"
#include "platform/windows/KWxPrivate.h"

#include <wx/app.h>
#include <wx/display.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/generic/msgdlgg.h>
#include <wx/settings.h>
#include <wx/toplevel.h>

#include <cstdio>
#include <cstdlib>

namespace {
KWindowSystemFailureHandler& failureHandler() {
  static KWindowSystemFailureHandler handler;
  return handler;
}

void reportFailure(const std::string& what) {
  if (failureHandler())
    failureHandler()(what.c_str());
  else
    fprintf(stderr, "window system: %s\n", what.c_str());
}

// wx's assertion report would open a modal window; ours goes to the handler.
void onAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg) {
  reportFailure(std::string(file.utf8_str().data()) + ":" + std::to_string(line) + ": " + func.utf8_str().data() +
                ": assertion \"" + cond.utf8_str().data() + "\" failed" +
                (msg.empty() ? std::string() : std::string(": ") + msg.utf8_str().data()));
}

WORD virtualKeyOf(int wxKey) {
  if (wxKey >= WXK_F1 && wxKey <= WXK_F12) return WORD(VK_F1 + (wxKey - WXK_F1));
  switch (wxKey) {
    case WXK_DELETE: return VK_DELETE;
    case WXK_INSERT: return VK_INSERT;
    case WXK_LEFT: return VK_LEFT;
    case WXK_RIGHT: return VK_RIGHT;
    case WXK_UP: return VK_UP;
    case WXK_DOWN: return VK_DOWN;
    case WXK_HOME: return VK_HOME;
    case WXK_END: return VK_END;
    case WXK_PAGEUP: return VK_PRIOR;
    case WXK_PAGEDOWN: return VK_NEXT;
    case WXK_SHIFT: return VK_SHIFT;
    case WXK_CONTROL: return VK_CONTROL;
    case WXK_ALT: return VK_MENU;
    default: break;
  }
  if (wxKey >= 'a' && wxKey <= 'z') return WORD(wxKey - 'a' + 'A');
  return WORD(wxKey & 0xFFFF);  // Return, Escape, Tab, Back, Space, letters and digits share their codes
}

// Key events become MSGs on the pre-translation path before any window sees
// them: the application's PreTranslateMessage (or, without an application
// object, the windows from the focus up) may take them.
class KWxApp : public wxApp {
 public:
  bool OnInit() override { return true; }
  int FilterEvent(wxEvent& event) override {
    wxEventType type = event.GetEventType();
    if (type != wxEVT_KEY_DOWN && type != wxEVT_CHAR) return Event_Skip;
    auto& key = static_cast<wxKeyEvent&>(event);
    MSG msg;
    msg.hwnd = knownAncestor(dynamic_cast<wxWindow*>(event.GetEventObject()));
    if (!msg.hwnd) return Event_Skip;
    bool alt = key.AltDown();
    msg.message = type == wxEVT_KEY_DOWN ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSCHAR : WM_CHAR);
    msg.wParam = type == wxEVT_KEY_DOWN ? virtualKeyOf(key.GetKeyCode()) : WPARAM(key.GetUnicodeKey());
    msg.lPrivate = (key.ShiftDown() ? FSHIFT : 0) | (key.ControlDown() ? FCONTROL : 0) | (alt ? FALT : 0);
    wxPoint p = wxGetMousePosition();
    msg.pt.x = p.x;
    msg.pt.y = p.y;
    CWinApp* app = AfxGetApp();
    BOOL handled = app ? app->PreTranslateMessage(&msg) : CWnd::WalkPreTranslateTree(nullptr, &msg);
    return handled ? Event_Processed : Event_Skip;
  }
};

int showMessageBox(const char* text, UINT type) {
  if (!AfxWindowSystemAvailable()) return 0;
  long style = wxCENTRE;
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: case MB_RETRYCANCEL: style |= wxOK | wxCANCEL; break;
    case MB_YESNO: style |= wxYES_NO; break;
    case MB_YESNOCANCEL: case MB_ABORTRETRYIGNORE: style |= wxYES_NO | wxCANCEL; break;
    default: style |= wxOK; break;
  }
  switch (type & 0xF0) {
    case MB_ICONERROR: style |= wxICON_ERROR; break;
    case MB_ICONQUESTION: style |= wxICON_QUESTION; break;
    case MB_ICONWARNING: style |= wxICON_WARNING; break;
    case MB_ICONINFORMATION: style |= wxICON_INFORMATION; break;
    default: break;
  }
  int def = AfxDefaultButton(type);
  if (def == IDNO) style |= wxNO_DEFAULT;
  if (def == IDCANCEL && (style & wxCANCEL)) style |= wxCANCEL_DEFAULT;
  const char* title = AfxFindStringResource(0xE000);
  wxWindow* parent = wxOf(GetActiveWindow());
  // The generic box runs the layer's own modal loop, so queued callbacks
  // reach it as they reach dialogs.
  wxGenericMessageDialog box(parent, wxString::FromUTF8(text), wxString::FromUTF8(title ? title : ""), style);
  if ((type & MB_TYPEMASK) == MB_ABORTRETRYIGNORE) box.SetYesNoCancelLabels("&Abort", "&Retry", "&Ignore");
  if ((type & MB_TYPEMASK) == MB_RETRYCANCEL) box.SetOKCancelLabels("&Retry", "&Cancel");
  int answer = box.ShowModal();
  bool ari = (type & MB_TYPEMASK) == MB_ABORTRETRYIGNORE, rc = (type & MB_TYPEMASK) == MB_RETRYCANCEL;
  switch (answer) {
    case wxID_OK: return rc ? IDRETRY : IDOK;
    case wxID_YES: return ari ? IDABORT : IDYES;
    case wxID_NO: return ari ? IDRETRY : IDNO;
    case wxID_CANCEL: return ari ? IDIGNORE : IDCANCEL;
    default: return def;
  }
}

// Message boxes become real once the layer is linked in.
[[maybe_unused]] const bool g_boxInstalled = (AfxSetWindowSystemMessageBox(showMessageBox), true);

DWORD& commDlgError() {
  static DWORD code = 0;
  return code;
}

wxRect wxRectOf(const RECT& r) { return wxRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }
}  // namespace

bool AfxWindowSystemAvailable() {
  static int state = 0;  // 0 not tried, 1 running, -1 unavailable
  if (state) return state > 0;
  state = -1;
  const char* display = getenv("DISPLAY");
  const char* wayland = getenv("WAYLAND_DISPLAY");
  if ((!display || !*display) && (!wayland || !*wayland)) return false;
  wxSetAssertHandler(onAssert);
  // Errors are logged to standard error, never in a window of their own.
  delete wxLog::SetActiveTarget(new wxLogStderr);
  wxApp::SetInstance(new KWxApp);
  static char arg0[] = "quelm";
  static char* argv[] = {arg0, nullptr};
  int argc = 1;
  if (!wxEntryStart(argc, argv)) return false;
  if (!wxTheApp || !wxTheApp->CallOnInit()) {
    wxEntryCleanup();
    return false;
  }
  wxTheApp->SetExitOnFrameDelete(false);
  state = 1;
  return true;
}

bool AfxCallAfter(std::function<void()> callback) {
  if (!callback || !AfxWindowSystemAvailable()) return true;
  wxTheApp->CallAfter(std::move(callback));
  return false;
}

void AfxPumpMessages() {
  if (!AfxWindowSystemAvailable()) return;
  for (int round = 0; round < 4; ++round) {
    wxTheApp->Yield(false);
    wxTheApp->ProcessPendingEvents();
    if (!wxTheApp->HasPendingEvents()) break;
  }
}

KWindowSystemFailureHandler AfxSetWindowSystemFailureHandler(KWindowSystemFailureHandler handler) {
  KWindowSystemFailureHandler old = std::move(failureHandler());
  failureHandler() = std::move(handler);
  return old;
}

HACCEL LoadAccelerators(HINSTANCE module, UINT id) {
  return const_cast<KAcceleratorTable*>(AfxFindAcceleratorTable(module, id));
}

BOOL DestroyAcceleratorTable(HACCEL accel) { return accel != nullptr; }

int TranslateAccelerator(HWND hWnd, HACCEL accel, MSG* msg) {
  auto* table = static_cast<const KAcceleratorTable*>(accel);
  if (!table || !msg || !hWnd) return 0;
  bool virtualKey = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
  bool character = msg->message == WM_CHAR || msg->message == WM_SYSCHAR;
  if (!virtualKey && !character) return 0;
  const BYTE modifiers = BYTE(msg->lPrivate & (FSHIFT | FCONTROL | FALT));
  for (int i = 0; i < table->count; ++i) {
    const ACCEL& a = table->entries[i];
    bool entryVirtual = (a.fVirt & FVIRTKEY) != 0;
    if (entryVirtual != virtualKey || a.key != WORD(msg->wParam)) continue;
    // Character entries match the character itself; only virtual-key entries
    // name their modifiers.
    if (entryVirtual && BYTE(a.fVirt & (FSHIFT | FCONTROL | FALT)) != modifiers) continue;
    SendMessage(hWnd, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
    return 1;
  }
  return 0;
}

COLORREF GetSysColor(int index) {
  static const struct {
    int index;
    wxSystemColour wx;
    COLORREF classic;
  } colours[] = {
      {COLOR_WINDOW, wxSYS_COLOUR_WINDOW, RGB(255, 255, 255)},
      {COLOR_WINDOWTEXT, wxSYS_COLOUR_WINDOWTEXT, RGB(0, 0, 0)},
      {COLOR_3DFACE, wxSYS_COLOUR_3DFACE, RGB(240, 240, 240)},
      {COLOR_BTNSHADOW, wxSYS_COLOUR_3DSHADOW, RGB(160, 160, 160)},
      {COLOR_GRAYTEXT, wxSYS_COLOUR_GRAYTEXT, RGB(109, 109, 109)},
      {COLOR_BTNTEXT, wxSYS_COLOUR_BTNTEXT, RGB(0, 0, 0)},
      {COLOR_BTNHIGHLIGHT, wxSYS_COLOUR_3DHIGHLIGHT, RGB(255, 255, 255)},
  };
  for (const auto& c : colours)
    if (c.index == index) return AfxWindowSystemAvailable() ? toColorRef(wxSystemSettings::GetColour(c.wx)) : c.classic;
  return 0;
}

// A monitor handle is its display index plus one.
HMONITOR MonitorFromRect(LPCRECT rect, DWORD flags) {
  if (!rect || !AfxWindowSystemAvailable()) return nullptr;
  wxRect want = wxRectOf(*rect);
  if (want.width <= 0) want.width = 1;
  if (want.height <= 0) want.height = 1;
  int best = -1, primary = 0, nearest = 0;
  long bestArea = 0;
  double nearestDistance = -1;
  for (unsigned i = 0; i < wxDisplay::GetCount(); ++i) {
    wxDisplay d(i);
    wxRect g = d.GetGeometry();
    if (d.IsPrimary()) primary = int(i);
    wxRect overlap = g.Intersect(want);
    long area = overlap.IsEmpty() ? 0 : long(overlap.width) * overlap.height;
    if (area > bestArea) {
      bestArea = area;
      best = int(i);
    }
    double dx = std::max({0, g.x - want.GetRight(), want.x - g.GetRight()});
    double dy = std::max({0, g.y - want.GetBottom(), want.y - g.GetBottom()});
    double distance = dx * dx + dy * dy;
    if (nearestDistance < 0 || distance < nearestDistance) {
      nearestDistance = distance;
      nearest = int(i);
    }
  }
  if (best < 0) {
    if (flags == MONITOR_DEFAULTTOPRIMARY) best = primary;
    else if (flags == MONITOR_DEFAULTTONEAREST) best = nearest;
    else return nullptr;
  }
  return reinterpret_cast<HMONITOR>(intptr_t(best) + 1);
}

BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info) {
  intptr_t index = reinterpret_cast<intptr_t>(monitor) - 1;
  if (!info || index < 0 || !AfxWindowSystemAvailable() || index >= intptr_t(wxDisplay::GetCount())) return FALSE;
  wxDisplay d(static_cast<unsigned>(index));
  wxRect g = d.GetGeometry(), c = d.GetClientArea();
  info->rcMonitor = CRect(g.x, g.y, g.x + g.width, g.y + g.height);
  info->rcWork = CRect(c.x, c.y, c.x + c.width, c.y + c.height);
  info->dwFlags = d.IsPrimary() ? MONITORINFOF_PRIMARY : 0;
  return TRUE;
}

DWORD CommDlgExtendedError() { return commDlgError(); }
void AfxSetCommDlgExtendedError(DWORD code) { commDlgError() = code; }
