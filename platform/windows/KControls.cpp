// The controls: making them from Win32 class names and styles, their control
// messages, and the notifications they send their parent (WM_COMMAND with
// BN_CLICKED and EN_CHANGE, WM_NOTIFY for list views).
#include "platform/windows/CListCtrl.h"
#include "platform/windows/CStdControls.h"
#include "platform/windows/KWindowSystem.h"
#include "platform/windows/KWxPrivate.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <cstring>

namespace {
// Hands a notification to the nearest known ancestor's object.
LRESULT notifyParent(wxWindow* control, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND parent = knownAncestor(control->GetParent());
  CWnd* obj = CWnd::FromHandle(parent);
  return obj ? KWndAccess::windowProc(obj, message, wParam, lParam) : 0;
}

void sendCommand(wxWindow* control, UINT code) {
  KWndRecord* r = recordOf(handleOf(control));
  if (r) notifyParent(control, WM_COMMAND, MAKEWPARAM(WORD(r->id), WORD(code)), LPARAM(handleOf(control)));
}

void sendListNotify(wxWindow* list, UINT code, int item, int subItem, UINT newState, UINT oldState) {
  KWndRecord* r = recordOf(handleOf(list));
  if (!r) return;
  NMLISTVIEW nm;
  nm.hdr.hwndFrom = handleOf(list);
  nm.hdr.idFrom = r->id;
  nm.hdr.code = code;
  nm.iItem = item;
  nm.iSubItem = subItem;
  nm.uNewState = newState;
  nm.uOldState = oldState;
  nm.uChanged = newState != oldState ? 0x8 /* LVIF_STATE */ : 0;
  notifyParent(list, WM_NOTIFY, WPARAM(r->id), LPARAM(&nm));
}

long listViewStyle(DWORD style) {
  static const long views[] = {wxLC_ICON, wxLC_REPORT, wxLC_SMALL_ICON, wxLC_LIST};
  long s = views[style & LVS_TYPEMASK];
  if (style & LVS_SINGLESEL) s |= wxLC_SINGLE_SEL;
  if (style & LVS_NOCOLUMNHEADER) s |= wxLC_NO_HEADER;
  return s;
}

long listStateOf(UINT lvis) {
  return ((lvis & LVIS_SELECTED) ? wxLIST_STATE_SELECTED : 0) | ((lvis & LVIS_FOCUSED) ? wxLIST_STATE_FOCUSED : 0);
}
UINT lvisOf(long state) {
  return ((state & wxLIST_STATE_SELECTED) ? LVIS_SELECTED : 0) | ((state & wxLIST_STATE_FOCUSED) ? LVIS_FOCUSED : 0);
}

wxWindow* makeButton(const wxString& text, DWORD style, const wxRect& rect, wxWindow* parent, int id) {
  switch (style & BS_TYPEMASK) {
    case BS_GROUPBOX: return new KWx<wxStaticBox>(parent, id, text, rect.GetPosition(), rect.GetSize());
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case 0x5:  // BS_3STATE
    case 0x6:  // BS_AUTO3STATE
    {
      auto* b = new KWx<wxCheckBox>(parent, id, text, rect.GetPosition(), rect.GetSize());
      b->Bind(wxEVT_CHECKBOX, [b](wxCommandEvent&) { sendCommand(b, BN_CLICKED); });
      return b;
    }
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: {
      auto* b = new KWx<wxRadioButton>(parent, id, text, rect.GetPosition(), rect.GetSize(),
                                       (style & WS_GROUP) ? wxRB_GROUP : 0);
      b->Bind(wxEVT_RADIOBUTTON, [b](wxCommandEvent&) { sendCommand(b, BN_CLICKED); });
      return b;
    }
    default: {
      auto* b = new KWx<wxButton>(parent, id, text, rect.GetPosition(), rect.GetSize());
      if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) b->SetDefault();
      b->Bind(wxEVT_BUTTON, [b](wxCommandEvent&) { sendCommand(b, BN_CLICKED); });
      return b;
    }
  }
}

wxWindow* makeEdit(const wxString& text, DWORD style, const wxRect& rect, wxWindow* parent, int id) {
  long s = 0;
  if (style & ES_MULTILINE) s |= wxTE_MULTILINE;
  if (style & ES_PASSWORD) s |= wxTE_PASSWORD;
  if (style & ES_READONLY) s |= wxTE_READONLY;
  if ((style & 0x3) == ES_RIGHT) s |= wxTE_RIGHT;
  if ((style & 0x3) == ES_CENTER) s |= wxTE_CENTRE;
  auto* t = new KWx<wxTextCtrl>(parent, id, text, rect.GetPosition(), rect.GetSize(), s);
  t->Bind(wxEVT_TEXT, [t](wxCommandEvent&) { sendCommand(t, EN_CHANGE); });
  return t;
}

