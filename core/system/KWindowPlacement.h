// Window placement and fonts kept in the registry, under a section of the
// application's per-user key (KRegistryUtils).
//
// Main windows store "Minimized" and "Maximized" (0 or 1) and the restored
// rectangle as "PosLeft", "PosTop", "PosRight", "PosBottom"; floating windows
// store only the rectangle, as "TopLeftX", "TopLeftY", "BottomRightX",
// "BottomRightY". Coordinates are screen pixels; -1 means "not stored", so a
// rectangle is used only when all four coordinates are other than -1, right
// lies beyond left and bottom beyond top (a reversed edge is pulled to one
// pixel beyond its partner) and some monitor shows part of it. A window whose
// stored rectangle is off every monitor keeps its place.
//
// Fonts store "Font Face" (text) and "Font Size (1/10s of a point)".
#pragma once
#include "platform/windows/CGdiObjects.h"
#include "platform/windows/CWnd.h"

// Stores the placement of `wnd`. True when it failed (no window, or a write failed).
bool KSaveWindowPlacement(const CWnd& wnd, const char* section);
// Reads the stored placement: showCmd SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED or
// SW_SHOWNORMAL, rcNormalPosition the rectangle. True when no complete
// rectangle is stored (`placement` is then unchanged).
bool KReadWindowPlacement(const char* section, WINDOWPLACEMENT& placement);
// Moves `wnd` to the stored rectangle and shows it minimised or maximised as
// recorded. True when nothing was applied (no window, nothing complete
// stored, or the rectangle is on no monitor).
bool KRestoreWindowPlacement(CWnd& wnd, const char* section);

// The floating form: the window's rectangle only.
bool KSaveFloatingPlacement(const CWnd& wnd, const char* section);
bool KReadFloatingPlacement(const char* section, RECT& rect);
bool KRestoreFloatingPlacement(CWnd& wnd, const char* section);

// Stores the face and size of `font`. True when it failed (no font, or a write failed).
bool KSaveFont(const CFont& font, const char* section);
// Creates `font` from the stored face and size. True when nothing usable is
// stored (either entry missing, a size outside 1 to 1000 points) or `font`
// already holds a font.
bool KRestoreFont(CFont& font, const char* section);
