#include "platform/windows/CGdiObjects.h"

#include "platform/KResources.h"
#include "platform/windows/KWindowSystem.h"
#include "platform/windows/KWxPrivate.h"

#include <wx/image.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

struct KFontObject {
  std::string face;
  int pointSize10 = 0;
  LONG weight = FW_NORMAL;
  bool italic = false;
  bool underline = false;
};

struct KBitmapObject {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;
};

namespace {
// Every live handle with what it is; a handle not in the table is not one.
struct GdiTable {
  std::unordered_map<HGDIOBJ, std::unique_ptr<KFontObject>> fonts;
  std::unordered_map<HGDIOBJ, std::unique_ptr<KBitmapObject>> bitmaps;
};
// Never destroyed: font and bitmap objects with static storage free their
// handles at exit, after the static destructors have begun.
GdiTable& gdi() {
  static auto* table = new GdiTable;
  return *table;
}

HGDIOBJ newFont(KFontObject font) {
  auto object = std::make_unique<KFontObject>(std::move(font));
  HGDIOBJ h = object.get();
  gdi().fonts[h] = std::move(object);
  return h;
}

HGDIOBJ newBitmap(KBitmapObject bitmap) {
  auto object = std::make_unique<KBitmapObject>(std::move(bitmap));
  HGDIOBJ h = object.get();
  gdi().bitmaps[h] = std::move(object);
  return h;
}

// Screen pixels at 96 per inch against tenths of a point (720 per inch).
LONG pixelsOfPoints10(int points10) { return LONG(std::lround(points10 * 96.0 / 720.0)); }
int points10OfPixels(LONG pixels) { return int(std::lround(std::labs(pixels) * 720.0 / 96.0)); }

KFontObject fontOf(const LOGFONT& lf, int points10) {
  KFontObject f;
  f.face.assign(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  f.pointSize10 = points10;
  f.weight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
  f.italic = lf.lfItalic != 0;
  f.underline = lf.lfUnderline != 0;
  return f;
}
}  // namespace

const KFontObject* fontObjectOf(HGDIOBJ h) {
  auto it = gdi().fonts.find(h);
  return it == gdi().fonts.end() ? nullptr : it->second.get();
}

const KBitmapObject* bitmapObjectOf(HGDIOBJ h) {
  auto it = gdi().bitmaps.find(h);
  return it == gdi().bitmaps.end() ? nullptr : it->second.get();
}

wxFont toWxFont(const KFontObject& f) {
  wxFontInfo info(f.pointSize10 / 10.0);
  if (!f.face.empty()) info.FaceName(wxString::FromUTF8(f.face.c_str()));
  info.Weight(int(f.weight)).Italic(f.italic).Underlined(f.underline);
  return wxFont(info);
}

wxBitmap toWxBitmap(const KBitmapObject& b) {
  wxImage image(b.width, b.height, false);
  unsigned char* rgb = image.GetData();
  for (size_t i = 0; i < b.pixels.size(); ++i) {
    rgb[3 * i] = GetRValue(b.pixels[i]);
    rgb[3 * i + 1] = GetGValue(b.pixels[i]);
    rgb[3 * i + 2] = GetBValue(b.pixels[i]);
  }
  return wxBitmap(image);
}

COLORREF toColorRef(const wxColour& c) { return RGB(c.Red(), c.Green(), c.Blue()); }

CGdiObject::~CGdiObject() { DeleteObject(); }

BOOL CGdiObject::Attach(HGDIOBJ object) {
  if (m_hObject || !object) return FALSE;
  m_hObject = object;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ h = m_hObject;
  m_hObject = nullptr;
  return h;
}

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  ::DeleteObject(m_hObject);
  m_hObject = nullptr;
  return TRUE;
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR faceName) {
  if (m_hObject || nPointSize <= 0) return FALSE;
  LOGFONT lf;
  if (faceName) strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
  m_hObject = newFont(fontOf(lf, nPointSize));
  return TRUE;
}

BOOL CFont::CreatePointFontIndirect(const LOGFONT* logFont) {
  if (m_hObject || !logFont || logFont->lfHeight == 0) return FALSE;
  m_hObject = newFont(fontOf(*logFont, int(std::labs(logFont->lfHeight))));
  return TRUE;
}

