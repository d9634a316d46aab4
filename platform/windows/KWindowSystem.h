// The window system as a whole: whether there is one, the callback queue of
// its user-interface thread, the handling of its internal failures, and the
// system-wide services code written against Win32 asks for (accelerators,
// system colours, monitors, the common-dialog error code).
//
// The window system starts on first use. Without a display (no DISPLAY, or one
// that cannot be opened) it never starts: AfxWindowSystemAvailable answers
// false, dialogs cannot be made, and message boxes go to the presenter of
// platform/KMessageBox.h. With one, AfxMessageBox shows a real message box
// unless the program has installed a presenter.
//
// An internal failure of the window system (a failed assertion in it) never
// opens a window: it goes to the failure handler, by default standard error.
#pragma once
#include "platform/windows/KWindowTypes.h"

#include <functional>

// Starts the window system when needed; true when it runs.
bool AfxWindowSystemAvailable();
// Queues `callback` to run on the user-interface thread once pending events
// are handled (e.g. after a modal dialog has been shown). True when it could
// not be queued (no window system).
bool AfxCallAfter(std::function<void()> callback);
// Handles pending events and queued callbacks until none is left.
void AfxPumpMessages();

// Receives the description of each internal failure of the window system.
using KWindowSystemFailureHandler = std::function<void(const char* description)>;
// Installs `handler` (empty: standard error) and answers the previous one.
KWindowSystemFailureHandler AfxSetWindowSystemFailureHandler(KWindowSystemFailureHandler handler);

// The accelerator table `id` of `module` (null: searched through the resource
// chain); null when there is none. Tables are resource data: nothing to free.
HACCEL LoadAccelerators(HINSTANCE module, UINT id);
BOOL DestroyAcceleratorTable(HACCEL accel);
// For WM_KEYDOWN/WM_SYSKEYDOWN (virtual keys) and WM_CHAR/WM_SYSCHAR
// (characters): when an entry matches the key and exactly the modifiers in
// msg->lPrivate, sends WM_COMMAND (command, 1) to `hWnd` and answers 1;
// otherwise 0.
int TranslateAccelerator(HWND hWnd, HACCEL accel, MSG* msg);

// The system colour `index` (COLOR_3DFACE ...) as the window system draws it;
// Windows' classic colours when there is no window system.
COLORREF GetSysColor(int index);

// The monitor that `rect` overlaps most; for no overlap, null
// (MONITOR_DEFAULTTONULL), the primary monitor or the nearest one. Null
// without a window system.
HMONITOR MonitorFromRect(LPCRECT rect, DWORD flags);
BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info);

// The error code of the last failed common dialog (0: none); the dialogs set it.
DWORD CommDlgExtendedError();
void AfxSetCommDlgExtendedError(DWORD code);
