// The cached options the library declares, for the commands that set them
// (--option) and the workbench that lists them.
#pragma once

struct KCachedOptionInfo {
  const char* name;
  char type;       // 'B' boolean, 'I' integer, 'R' real
  double builtIn;  // the value the option has when nothing sets it
};
extern const KCachedOptionInfo kLibraryCachedOptions[];
extern const int kLibraryCachedOptionCount;
