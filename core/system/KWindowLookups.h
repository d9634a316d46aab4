// Window lookups by class and state, as Win32 code finds the dialog around a
// control or the button to press among several candidates.
#pragma once
#include "platform/windows/CWnd.h"

// The nearest dialog at or above `hWnd`, walking up while the window is a
// child: the first window of class "#32770" that is visible, enabled and has
// the WS_POPUP and WS_VISIBLE styles. Null when the walk reaches a top-level
// window that is not such a dialog.
HWND KFindEnclosingDialog(HWND hWnd);
// The first of the controls `ids[0..count)` of `hDlg` that exists, is of
// class "Button" and is enabled; null when none is.
HWND KFindFirstEnabledButton(HWND hDlg, const UINT* ids, int count);
