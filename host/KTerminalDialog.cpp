#include "host/KTerminalDialog.h"

#include "platform/KConsole.h"
#include "platform/KMessageBox.h"

#include <cstdio>

INT_PTR KTerminalDialog::DoModal() {
  OnInitDialog();
  if (KConsoleIsInteractive()) {
    const char* prompt = closePrompt();
    if (prompt && *prompt) printf("%s ", prompt);
    fflush(stdout);
    KString answer;
    KConsoleReadLine(answer);
  }
  fflush(stdout);
  return IDOK;
}
