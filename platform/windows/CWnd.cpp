#include "platform/windows/CWnd.h"

#include "platform/windows/CGdiObjects.h"
#include "platform/windows/KWindowSystem.h"
#include "platform/windows/KWxPrivate.h"

#include <wx/app.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>
#include <wx/windowid.h>

#include <cstring>
#include <map>
#include <unordered_map>
#include <vector>

namespace {
// Never destroyed: windows and their objects may outlive the static
// destructors at exit, and must still find the bookkeeping then.
std::unordered_map<HWND, KWndRecord>& records() {
  static auto* map = new std::unordered_map<HWND, KWndRecord>;
  return *map;
}

struct IdMap {
  std::map<UINT, int> toWx;
  std::map<int, UINT> fromWx;
  std::vector<wxWindowIDRef> held;  // keeps the reserved identifiers out of wx's reuse
};
IdMap& idMap() {
  static auto* map = new IdMap;
  return *map;
}

// Forgets the record of `h`; the program's object is detached and told.
void detachOne(HWND h) {
  auto it = records().find(h);
  if (it == records().end()) return;
  CWnd* obj = it->second.wnd;
  std::unique_ptr<CWnd> wrapper = std::move(it->second.wrapper);
  records().erase(it);
  forgetTimers(h);
  if (wrapper) wrapper->m_hWnd = nullptr;
  if (obj && obj != wrapper.get()) {
    obj->m_hWnd = nullptr;
    KWndAccess::setCreated(obj, false);
    KWndAccess::postNcDestroy(obj);
  }
}
}  // namespace

KWndRecord* recordOf(HWND h) {
  if (!h) return nullptr;
  auto it = records().find(h);
  return it == records().end() ? nullptr : &it->second;
}

KWndRecord& registerWindow(wxWindow* w, const char* windowClass, DWORD style, UINT id,
                           std::unique_ptr<CWnd> wrapper, CWnd* owner) {
  KWndRecord& r = records()[handleOf(w)];
  r.windowClass = windowClass;
  r.style = style;
  r.id = id;
  r.wrapper = std::move(wrapper);
  r.wnd = owner ? owner : r.wrapper.get();
  if (r.wrapper) r.wrapper->m_hWnd = handleOf(w);
  if (owner) owner->m_hWnd = handleOf(w);
  return r;
}

void windowGone(wxWindow* w) { detachOne(handleOf(w)); }

void detachTree(wxWindow* w) {
  for (wxWindow* child : w->GetChildren()) detachTree(child);
  detachOne(handleOf(w));
}

HWND knownAncestor(wxWindow* w) {
  for (; w; w = w->GetParent())
    if (recordOf(handleOf(w))) return handleOf(w);
  return nullptr;
}

int wxIdFromControlId(UINT id) {
  id &= 0xFFFF;
  if (id == IDC_STATIC) return wxID_ANY;
  if (id < 32767) return int(id);
  IdMap& m = idMap();
  auto it = m.toWx.find(id);
  if (it != m.toWx.end()) return it->second;
  wxWindowIDRef ref(wxIdManager::ReserveId(1));
  int wxId = ref.GetValue();
  m.held.push_back(ref);
  m.toWx[id] = wxId;
  m.fromWx[wxId] = id;
  return wxId;
}

UINT controlIdFromWxId(int id) {
  if (id >= 0 && id < 32767) return UINT(id);
  auto it = idMap().fromWx.find(id);
  return it == idMap().fromWx.end() ? IDC_STATIC : it->second;
}

CWnd::~CWnd() {
  if (!m_hWnd) return;
  HWND h = m_hWnd;
  KWndRecord* r = recordOf(h);
  m_hWnd = nullptr;
  if (!r || r->wnd != this) return;
  if (m_bCreated) {
    // The window dies with its object; nothing is left to tell.
    r->wnd = nullptr;
    wxWindow* w = wxOf(h);
    detachTree(w);
    w->Destroy();
  } else if (r->wrapper) {
    r->wnd = r->wrapper.get();
  } else {
    records().erase(h);
  }
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  KWndRecord* r = recordOf(hWnd);
  return r ? r->wnd : nullptr;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  KWndRecord* r = recordOf(hWnd);
  if (m_hWnd || !r) return FALSE;
  if (r->wnd && r->wnd != r->wrapper.get()) return FALSE;  // another program object holds it
  r->wnd = this;
  m_hWnd = hWnd;
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  CWnd* item = pParent ? pParent->GetDlgItem(int(nID)) : nullptr;
  return item ? SubclassWindow(item->m_hWnd) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
  HWND h = m_hWnd;
  KWndRecord* r = recordOf(h);
  if (!r || r->wnd != this || !r->wrapper) return nullptr;
  r->wnd = r->wrapper.get();
  m_hWnd = nullptr;
  return h;
}

