// Loading code modules (plug-ins) at run time, in the manner of the Win32
// module calls. A module handle stays valid until FreeLibrary; symbols the
// module leaves undefined are bound to the program's exported symbols when it
// is loaded, and all of them are bound at once, so a module that needs
// something the program lacks fails to load instead of failing later.
#pragma once
#include "platform/KString.h"

typedef void (*FARPROC)();

// Loads the module at `path` (a file path; no search of library folders when
// it holds a '/'). Null on failure; KGetModuleErrorText tells why.
HMODULE LoadLibraryA(LPCSTR path);
// Address of the exported symbol `name` of `module`, or null (see
// KGetModuleErrorText).
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
// Releases the module; FALSE when the handle is not a loaded module.
BOOL FreeLibrary(HMODULE module);
// Text of the last failure of the three calls above on this thread; empty
// when the last call succeeded.
KString KGetModuleErrorText();
