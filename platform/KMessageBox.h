// AfxMessageBox: shows a text to the user and answers the button chosen. The
// text goes to a replaceable presenter; tests install one that records the
// texts. Without one, the window layer shows a real message box when there is
// a window system, and otherwise the text is written to standard error and
// the default button is the answer.
#pragma once
#include "platform/KWinTypes.h"
#include <functional>

enum : UINT {
  MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3,
  MB_YESNO = 0x4, MB_RETRYCANCEL = 0x5, MB_TYPEMASK = 0xF,
  MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20, MB_ICONWARNING = 0x30, MB_ICONINFORMATION = 0x40,
  MB_DEFBUTTON1 = 0x000, MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200, MB_DEFMASK = 0xF00
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

// A presenter receives the text and the MB_ flags and answers an ID value.
using KMessagePresenter = std::function<int(const char* text, UINT type)>;

// Installs `presenter` and answers the previous one; an empty function restores
// the default presenter.
KMessagePresenter AfxSetMessagePresenter(KMessagePresenter presenter);
// Installed by the window layer: shows a message box and answers the button,
// or 0 when it cannot (no window system).
void AfxSetWindowSystemMessageBox(KMessagePresenter box);
// The button that the MB_ flags make the default (IDOK, IDYES, IDNO, ...).
int AfxDefaultButton(UINT type);
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT textId, UINT type = MB_OK, UINT helpId = 0);
