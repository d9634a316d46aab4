#include "platform/KModule.h"

#include <dlfcn.h>

namespace {
thread_local KString t_lastError;

void recordError() {
  const char* text = dlerror();
  t_lastError = text ? text : "unknown module error";
}
}  // namespace

HMODULE LoadLibraryA(LPCSTR path) {
  if (!path || !*path) {
    t_lastError = "empty module path";
    return nullptr;
  }
  void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (handle) t_lastError.Empty();
  else recordError();
  return handle;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  if (!module || !name) {
    t_lastError = "no module or no symbol name";
    return nullptr;
  }
  dlerror();
  void* address = dlsym(module, name);
  if (!address) {
    recordError();
    return nullptr;
  }
  t_lastError.Empty();
  return reinterpret_cast<FARPROC>(address);
}

BOOL FreeLibrary(HMODULE module) {
  if (!module) {
    t_lastError = "no module";
    return FALSE;
  }
  if (dlclose(module) != 0) {
    recordError();
    return FALSE;
  }
  t_lastError.Empty();
  return TRUE;
}

KString KGetModuleErrorText() { return t_lastError; }
