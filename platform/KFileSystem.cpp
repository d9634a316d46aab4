#include "platform/KFileSystem.h"

#include <unistd.h>

#include <climits>

KString KFileSystem::currentDirectory() {
  char buf[PATH_MAX];
  return getcwd(buf, sizeof buf) ? KString(buf) : KString();
}