CWnd* CWnd::GetDlgItem(int nID) const {
  if (!m_hWnd) return nullptr;
  UINT id = UINT(nID) & 0xFFFF;
  // Identifiers below 32767 are wx's own too, so wx could find them; the
  // search by record covers every identifier alike.
  std::vector<wxWindow*> pending(wxOf(m_hWnd)->GetChildren().begin(), wxOf(m_hWnd)->GetChildren().end());
  for (size_t i = 0; i < pending.size(); ++i) {
    KWndRecord* r = recordOf(handleOf(pending[i]));
    if (r && r->id == id) return r->wnd;
    for (wxWindow* c : pending[i]->GetChildren()) pending.push_back(c);
  }
  return nullptr;
}

int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }

void CWnd::SetWindowText(LPCTSTR text) {
  if (m_hWnd) SendMessage(WM_SETTEXT, 0, LPARAM(text ? text : ""));
}

namespace {
// An edit's text is its value; every other window's is its label.
wxString windowText(wxWindow* w) {
  if (auto* t = dynamic_cast<wxTextCtrl*>(w)) return t->GetValue();
  return w->GetLabel();
}
}  // namespace

void CWnd::GetWindowText(KString& text) const {
  text = m_hWnd ? KString(windowText(wxOf(m_hWnd)).utf8_str().data()) : KString();
}

int CWnd::GetWindowTextLength() const {
  KString t;
  GetWindowText(t);
  return t.GetLength();
}

void CWnd::SetDlgItemText(int nID, LPCTSTR text) {
  if (CWnd* item = GetDlgItem(nID)) item->SetWindowText(text);
}

int CWnd::GetDlgItemText(int nID, KString& text) const {
  text.Empty();
  if (CWnd* item = GetDlgItem(nID)) item->GetWindowText(text);
  return text.GetLength();
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL) {
  if (!m_hWnd) return;
  wxWindow* w = wxOf(m_hWnd);
  w->SetSize(x, y, width, height, wxSIZE_ALLOW_MINUS_ONE);
  w->SendSizeEvent();  // lay out now, not when the window system answers
}

void CWnd::MoveWindow(LPCRECT rect, BOOL repaint) {
  if (rect) MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

void CWnd::GetWindowRect(LPRECT rect) const {
  if (!rect) return;
  *rect = RECT();
  if (!m_hWnd) return;
  wxWindow* w = wxOf(m_hWnd);
  wxRect r = w->GetScreenRect();
  if (w->IsTopLevel()) r = w->GetRect();  // a top-level window's position is already on the screen
  *rect = CRect(r.x, r.y, r.x + r.width, r.y + r.height);
}

void CWnd::GetClientRect(LPRECT rect) const {
  if (!rect) return;
  *rect = RECT();
  if (!m_hWnd) return;
  wxSize s = wxOf(m_hWnd)->GetClientSize();
  *rect = CRect(0, 0, s.x, s.y);
}

namespace {
// Converts a point or a rectangle's corners between a window's client area
// and the screen.
void convert(HWND h, LPPOINT point, bool toClient) {
  if (!h || !point) return;
  wxPoint p = toClient ? wxOf(h)->ScreenToClient(wxPoint(point->x, point->y))
                       : wxOf(h)->ClientToScreen(wxPoint(point->x, point->y));
  point->x = p.x;
  point->y = p.y;
}

void convert(HWND h, LPRECT rect, bool toClient) {
  if (!rect) return;
  POINT a{rect->left, rect->top}, b{rect->right, rect->bottom};
  convert(h, &a, toClient);
  convert(h, &b, toClient);
  *rect = CRect(a.x, a.y, b.x, b.y);
}
}  // namespace

void CWnd::ScreenToClient(LPPOINT point) const { convert(m_hWnd, point, true); }
void CWnd::ScreenToClient(LPRECT rect) const { convert(m_hWnd, rect, true); }
void CWnd::ClientToScreen(LPPOINT point) const { convert(m_hWnd, point, false); }
void CWnd::ClientToScreen(LPRECT rect) const { convert(m_hWnd, rect, false); }

BOOL CWnd::EnableWindow(BOOL enable) {
  if (!m_hWnd) return FALSE;
  BOOL wasDisabled = !wxOf(m_hWnd)->IsThisEnabled();
  wxOf(m_hWnd)->Enable(enable != FALSE);
  return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }

BOOL CWnd::ShowWindow(int nCmdShow) {
  if (!m_hWnd) return FALSE;
  wxWindow* w = wxOf(m_hWnd);
  BOOL wasVisible = w->IsShown();
  auto* top = dynamic_cast<wxTopLevelWindow*>(w);
  switch (nCmdShow) {
    case SW_HIDE: w->Hide(); break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
      if (top) top->Iconize(true);
      w->Show();
      break;
    case SW_SHOWMAXIMIZED:
      if (top) top->Maximize(true);
      w->Show();
      break;
    case SW_RESTORE:
      if (top) {
        top->Iconize(false);
        top->Maximize(false);
      }
      w->Show();
      break;
    default: w->Show(); break;
  }
  return wasVisible;
}

DWORD CWnd::GetStyle() const { return DWORD(::GetWindowLong(m_hWnd, GWL_STYLE)); }

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add) {
  KWndRecord* r = recordOf(m_hWnd);
  if (!r) return FALSE;
  DWORD old = r->style;
  r->style = (old & ~remove) | add;
  applyControlStyle(*r, wxOf(m_hWnd), old);
  return TRUE;
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  wxWindow* w = wxOf(m_hWnd);
  // The window and its children leave the bookkeeping now (which may delete
  // this object, when it is the layer's wrapper); wx deletes a top-level
  // window once its pending events are done, a child at once.
  detachTree(w);
  w->Destroy();
  return TRUE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return m_hWnd ? WindowProc(message, wParam, lParam) : 0;
}