wxWindow* makeStatic(const wxString& text, DWORD style, const wxRect& rect, wxWindow* parent, int id) {
  if ((style & SS_TYPEMASK) == SS_BITMAP)
    return new KWx<wxStaticBitmap>(parent, id, wxNullBitmap, rect.GetPosition(), rect.GetSize());
  long s = wxST_NO_AUTORESIZE;
  if ((style & SS_TYPEMASK) == SS_CENTER) s |= wxALIGN_CENTRE_HORIZONTAL;
  if ((style & SS_TYPEMASK) == SS_RIGHT) s |= wxALIGN_RIGHT;
  return new KWx<wxStaticText>(parent, id, text, rect.GetPosition(), rect.GetSize(), s);
}

wxWindow* makeList(DWORD style, const wxRect& rect, wxWindow* parent, int id) {
  auto* l = new KWx<wxListCtrl>(parent, id, rect.GetPosition(), rect.GetSize(), listViewStyle(style) | wxBORDER_SUNKEN);
  l->Bind(wxEVT_LIST_ITEM_SELECTED, [l](wxListEvent& e) {
    sendListNotify(l, LVN_ITEMCHANGED, int(e.GetIndex()), 0, LVIS_SELECTED, 0);
    e.Skip();
  });
  l->Bind(wxEVT_LIST_ITEM_DESELECTED, [l](wxListEvent& e) {
    sendListNotify(l, LVN_ITEMCHANGED, int(e.GetIndex()), 0, 0, LVIS_SELECTED);
    e.Skip();
  });
  l->Bind(wxEVT_LIST_ITEM_ACTIVATED, [l](wxListEvent& e) {
    sendListNotify(l, NM_DBLCLK, int(e.GetIndex()), 0, 0, 0);
    e.Skip();
  });
  l->Bind(wxEVT_LIST_COL_CLICK, [l](wxListEvent& e) {
    sendListNotify(l, LVN_COLUMNCLICK, -1, e.GetColumn(), 0, 0);
    e.Skip();
  });
  return l;
}

std::unique_ptr<CWnd> wrapperFor(const std::string& windowClass) {
  if (windowClass == "Button") return std::make_unique<CButton>();
  if (windowClass == "Edit") return std::make_unique<CEdit>();
  if (windowClass == "Static") return std::make_unique<CStatic>();
  if (windowClass == "SysListView32") return std::make_unique<CListCtrl>();
  return nullptr;
}

bool editMessage(KWndRecord& r, wxTextCtrl* t, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  *result = TRUE;
  switch (message) {
    case EM_SETREADONLY:
      t->SetEditable(wParam == 0);
      r.style = wParam ? (r.style | ES_READONLY) : (r.style & ~DWORD(ES_READONLY));
      return true;
    case EM_SETSEL: t->SetSelection(long(INT_PTR(wParam)), long(lParam)); return true;
    case EM_REPLACESEL: {
      long from = 0, to = 0;
      t->GetSelection(&from, &to);
      t->Replace(from, to, wxString::FromUTF8(lParam ? reinterpret_cast<const char*>(lParam) : ""));
      return true;
    }
    case WM_COPY: t->Copy(); return true;
    case WM_CUT: t->Cut(); return true;
    case WM_PASTE: t->Paste(); return true;
    case WM_UNDO: t->Undo(); return true;
    case WM_CLEAR: t->RemoveSelection(); return true;
    default: return false;
  }
}

bool buttonMessage(wxWindow* w, UINT message, WPARAM wParam, LRESULT* result) {
  auto* check = dynamic_cast<wxCheckBox*>(w);
  auto* radio = dynamic_cast<wxRadioButton*>(w);
  switch (message) {
    case BM_GETCHECK:
      *result = (check && check->GetValue()) || (radio && radio->GetValue()) ? BST_CHECKED : BST_UNCHECKED;
      return true;
    case BM_SETCHECK:
      if (check) check->SetValue(wParam == BST_CHECKED);
      if (radio) radio->SetValue(wParam == BST_CHECKED);
      *result = 0;
      return true;
    case BM_CLICK:
      if (check) check->SetValue(!check->GetValue());
      if (radio) radio->SetValue(true);
      sendCommand(w, BN_CLICKED);
      *result = 0;
      return true;
    default: return false;
  }
}

