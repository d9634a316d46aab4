// The terminal a program runs in: whether a user sits at it, and reading a
// line the user types. Output goes through the C library's standard streams.
#pragma once
#include "platform/KString.h"

// True when standard input is a terminal (a user can answer).
bool KConsoleIsInteractive();
// True when standard error is a terminal (progress lines may be redrawn).
bool KConsoleErrorIsTerminal();
// Reads one line from standard input without its line end; false at end of
// input or on a read error.
bool KConsoleReadLine(KString& line);
