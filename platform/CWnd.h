// CWnd: base of window objects, in the manner of the MFC class. This build has
// no window system yet: a window object is a polymorphic handle that the
// application object can point at as its main window.
#pragma once

class CWnd {
 public:
  CWnd() = default;
  virtual ~CWnd() = default;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;
};