bool listMessage(KWndRecord& r, wxListCtrl* l, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const long item = long(INT_PTR(wParam));
  switch (message) {
    case LVM_GETITEMCOUNT: *result = l->GetItemCount(); return true;
    case LVM_DELETEITEM: *result = l->DeleteItem(item); return true;
    case LVM_DELETEALLITEMS: *result = l->DeleteAllItems(); return true;
    case LVM_GETNEXTITEM: {
      UINT lvis = ((lParam & LVNI_SELECTED) ? LVIS_SELECTED : 0) | ((lParam & LVNI_FOCUSED) ? LVIS_FOCUSED : 0);
      *result = l->GetNextItem(item, wxLIST_NEXT_ALL, listStateOf(lvis));
      return true;
    }
    case LVM_GETITEMRECT: {
      auto* rect = reinterpret_cast<RECT*>(lParam);
      *result = FALSE;
      if (!rect || item < 0 || item >= l->GetItemCount()) return true;
      int code = rect->left == LVIR_ICON ? wxLIST_RECT_ICON : rect->left == LVIR_LABEL ? wxLIST_RECT_LABEL : wxLIST_RECT_BOUNDS;
      wxRect wr;
      if (!l->GetItemRect(item, wr, code)) return true;
      *rect = CRect(wr.x, wr.y, wr.x + wr.width, wr.y + wr.height);
      *result = TRUE;
      return true;
    }
    case LVM_ENSUREVISIBLE: *result = l->EnsureVisible(item); return true;
    case LVM_GETCOLUMNWIDTH:
      *result = (item >= 0 && item < l->GetColumnCount()) ? l->GetColumnWidth(int(item)) : 0;
      return true;
    case LVM_SETCOLUMNWIDTH: {
      int cx = short(LOWORD(UINT_PTR(lParam)));
      *result = FALSE;
      if (item < 0 || item >= l->GetColumnCount()) return true;
      *result = l->SetColumnWidth(int(item), cx == LVSCW_AUTOSIZE ? wxLIST_AUTOSIZE
                                             : cx == LVSCW_AUTOSIZE_USEHEADER ? wxLIST_AUTOSIZE_USEHEADER
                                                                               : std::max(cx, 0));
      return true;
    }
    case LVM_GETTOPINDEX: *result = l->GetItemCount() ? l->GetTopItem() : 0; return true;
    case LVM_GETCOUNTPERPAGE: *result = l->GetCountPerPage(); return true;
    default: (void)r; return false;
  }
}
}  // namespace

wxWindow* createControl(const char* windowClass, const char* text, DWORD style, const wxRect& rect,
                        wxWindow* parent, UINT id, CWnd* owner) {
  std::string cls = windowClass ? windowClass : "";
  std::unique_ptr<CWnd> wrapper = owner ? nullptr : wrapperFor(cls);
  if (!owner && !wrapper) return nullptr;
  const wxString label = wxString::FromUTF8(text ? text : "");
  const int wxId = wxIdFromControlId(id);
  wxWindow* w = nullptr;
  if (cls == "Button") w = makeButton(label, style, rect, parent, wxId);
  else if (cls == "Edit") w = makeEdit(label, style, rect, parent, wxId);
  else if (cls == "Static") w = makeStatic(label, style, rect, parent, wxId);
  else if (cls == "SysListView32") w = makeList(style, rect, parent, wxId);
  if (!w) return nullptr;
  registerWindow(w, cls.c_str(), style | WS_CHILD, id & 0xFFFF, std::move(wrapper), owner);
  if (!(style & WS_VISIBLE)) w->Hide();
  if (style & WS_DISABLED) w->Disable();
  // The window system reports the size later; the layout (a list view's rows
  // per page) must follow it now.
  w->SendSizeEvent();
  return w;
}

bool controlMessage(KWndRecord& r, wxWindow* w, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (auto* t = dynamic_cast<wxTextCtrl*>(w)) return editMessage(r, t, message, wParam, lParam, result);
  if (auto* l = dynamic_cast<wxListCtrl*>(w)) return listMessage(r, l, message, wParam, lParam, result);
  if (r.windowClass == "Button") return buttonMessage(w, message, wParam, result);
  if (auto* b = dynamic_cast<wxStaticBitmap*>(w)) {
    if (message == STM_GETIMAGE) {
      *result = LRESULT(r.image);
      return true;
    }
    if (message != STM_SETIMAGE || wParam != IMAGE_BITMAP) return false;
    const KBitmapObject* bitmap = bitmapObjectOf(HGDIOBJ(lParam));
    b->SetBitmap(bitmap ? toWxBitmap(*bitmap) : wxNullBitmap);
    *result = LRESULT(r.image);
    r.image = bitmap ? HBITMAP(lParam) : nullptr;
    return true;
  }
  return false;
}

