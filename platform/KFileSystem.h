// Placeholder until the file-system interface lands: only what the
// application object needs today.
#pragma once
#include "platform/KString.h"

class KFileSystem {
 public:
  static KString currentDirectory();
};
