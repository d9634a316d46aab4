#include "platform/windows/CDialog.h"

#include "platform/KMessageBox.h"
#include "platform/KResources.h"
#include "platform/windows/CWinApp.h"
#include "platform/windows/KWindowSystem.h"
#include "platform/windows/KWxPrivate.h"

#include <wx/dialog.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {
// Thrown by CDataExchange::Fail, caught by UpdateData.
struct KDataExchangeFailure {};

wxDialog* dialogOf(HWND h) { return h ? dynamic_cast<wxDialog*>(wxOf(h)) : nullptr; }

long dialogStyle(DWORD style) {
  long s = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX;
  if (style & WS_THICKFRAME) s |= wxRESIZE_BORDER;
  return s;
}
}  // namespace

void CDataExchange::Fail() { throw KDataExchangeFailure(); }

CDialog::~CDialog() = default;

BOOL CDialog::createDialog(const KDialogTemplate* t, CWnd* pParentWnd, bool modal) {
  if (m_hWnd || !t || !AfxWindowSystemAvailable()) return FALSE;
  CWnd* owner = pParentWnd;
  if (!owner && AfxGetApp() && AfxGetApp()->m_pMainWnd != this) owner = AfxGetApp()->m_pMainWnd;
  wxWindow* parent = owner && owner->m_hWnd ? wxOf(owner->m_hWnd) : nullptr;
  auto* dlg = new KWx<wxDialog>(parent, wxID_ANY, wxString::FromUTF8(t->title ? t->title : ""), wxDefaultPosition,
                                wxDefaultSize, dialogStyle(t->style));
  DWORD style = t->style & ~DWORD(WS_VISIBLE);
  if (!(style & WS_CHILD)) style |= WS_POPUP;
  registerWindow(dlg, "#32770", style, 0, nullptr, this);
  KWndAccess::setCreated(this, true);
  m_bModal = modal;
  m_nResult = -1;
  if (t->fontFace || t->pointSize) {
    wxFont font = dlg->GetFont();
    if (t->pointSize) font.SetPointSize(t->pointSize);
    if (t->fontFace) font.SetFaceName(wxString::FromUTF8(t->fontFace));
    dlg->SetFont(font);
  }
  for (int i = 0; i < t->itemCount; ++i) {
    const KDialogItemTemplate& item = t->items[i];
    wxPoint pos = dlg->ConvertDialogToPixels(wxPoint(item.x, item.y));
    wxSize size = dlg->ConvertDialogToPixels(wxSize(item.cx, item.cy));
    if (!createControl(item.windowClass, item.text, item.style, wxRect(pos, size), dlg, item.id, nullptr)) {
      DestroyWindow();  // a template naming an unknown window class cannot be made, as on Windows
      return FALSE;
    }
  }
  dlg->SetClientSize(dlg->ConvertDialogToPixels(wxSize(t->cx, t->cy)));
  dlg->CentreOnParent();
  // The close box and Escape end the dialog through IDCANCEL, as the
  // dialog manager turns WM_CLOSE into it.
  dlg->SetEscapeId(wxID_ANY);
  // Controls keep the rectangles they are given: wx would stretch a dialog's
  // only child over the whole dialog.
  dlg->Bind(wxEVT_SIZE, [](wxSizeEvent&) {});
  HWND self = m_hWnd;
  dlg->Bind(wxEVT_CLOSE_WINDOW, [self](wxCloseEvent& e) {
    CWnd* obj = CWnd::FromHandle(self);
    if (!obj) {
      e.Skip();
      return;
    }
    e.Veto();
    KWndAccess::windowProc(obj, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  KWndAccess::windowProc(this, WM_INITDIALOG, 0, 0);
  if (!m_hWnd) return FALSE;  // OnInitDialog destroyed it
  if (!modal && (t->style & WS_VISIBLE)) dlg->Show();
  return TRUE;
}

INT_PTR CDialog::DoModal() {
  if (m_hWnd) return -1;
  const KDialogTemplate* t = m_pTemplate ? m_pTemplate : AfxFindDialogTemplate(nullptr, m_nIDTemplate);
  m_bEndPending = false;
  if (!createDialog(t, m_pParentWnd, true)) {
    m_bModal = false;
    return -1;
  }
  wxDialog* dlg = dialogOf(m_hWnd);
  if (!m_bEndPending) dlg->ShowModal();
  INT_PTR result = m_nResult;
  m_bModal = false;
  if (m_hWnd && wxOf(m_hWnd) == dlg) {
    // The loop has ended, so no event of the dialog is under way: it can go now.
    detachTree(dlg);
    delete dlg;
  }
  return result;
}

BOOL CDialog::InitModalIndirect(const KDialogTemplate* dialogTemplate, CWnd* pParentWnd) {
  m_pTemplate = dialogTemplate;
  m_pParentWnd = pParentWnd;
  return dialogTemplate != nullptr;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
  m_nIDTemplate = nIDTemplate;
  m_pParentWnd = pParentWnd;
  return createDialog(AfxFindDialogTemplate(nullptr, nIDTemplate), pParentWnd, false);
}

BOOL CDialog::CreateIndirect(const KDialogTemplate* dialogTemplate, CWnd* pParentWnd) {
  m_pParentWnd = pParentWnd;
  return createDialog(dialogTemplate, pParentWnd, false);
}

void CDialog::EndDialog(int nResult) {
  m_nResult = nResult;
  wxDialog* dlg = dialogOf(m_hWnd);
  if (!dlg) return;
  if (!m_bModal)
    dlg->Hide();
  else if (dlg->IsModal())
    dlg->EndModal(nResult);
  else
    m_bEndPending = true;  // ended during WM_INITDIALOG: the loop never starts
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
  if (!m_hWnd) return FALSE;
  CDataExchange dx(this, bSaveAndValidate);
  try {
    DoDataExchange(&dx);
  } catch (const KDataExchangeFailure&) {
    return FALSE;
  }
  return TRUE;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_INITDIALOG) {
    *pResult = OnInitDialog();
    return TRUE;
  }
  if (message == WM_CLOSE) {  // the dialog manager turns closing into Cancel
    *pResult = 0;
    return OnCommand(MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  }
  return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM) {
  const UINT id = LOWORD(wParam);
  const UINT code = HIWORD(wParam);
  if (code == BN_CLICKED || code == 1) {
    if (id == IDOK) {
      OnOK();
      return TRUE;
    }
    if (id == IDCANCEL) {
      OnCancel();
      return TRUE;
    }
  }
  // The edit commands act on the edit control that has the focus, so that
  // accelerators for them keep the keys' usual meaning.
  static const struct {
    UINT command;
    UINT message;
  } editCommands[] = {{ID_EDIT_COPY, WM_COPY}, {ID_EDIT_CUT, WM_CUT},   {ID_EDIT_PASTE, WM_PASTE},
                      {ID_EDIT_UNDO, WM_UNDO}, {ID_EDIT_CLEAR, WM_CLEAR}, {ID_EDIT_SELECT_ALL, EM_SETSEL}};
  for (const auto& e : editCommands) {
    if (e.command != id) continue;
    HWND focus = ::GetFocus();
    char cls[16] = "";
    if (!focus || !GetClassName(focus, cls, sizeof cls) || std::string(cls) != "Edit") return FALSE;
    ::SendMessage(focus, e.message, 0, e.message == EM_SETSEL ? LPARAM(-1) : 0);
    return TRUE;
  }
  return FALSE;
}

void DDX_Text(CDataExchange* pDX, int nIDC, KString& value) {
  CWnd* item = pDX->m_pDlgWnd->GetDlgItem(nIDC);
  if (!item) pDX->Fail();
  if (pDX->m_bSaveAndValidate)
    item->GetWindowText(value);
  else
    item->SetWindowText(value);
}

namespace {
// Exchanges a number with a control's text: `format` writes it, `parse`
// reads it (from the text, setting the end of what it read). The whole text
// but surrounding blanks must be the number, else `complaint` is shown and
// the exchange fails.
template <class T, class Parse>
void exchangeNumber(CDataExchange* pDX, int nIDC, T& value, const char* format, Parse parse, const char* complaint) {
  CWnd* item = pDX->m_pDlgWnd->GetDlgItem(nIDC);
  if (!item) pDX->Fail();
  if (!pDX->m_bSaveAndValidate) {
    char buffer[40];
    snprintf(buffer, sizeof buffer, format, value);
    item->SetWindowText(buffer);
    return;
  }
  KString text;
  item->GetWindowText(text);
  const char* s = text;
  char* end = nullptr;
  errno = 0;
  T parsed{};
  const bool inRange = parse(s, &end, parsed) && errno != ERANGE;
  while (end && (*end == ' ' || *end == '\t')) ++end;
  if (end == s || *end || !inRange) {
    AfxMessageBox(complaint, MB_OK | MB_ICONWARNING);
    pDX->Fail();
  }
  value = parsed;
}
}  // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
  exchangeNumber(pDX, nIDC, value, "%d",
                 [](const char* s, char** end, int& out) {
                   long v = strtol(s, end, 10);
                   out = int(v);
                   return v >= INT32_MIN && v <= INT32_MAX;
                 },
                 "Please enter an integer.");
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
  exchangeNumber(pDX, nIDC, value, "%.15g",
                 [](const char* s, char** end, double& out) {
                   out = strtod(s, end);
                   return true;
                 },
                 "Please enter a number.");
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
  CWnd* item = pDX->m_pDlgWnd->GetDlgItem(nIDC);
  if (!item) pDX->Fail();
  if (pDX->m_bSaveAndValidate)
    value = int(item->SendMessage(BM_GETCHECK));
  else
    item->SendMessage(BM_SETCHECK, WPARAM(value));
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control) {
  if (control.m_hWnd) return;
  if (!control.SubclassDlgItem(UINT(nIDC), pDX->m_pDlgWnd)) pDX->Fail();
}