void applyControlStyle(KWndRecord& r, wxWindow* w, DWORD oldStyle) {
  if (auto* l = dynamic_cast<wxListCtrl*>(w)) {
    if ((r.style ^ oldStyle) & LVS_TYPEMASK) l->SetSingleStyle(listViewStyle(r.style & LVS_TYPEMASK));
  } else if (auto* t = dynamic_cast<wxTextCtrl*>(w)) {
    t->SetEditable(!(r.style & ES_READONLY));
  }
}

BOOL CWnd::CreateControl(LPCTSTR windowClass, LPCTSTR text, DWORD style, const RECT& rect, CWnd* pParent,
                         UINT nID) {
  if (m_hWnd || !pParent || !pParent->m_hWnd || !AfxWindowSystemAvailable()) return FALSE;
  wxRect r(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  if (!createControl(windowClass, text, style, r, wxOf(pParent->m_hWnd), nID, this)) return FALSE;
  m_bCreated = true;
  return TRUE;
}

// CListCtrl: the operations the list-view messages carry go through
// SendMessage, so a derived window procedure sees them.
int CHeaderCtrl::GetItemCount() const {
  auto* l = m_pList->m_hWnd ? dynamic_cast<wxListCtrl*>(wxOf(m_pList->m_hWnd)) : nullptr;
  return l ? l->GetColumnCount() : 0;
}

namespace {
wxListCtrl* listOf(const CListCtrl* c) { return c->m_hWnd ? dynamic_cast<wxListCtrl*>(wxOf(c->m_hWnd)) : nullptr; }
}  // namespace

BOOL CListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateControl("SysListView32", nullptr, dwStyle, rect, pParentWnd, nID);
}

int CListCtrl::InsertColumn(int nCol, LPCTSTR heading, int nFormat, int nWidth, int) {
  wxListCtrl* l = listOf(this);
  if (!l || nCol < 0) return -1;
  wxListColumnFormat format = nFormat == LVCFMT_RIGHT    ? wxLIST_FORMAT_RIGHT
                              : nFormat == LVCFMT_CENTER ? wxLIST_FORMAT_CENTRE
                                                         : wxLIST_FORMAT_LEFT;
  return int(l->InsertColumn(std::min(nCol, l->GetColumnCount()), wxString::FromUTF8(heading ? heading : ""),
                             format, nWidth < 0 ? wxLIST_DEFAULT_COL_WIDTH : nWidth));
}

BOOL CListCtrl::DeleteColumn(int nCol) {
  wxListCtrl* l = listOf(this);
  return l && nCol >= 0 && nCol < l->GetColumnCount() && l->DeleteColumn(nCol);
}

int CListCtrl::InsertItem(int nItem, LPCTSTR text) {
  wxListCtrl* l = listOf(this);
  if (!l || nItem < 0) return -1;
  return int(l->InsertItem(std::min(long(nItem), long(l->GetItemCount())), wxString::FromUTF8(text ? text : "")));
}

BOOL CListCtrl::DeleteItem(int nItem) { return BOOL(SendMessage(LVM_DELETEITEM, WPARAM(nItem), 0)); }
BOOL CListCtrl::DeleteAllItems() { return BOOL(SendMessage(LVM_DELETEALLITEMS)); }
int CListCtrl::GetItemCount() const { return int(::SendMessage(m_hWnd, LVM_GETITEMCOUNT)); }

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR text) {
  wxListCtrl* l = listOf(this);
  if (!l || nItem < 0 || nItem >= l->GetItemCount() || nSubItem < 0 || nSubItem >= std::max(1, l->GetColumnCount()))
    return FALSE;
  return l->SetItem(nItem, nSubItem, wxString::FromUTF8(text ? text : ""));
}