void CWnd::SetRedraw(BOOL redraw) { SendMessage(WM_SETREDRAW, WPARAM(redraw), 0); }

void CWnd::Invalidate(BOOL erase) {
  if (m_hWnd) wxOf(m_hWnd)->Refresh(erase != FALSE);
}

BOOL CWnd::GetWindowPlacement(WINDOWPLACEMENT* placement) const {
  if (!m_hWnd || !placement) return FALSE;
  wxWindow* w = wxOf(m_hWnd);
  auto* top = dynamic_cast<wxTopLevelWindow*>(w);
  *placement = WINDOWPLACEMENT();
  placement->showCmd = !w->IsShown()                ? SW_HIDE
                       : (top && top->IsIconized()) ? SW_SHOWMINIMIZED
                       : (top && top->IsMaximized()) ? SW_SHOWMAXIMIZED
                                                     : SW_SHOWNORMAL;
  GetWindowRect(&placement->rcNormalPosition);
  return TRUE;
}

BOOL CWnd::SetWindowPlacement(const WINDOWPLACEMENT* placement) {
  if (!m_hWnd || !placement) return FALSE;
  MoveWindow(&placement->rcNormalPosition);
  ShowWindow(int(placement->showCmd));
  return TRUE;
}

void CWnd::SetFont(CFont* font, BOOL) {
  SendMessage(WM_SETFONT, WPARAM(font ? font->m_hObject : nullptr), 0);
  if (KWndRecord* r = recordOf(m_hWnd); r && font && font->m_hObject) r->font = font;
}

CFont* CWnd::GetFont() const {
  KWndRecord* r = recordOf(m_hWnd);
  if (!r) return nullptr;
  if (r->font) return r->font;
  if (!r->ownFont) {
    // The window's own font, described as a point font.
    wxFont f = wxOf(m_hWnd)->GetFont();
    r->ownFont = std::make_unique<CFont>();
    r->ownFont->CreatePointFont(int(f.GetFractionalPointSize() * 10 + 0.5), f.GetFaceName().utf8_str().data());
  }
  return r->ownFont.get();
}

CWnd* CWnd::SetFocus() {
  CWnd* old = GetFocus();
  if (m_hWnd) wxOf(m_hWnd)->SetFocus();
  return old;
}

CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
  if (!pMsg) return FALSE;
  for (HWND h = pMsg->hwnd; h;) {
    wxWindow* w = wxOf(h);
    HWND parent = w->IsTopLevel() || h == hWndStop ? nullptr : knownAncestor(w->GetParent());
    if (CWnd* obj = FromHandle(h))
      if (obj->PreTranslateMessage(pMsg)) return TRUE;
    h = parent;
  }
  return FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (OnWndMsg(message, wParam, lParam, &result)) return result;
  return DefWindowProc(message, wParam, lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_COMMAND) {
    *pResult = 0;
    return OnCommand(wParam, lParam);
  }
  if (message == WM_NOTIFY) {
    *pResult = 0;
    return OnNotify(wParam, lParam, pResult);
  }
  return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  KWndRecord* r = recordOf(m_hWnd);
  if (!r) return 0;
  wxWindow* w = wxOf(m_hWnd);
  LRESULT result = 0;
  if (controlMessage(*r, w, message, wParam, lParam, &result)) return result;
  switch (message) {
    case WM_SETTEXT: {
      wxString text = wxString::FromUTF8(lParam ? reinterpret_cast<const char*>(lParam) : "");
      if (auto* t = dynamic_cast<wxTextCtrl*>(w))
        t->SetValue(text);  // announces EN_CHANGE, as on Windows
      else
        w->SetLabel(text);
      return TRUE;
    }
    case WM_GETTEXTLENGTH: return LRESULT(strlen(windowText(w).utf8_str().data()));
    case WM_GETTEXT: {
      if (!lParam || wParam == 0) return 0;
      std::string t = windowText(w).utf8_str().data();
      size_t n = std::min(t.size(), size_t(wParam) - 1);
      memcpy(reinterpret_cast<char*>(lParam), t.data(), n);
      reinterpret_cast<char*>(lParam)[n] = '\0';
      return LRESULT(n);
    }
    case WM_SETREDRAW:
      if (!wParam && !r->redrawOff) {
        w->Freeze();
        r->redrawOff = 1;
      } else if (wParam && r->redrawOff) {
        r->redrawOff = 0;
        w->Thaw();
      }
      return 0;
    case WM_SETFONT: {
      const KFontObject* f = fontObjectOf(HGDIOBJ(wParam));
      r->font = nullptr;
      r->ownFont.reset();
      if (f) w->SetFont(toWxFont(*f));
      return 0;
    }
    case WM_GETFONT: {
      CFont* f = GetFont();
      return f ? LRESULT(f->m_hObject) : 0;
    }
    case WM_CLOSE: DestroyWindow(); return 0;
  }
  return 0;
}

BOOL CWnd::OnCommand(WPARAM, LPARAM) { return FALSE; }
BOOL CWnd::OnNotify(WPARAM, LPARAM, LRESULT*) { return FALSE; }
void CWnd::PostNcDestroy() {}

int GetClassName(HWND hWnd, LPSTR className, int maxCount) {
  KWndRecord* r = recordOf(hWnd);
  if (!r || !className || maxCount <= 0) return 0;
  int n = std::min(int(r->windowClass.size()), maxCount - 1);
  memcpy(className, r->windowClass.data(), size_t(n));
  className[n] = '\0';
  return n;
}

HWND GetParent(HWND hWnd) {
  if (!recordOf(hWnd)) return nullptr;
  wxWindow* w = wxOf(hWnd);
  return w->IsTopLevel() ? nullptr : knownAncestor(w->GetParent());
}

LONG GetWindowLong(HWND hWnd, int index) {
  KWndRecord* r = recordOf(hWnd);
  if (!r) return 0;
  if (index == GWL_ID) return LONG(r->id);
  if (index != GWL_STYLE) return 0;
  wxWindow* w = wxOf(hWnd);
  DWORD style = r->style & ~(WS_VISIBLE | WS_DISABLED);
  if (w->IsShown()) style |= WS_VISIBLE;
  if (!w->IsThisEnabled()) style |= WS_DISABLED;
  return LONG(style);
}

BOOL IsWindow(HWND hWnd) { return recordOf(hWnd) != nullptr; }

BOOL IsWindowVisible(HWND hWnd) {
  // As on Windows: visible when it and all its parents are shown.
  if (!recordOf(hWnd)) return FALSE;
  for (wxWindow* w = wxOf(hWnd); w; w = w->IsTopLevel() ? nullptr : w->GetParent())
    if (!w->IsShown()) return FALSE;
  return TRUE;
}

BOOL IsWindowEnabled(HWND hWnd) { return recordOf(hWnd) && wxOf(hWnd)->IsThisEnabled(); }

HWND GetDlgItem(HWND hDlg, int nID) {
  CWnd* w = CWnd::FromHandle(hDlg);
  CWnd* item = w ? w->GetDlgItem(nID) : nullptr;
  return item ? item->m_hWnd : nullptr;
}

int GetDlgCtrlID(HWND hWnd) {
  KWndRecord* r = recordOf(hWnd);
  return r ? int(r->id) : 0;
}

LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* w = CWnd::FromHandle(hWnd);
  return w ? KWndAccess::windowProc(w, message, wParam, lParam) : 0;
}

HWND GetFocus() {
  if (!wxTheApp) return nullptr;
  return knownAncestor(wxWindow::FindFocus());
}

HWND GetActiveWindow() {
  if (!wxTheApp) return nullptr;
  for (wxWindow* w : wxTopLevelWindows)
    if (auto* top = dynamic_cast<wxTopLevelWindow*>(w); top && top->IsActive() && recordOf(handleOf(w)))
      return handleOf(w);
  return knownAncestor(wxWindow::FindFocus());
}
