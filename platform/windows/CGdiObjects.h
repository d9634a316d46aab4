// Fonts and bitmaps in the manner of the MFC classes. Each object owns at
// most one handle (HFONT, HBITMAP) and frees it when destroyed; ::DeleteObject
// frees a handle nobody owns. They need no window system until a window shows
// them.
#pragma once
#include "platform/windows/KWindowTypes.h"

class CGdiObject {
 public:
  CGdiObject() = default;
  virtual ~CGdiObject();
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  HGDIOBJ m_hObject = nullptr;
  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  // Takes ownership of `object`; FALSE when one is held already.
  BOOL Attach(HGDIOBJ object);
  HGDIOBJ Detach();
  // Frees the handle; FALSE when none is held.
  BOOL DeleteObject();
};

// A font: face name, size, weight, italic.
class CFont : public CGdiObject {
 public:
  // nPointSize in tenths of a point; FALSE when a font is held already or the
  // size is not positive.
  BOOL CreatePointFont(int nPointSize, LPCTSTR faceName);
  // As CreateFontIndirect with lfHeight in tenths of a point.
  BOOL CreatePointFontIndirect(const LOGFONT* logFont);
  // lfHeight negative in pixels at 96 per inch (positive values are taken as
  // the same height).
  BOOL CreateFontIndirect(const LOGFONT* logFont);
  // The font's description with lfHeight in pixels (negative); 0 when no font is held.
  int GetLogFont(LOGFONT* logFont) const;
  // The size in tenths of a point, as created; 0 when no font is held.
  int GetPointSize() const;
  operator HFONT() const { return m_hObject; }
};

class CBitmap : public CGdiObject {
 public:
  // The bitmap resource `nIDBitmap` (searched through the resource chain).
  BOOL LoadBitmap(UINT nIDBitmap);
  // As LoadBitmap, replacing each colour `from` of the map by `to`. Without a
  // map, black, dark grey, light grey and white become COLOR_BTNTEXT,
  // COLOR_BTNSHADOW, COLOR_BTNFACE and COLOR_BTNHIGHLIGHT.
  BOOL LoadMappedBitmap(UINT nIDBitmap, UINT nFlags = 0, LPCOLORMAP colorMap = nullptr, int mapSize = 0);
  // Width and height (bmBits stays null); 0 when no bitmap is held.
  int GetBitmap(BITMAP* bitmap) const;
  // The colour of a pixel; CLR_INVALID outside the bitmap or when none is held.
  COLORREF GetPixel(int x, int y) const;
  operator HBITMAP() const { return m_hObject; }
};

// The bitmap `idBitmap` of `module` (null: searched through the resource
// chain) with the colour map applied (see LoadMappedBitmap); null when there
// is no such bitmap. The caller frees it with DeleteObject.
HBITMAP CreateMappedBitmap(HINSTANCE module, INT_PTR idBitmap, UINT flags, LPCOLORMAP colorMap, int mapSize);
// Frees a font or bitmap handle; FALSE for null or an unknown handle.
BOOL DeleteObject(HGDIOBJ object);