KString CListCtrl::GetItemText(int nItem, int nSubItem) const {
  wxListCtrl* l = listOf(this);
  if (!l || nItem < 0 || nItem >= l->GetItemCount() || nSubItem < 0 || nSubItem >= std::max(1, l->GetColumnCount()))
    return KString();
  return KString(l->GetItemText(nItem, nSubItem).utf8_str().data());
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR data) {
  wxListCtrl* l = listOf(this);
  return l && nItem >= 0 && nItem < l->GetItemCount() && l->SetItemPtrData(nItem, wxUIntPtr(data));
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const {
  wxListCtrl* l = listOf(this);
  return (l && nItem >= 0 && nItem < l->GetItemCount()) ? DWORD_PTR(l->GetItemData(nItem)) : 0;
}

BOOL CListCtrl::SetItemState(int nItem, UINT state, UINT mask) {
  wxListCtrl* l = listOf(this);
  return l && nItem >= 0 && nItem < l->GetItemCount() && l->SetItemState(nItem, listStateOf(state), listStateOf(mask));
}

UINT CListCtrl::GetItemState(int nItem, UINT mask) const {
  wxListCtrl* l = listOf(this);
  return (l && nItem >= 0 && nItem < l->GetItemCount()) ? lvisOf(l->GetItemState(nItem, listStateOf(mask))) : 0;
}

int CListCtrl::GetNextItem(int nItem, int nFlags) const {
  return int(::SendMessage(m_hWnd, LVM_GETNEXTITEM, WPARAM(nItem), LPARAM(nFlags)));
}

BOOL CListCtrl::GetItemRect(int nItem, LPRECT rect, UINT nCode) const {
  if (!rect) return FALSE;
  rect->left = LONG(nCode);
  return BOOL(::SendMessage(m_hWnd, LVM_GETITEMRECT, WPARAM(nItem), LPARAM(rect)));
}

int CListCtrl::GetColumnWidth(int nCol) const { return int(::SendMessage(m_hWnd, LVM_GETCOLUMNWIDTH, WPARAM(nCol))); }

BOOL CListCtrl::SetColumnWidth(int nCol, int cx) {
  return BOOL(SendMessage(LVM_SETCOLUMNWIDTH, WPARAM(nCol), MAKELPARAM(WORD(short(cx)), 0)));
}

int CListCtrl::GetTopIndex() const { return int(::SendMessage(m_hWnd, LVM_GETTOPINDEX)); }
int CListCtrl::GetCountPerPage() const { return int(::SendMessage(m_hWnd, LVM_GETCOUNTPERPAGE)); }

BOOL CListCtrl::EnsureVisible(int nItem, BOOL bPartialOK) {
  return BOOL(SendMessage(LVM_ENSUREVISIBLE, WPARAM(nItem), LPARAM(bPartialOK)));
}

int CListCtrl::HitTest(POINT point, UINT* pFlags) const {
  if (pFlags) *pFlags = 0;
  // Only rows on the page (and the one partly shown below it) can be hit.
  const int top = GetTopIndex();
  const int end = std::min(GetItemCount(), top + GetCountPerPage() + 1);
  for (int i = top; i < end; ++i) {
    CRect r;
    if (GetItemRect(i, &r, LVIR_BOUNDS) && r.PtInRect(point)) {
      if (pFlags) *pFlags = 0x0E;  // LVHT_ONITEM
      return i;
    }
  }
  return -1;
}

// The simple controls.
BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateControl("Edit", nullptr, dwStyle, rect, pParentWnd, nID);
}
BOOL CEdit::SetReadOnly(BOOL readOnly) { return BOOL(SendMessage(EM_SETREADONLY, WPARAM(readOnly), 0)); }
void CEdit::SetSel(int start, int end) { SendMessage(EM_SETSEL, WPARAM(start), LPARAM(end)); }
void CEdit::ReplaceSel(LPCTSTR text) { SendMessage(EM_REPLACESEL, 0, LPARAM(text)); }

BOOL CStatic::Create(LPCTSTR text, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateControl("Static", text, dwStyle, rect, pParentWnd, nID);
}
HBITMAP CStatic::SetBitmap(HBITMAP bitmap) {
  return HBITMAP(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, LPARAM(bitmap)));
}
HBITMAP CStatic::GetBitmap() const { return HBITMAP(::SendMessage(m_hWnd, STM_GETIMAGE, IMAGE_BITMAP)); }

BOOL CButton::Create(LPCTSTR caption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateControl("Button", caption, dwStyle, rect, pParentWnd, nID);
}
int CButton::GetCheck() const { return int(::SendMessage(m_hWnd, BM_GETCHECK)); }
void CButton::SetCheck(int check) { SendMessage(BM_SETCHECK, WPARAM(check)); }
