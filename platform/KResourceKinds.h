// The resource kinds a module carries beside its string table: dialog
// templates, accelerator tables and bitmaps. They are plain constant data, so
// a resource library that links against nothing can hold them; the window
// layer reads them through the resource chain (platform/KResources.h).
//
// Identifiers are unique per kind within a module; tables need no order (they
// are short and searched from the front).
#pragma once
#include "platform/KWinTypes.h"

// One control of a dialog template. `windowClass` is the Win32 class name:
// "Button", "Edit", "Static" or "SysListView32"; the style bits are the
// class's own (BS_, ES_, SS_, LVS_) combined with the WS_ bits. The rectangle
// is in dialog units, relative to the dialog's client area.
struct KDialogItemTemplate {
  const char* windowClass;
  UINT id;  // 0xFFFF (IDC_STATIC) for a control nobody addresses
  DWORD style;
  short x, y, cx, cy;
  const char* text;  // caption or initial text; may be null
};

// A dialog layout, the data an .rc dialog statement would compile to. The
// dialog is centred on its parent (or the screen); `cx`, `cy` give its client
// size in dialog units, which follow the dialog font as on Windows.
struct KDialogTemplate {
  UINT id;
  const char* title;
  DWORD style;  // WS_POPUP | WS_CAPTION | DS_MODALFRAME ...; WS_VISIBLE shows a modeless dialog at once
  short cx, cy;
  const KDialogItemTemplate* items;
  int itemCount;
  const char* fontFace;  // null: the window system's dialog font
  WORD pointSize;        // 0: the window system's size
};

// One accelerator: `fVirt` holds FVIRTKEY (`key` is a virtual-key code, else a
// character code) and the FSHIFT, FCONTROL, FALT modifier bits; `cmd` is the
// command identifier sent with WM_COMMAND.
struct ACCEL {
  BYTE fVirt;
  WORD key;
  WORD cmd;
};
constexpr BYTE FVIRTKEY = 0x01;
constexpr BYTE FNOINVERT = 0x02;
constexpr BYTE FSHIFT = 0x04;
constexpr BYTE FCONTROL = 0x08;
constexpr BYTE FALT = 0x10;

struct KAcceleratorTable {
  UINT id;
  const ACCEL* entries;
  int count;
};

// A bitmap: `width` x `height` pixels, rows top-down, each pixel a COLORREF
// (0x00BBGGRR).
struct KBitmapResource {
  UINT id;
  int width;
  int height;
  const DWORD* pixels;
};

// Everything a module carries besides strings; any table may be null/0.
struct KModuleResources {
  const KDialogTemplate* dialogs = nullptr;
  int dialogCount = 0;
  const KAcceleratorTable* accelerators = nullptr;
  int acceleratorCount = 0;
  const KBitmapResource* bitmaps = nullptr;
  int bitmapCount = 0;
};
