// KTerminalDialog: a modal dialog drawn on the terminal, standing in for a
// window dialog until the window layer exists. DoModal shows the content
// (OnInitDialog), waits for the user to close it when a user sits at the
// terminal, and answers IDOK. Without a terminal on standard input the dialog
// closes as soon as it is shown, so scripted runs never wait.
#pragma once
#include "platform/windows/CWnd.h"
#include "platform/KWinTypes.h"

class KTerminalDialog : public CWnd {
 public:
  // Runs the dialog; answers the closing button (IDOK).
  virtual INT_PTR DoModal();

 protected:
  // Writes the dialog's content to standard output.
  virtual void OnInitDialog() = 0;
  // Prompt shown while waiting for the user (empty: no prompt).
  virtual const char* closePrompt() const { return ""; }
};
