#include "platform/KConsole.h"

#include <cstdio>
#include <unistd.h>

bool KConsoleIsInteractive() { return isatty(STDIN_FILENO) == 1; }

bool KConsoleErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

bool KConsoleReadLine(KString& line) {
  line.Empty();
  int c;
  bool any = false;
  while ((c = fgetc(stdin)) != EOF) {
    any = true;
    if (c == '\n') break;
    line += static_cast<char>(c);
  }
  line.TrimRight('\r');
  return any;
}
