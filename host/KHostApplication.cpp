#include "host/KHostApplication.h"

#include <cstdio>

void KHostApplication::OutputLine(const KString& text) {
  fputs(text.GetString(), stdout);
  fputc('\n', stdout);
  fflush(stdout);
}