BOOL CFont::CreateFontIndirect(const LOGFONT* logFont) {
  if (m_hObject || !logFont || logFont->lfHeight == 0) return FALSE;
  m_hObject = newFont(fontOf(*logFont, points10OfPixels(logFont->lfHeight)));
  return TRUE;
}

int CFont::GetLogFont(LOGFONT* logFont) const {
  const KFontObject* f = fontObjectOf(m_hObject);
  if (!f || !logFont) return 0;
  *logFont = LOGFONT();
  logFont->lfHeight = -pixelsOfPoints10(f->pointSize10);
  logFont->lfWeight = f->weight;
  logFont->lfItalic = f->italic;
  logFont->lfUnderline = f->underline;
  strncpy(logFont->lfFaceName, f->face.c_str(), LF_FACESIZE - 1);
  return int(sizeof(LOGFONT));
}

int CFont::GetPointSize() const {
  const KFontObject* f = fontObjectOf(m_hObject);
  return f ? f->pointSize10 : 0;
}

BOOL CBitmap::LoadBitmap(UINT nIDBitmap) {
  if (m_hObject) return FALSE;
  COLORMAP none{0, 0};
  m_hObject = CreateMappedBitmap(nullptr, INT_PTR(nIDBitmap), 0, &none, 0);
  return m_hObject != nullptr;
}

BOOL CBitmap::LoadMappedBitmap(UINT nIDBitmap, UINT nFlags, LPCOLORMAP colorMap, int mapSize) {
  if (m_hObject) return FALSE;
  m_hObject = CreateMappedBitmap(nullptr, INT_PTR(nIDBitmap), nFlags, colorMap, mapSize);
  return m_hObject != nullptr;
}

int CBitmap::GetBitmap(BITMAP* bitmap) const {
  const KBitmapObject* b = bitmapObjectOf(m_hObject);
  if (!b || !bitmap) return 0;
  *bitmap = BITMAP();
  bitmap->bmWidth = b->width;
  bitmap->bmHeight = b->height;
  bitmap->bmWidthBytes = b->width * 4;
  return int(sizeof(BITMAP));
}

COLORREF CBitmap::GetPixel(int x, int y) const {
  const KBitmapObject* b = bitmapObjectOf(m_hObject);
  if (!b || x < 0 || y < 0 || x >= b->width || y >= b->height) return CLR_INVALID;
  return b->pixels[size_t(y) * size_t(b->width) + size_t(x)];
}

HBITMAP CreateMappedBitmap(HINSTANCE module, INT_PTR idBitmap, UINT, LPCOLORMAP colorMap, int mapSize) {
  const KBitmapResource* res = AfxFindBitmapResource(module, UINT(idBitmap));
  if (!res || res->width <= 0 || res->height <= 0 || !res->pixels) return nullptr;
  COLORMAP standard[] = {{RGB(0, 0, 0), GetSysColor(COLOR_BTNTEXT)},
                         {RGB(128, 128, 128), GetSysColor(COLOR_BTNSHADOW)},
                         {RGB(192, 192, 192), GetSysColor(COLOR_BTNFACE)},
                         {RGB(255, 255, 255), GetSysColor(COLOR_BTNHIGHLIGHT)}};
  if (!colorMap) {
    colorMap = standard;
    mapSize = 4;
  }
  KBitmapObject b;
  b.width = res->width;
  b.height = res->height;
  b.pixels.assign(res->pixels, res->pixels + size_t(res->width) * size_t(res->height));
  for (COLORREF& p : b.pixels) {
    for (int i = 0; i < mapSize; ++i)
      if ((p & 0xFFFFFF) == (colorMap[i].from & 0xFFFFFF)) {
        p = colorMap[i].to & 0xFFFFFF;
        break;
      }
  }
  return newBitmap(std::move(b));
}

BOOL DeleteObject(HGDIOBJ object) {
  if (!object) return FALSE;
  return (gdi().fonts.erase(object) + gdi().bitmaps.erase(object)) ? TRUE : FALSE;
}
