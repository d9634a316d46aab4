// CWnd: a window object in the manner of the MFC class, over the window
// system the layer hides. A CWnd is attached to at most one window (m_hWnd,
// null while detached) and a window to at most one CWnd; CWnd::FromHandle
// finds the object of a handle. Windows the layer creates for dialog template
// items get an object of their kind (CEdit, CStatic, CButton, CListCtrl) owned
// by the layer; SubclassDlgItem puts a program's own object in its place.
//
// When the window goes (DestroyWindow, or its parent's destruction) the object
// is detached and PostNcDestroy runs; the object itself is the program's.
// Destroying an object still attached destroys its window if it created it,
// and otherwise only detaches.
//
// Messages: SendMessage calls the target object's WindowProc, which hands the
// message to OnWndMsg (WM_COMMAND to OnCommand, WM_NOTIFY to OnNotify; a
// dialog adds WM_INITDIALOG) and otherwise to DefWindowProc, where the
// control messages (EM_, BM_, STM_, LVM_, WM_SETTEXT, WM_SETREDRAW, ...) take
// effect. Key presses pass the pre-translation path first (PreTranslateMessage
// of the application and of each window from the focus up).
//
// Identifiers are Win32's 16-bit control identifiers; the layer maps them to
// the window system's own, both ways, including those above 32767.
#pragma once
#include "platform/KString.h"
#include "platform/windows/KWindowTypes.h"

class CFont;
struct KWndAccess;

class CWnd {
 public:
  CWnd() = default;
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  // The window, or null while detached.
  HWND m_hWnd = nullptr;
  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  // The object attached to `hWnd`; null for a null or unknown handle.
  static CWnd* FromHandle(HWND hWnd);
  // Makes this object the window's object (in place of the layer's); FALSE
  // when this object is attached already or the handle is unknown.
  BOOL SubclassWindow(HWND hWnd);
  // SubclassWindow on the child `nID` of `pParent`; FALSE when there is none.
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
  // Gives the window back to the layer's object and answers it.
  HWND UnsubclassWindow();

  // The descendant window with control identifier `nID`, or null.
  CWnd* GetDlgItem(int nID) const;
  // The control identifier; 0 when detached.
  int GetDlgCtrlID() const;
  CWnd* GetParent() const;

  void SetWindowText(LPCTSTR text);
  void GetWindowText(KString& text) const;
  int GetWindowTextLength() const;
  void SetDlgItemText(int nID, LPCTSTR text);
  // The child's text length; 0 and an empty text when there is no such child.
  int GetDlgItemText(int nID, KString& text) const;

  // Position in the parent's client coordinates (screen for top-level windows).
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
  void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
  // Window rectangle in screen coordinates; client rectangle from (0, 0).
  void GetWindowRect(LPRECT rect) const;
  void GetClientRect(LPRECT rect) const;
  void ScreenToClient(LPPOINT point) const;
  void ScreenToClient(LPRECT rect) const;
  void ClientToScreen(LPPOINT point) const;
  void ClientToScreen(LPRECT rect) const;

  // Answers whether the window was disabled before.
  BOOL EnableWindow(BOOL enable = TRUE);
  BOOL IsWindowEnabled() const;
  BOOL IsWindowVisible() const;
  // SW_HIDE, SW_SHOW..., SW_MINIMIZE, SW_MAXIMIZE, SW_RESTORE; answers whether
  // it was visible before.
  BOOL ShowWindow(int nCmdShow);
  // Win32 style bits: those of the window's kind and creation, with
  // WS_VISIBLE and WS_DISABLED following the window's state.
  DWORD GetStyle() const;
  // Changes kind-specific style bits (a list view's LVS_TYPEMASK view, an
  // edit's ES_READONLY); FALSE when detached.
  BOOL ModifyStyle(DWORD remove, DWORD add);
  virtual BOOL DestroyWindow();

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // WM_SETREDRAW: drawing off holds back updates until it is switched on.
  void SetRedraw(BOOL redraw = TRUE);
  void Invalidate(BOOL erase = TRUE);

  // Top-level windows: show state and restored rectangle (screen coordinates).
  BOOL GetWindowPlacement(WINDOWPLACEMENT* placement) const;
  BOOL SetWindowPlacement(const WINDOWPLACEMENT* placement);

  // The font must outlive its use by the window, as on Windows.
  void SetFont(CFont* font, BOOL redraw = TRUE);
  // The font set, or the window's own (an object the layer keeps).
  CFont* GetFont() const;

  CWnd* SetFocus();
  static CWnd* GetFocus();

  // Timers: every `elapse` milliseconds the window gets WM_TIMER with wParam
  // `id` until KillTimer or the window goes. Setting an id again restarts it.
  // Answers `id`, or 0 when detached or without a window system. Callback
  // functions are not supported (`callback` must be null).
  UINT_PTR SetTimer(UINT_PTR id, UINT elapse, void* callback = nullptr);
  // FALSE when no such timer runs.
  BOOL KillTimer(UINT_PTR id);

  // Key messages on their way to a window: TRUE when handled (the message is
  // then not delivered). Default: FALSE.
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // Calls PreTranslateMessage of each window from pMsg->hwnd up to its
  // top-level window (or `hWndStop`), stopping at the first that answers TRUE.
  static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

 protected:
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // WM_COMMAND: LOWORD(wParam) the identifier, HIWORD the notification code,
  // lParam the control's HWND. TRUE when handled.
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  // WM_NOTIFY: lParam points to the NMHDR. TRUE when handled.
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // After the window has gone; the object may delete itself here.
  virtual void PostNcDestroy();
  // Creates a child control of Win32 class `windowClass` ("Button", "Edit",
  // "Static", "SysListView32") with this object attached; FALSE when there is
  // no window system, the class is unknown or the object is attached already.
  BOOL CreateControl(LPCTSTR windowClass, LPCTSTR text, DWORD style, const RECT& rect, CWnd* pParent,
                     UINT nID);

 private:
  friend struct KWndAccess;
  bool m_bCreated = false;  // this object created its window
};

// Handle-level functions, for windows of this layer.
int GetClassName(HWND hWnd, LPSTR className, int maxCount);  // "#32770", "Button", "Edit", "Static", "SysListView32"; 0 when unknown
HWND GetParent(HWND hWnd);
LONG GetWindowLong(HWND hWnd, int index);  // GWL_STYLE, GWL_ID; 0 otherwise
BOOL IsWindow(HWND hWnd);
BOOL IsWindowVisible(HWND hWnd);
BOOL IsWindowEnabled(HWND hWnd);
HWND GetDlgItem(HWND hDlg, int nID);
int GetDlgCtrlID(HWND hWnd);
LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
HWND GetFocus();
HWND GetActiveWindow();
