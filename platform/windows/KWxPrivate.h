// Private to the window layer (included by platform/windows/*.cpp only): the
// bookkeeping that ties the layer's handles and objects to wxWidgets.
//
// A handle (HWND) is the address of the wxWindow. Every window the layer makes
// has a record: its Win32 class name, its creation style bits, its Win32
// control identifier and the CWnd attached to it, which is either the
// program's object or a wrapper the record owns. A record lives until the
// window is destroyed (the layer's wx classes report their destruction) or
// the layer detaches it first (DestroyWindow).
#pragma once
#include "platform/windows/CDialog.h"
#include "platform/windows/CGdiObjects.h"

#include <wx/bitmap.h>
#include <wx/font.h>
#include <wx/window.h>

#include <memory>
#include <string>

struct KWndRecord {
  CWnd* wnd = nullptr;               // attached object, never null while the record exists
  std::unique_ptr<CWnd> wrapper;     // the layer's object, when the window has one
  std::string windowClass;           // "#32770", "Button", "Edit", "Static", "SysListView32"
  DWORD style = 0;                   // creation style; WS_VISIBLE and WS_DISABLED are read live
  UINT id = 0;                       // Win32 control identifier
  int redrawOff = 0;                 // 1 while WM_SETREDRAW FALSE holds the window frozen
  HBITMAP image = nullptr;           // STM_SETIMAGE's last handle
  CFont* font = nullptr;             // SetFont's font
  std::unique_ptr<CFont> ownFont;    // GetFont's answer when none was set
};

inline wxWindow* wxOf(HWND h) { return static_cast<wxWindow*>(h); }
inline HWND handleOf(wxWindow* w) { return static_cast<HWND>(w); }

// The record of a handle; null for windows the layer does not know.
KWndRecord* recordOf(HWND h);
// Registers a window the layer made; `wrapper` becomes its object unless
// `owner` (the program's object) is given.
KWndRecord& registerWindow(wxWindow* w, const char* windowClass, DWORD style, UINT id,
                           std::unique_ptr<CWnd> wrapper, CWnd* owner);
// Called by the destructors of the layer's wx classes.
void windowGone(wxWindow* w);
// Ends the timers of a window whose record goes (KTimers.cpp).
void forgetTimers(HWND h);
// Detaches the records of `w` and its descendants (children first), calling
// PostNcDestroy of the program's objects; `w` itself is not destroyed.
void detachTree(wxWindow* w);
// The nearest window at or above `w` that has a record; null when none.
HWND knownAncestor(wxWindow* w);

// Control identifiers: Win32's 0..0xFFFF against wx's, which must stay within
// wx's range. 0..32766 map to themselves, IDC_STATIC to wxID_ANY, higher ones
// to identifiers reserved from wx for the life of the process.
int wxIdFromControlId(UINT id);
UINT controlIdFromWxId(int id);

// Makes and registers the control for a Win32 class name, attached to
// `owner` or, without one, to a new wrapper of the class's kind; null for an
// unknown class. `text` may be null. `rect` is in pixels.
wxWindow* createControl(const char* windowClass, const char* text, DWORD style, const wxRect& rect,
                        wxWindow* parent, UINT id, CWnd* owner);
// The kind-specific part of DefWindowProc (control messages). Answers true
// and sets *result when the message belongs to the window's class.
bool controlMessage(KWndRecord& record, wxWindow* w, UINT message, WPARAM wParam, LPARAM lParam,
                    LRESULT* result);
// Changes kind-specific style bits of a control.
void applyControlStyle(KWndRecord& record, wxWindow* w, DWORD oldStyle);

// The object behind a font or bitmap handle; null when it is not one.
struct KFontObject;
struct KBitmapObject;
const KFontObject* fontObjectOf(HGDIOBJ h);
const KBitmapObject* bitmapObjectOf(HGDIOBJ h);
wxFont toWxFont(const KFontObject& font);
wxBitmap toWxBitmap(const KBitmapObject& bitmap);
COLORREF toColorRef(const wxColour& c);

// Access to the protected members of the layer's classes.
struct KWndAccess {
  static LRESULT windowProc(CWnd* w, UINT m, WPARAM wp, LPARAM lp) { return w->WindowProc(m, wp, lp); }
  static void postNcDestroy(CWnd* w) { w->PostNcDestroy(); }
  static void setCreated(CWnd* w, bool created) { w->m_bCreated = created; }
  static bool created(CWnd* w) { return w->m_bCreated; }
};

// The layer's wx classes report their destruction to the bookkeeping.
template <class Base>
class KWx : public Base {
 public:
  using Base::Base;
  ~KWx() override { windowGone(this); }
};
