// Running programs with raised rights, walking the processes of the machine
// with their modules, and the processor-emulation query.
#pragma once
#include "platform/KShell.h"
#include "platform/KWinTypes.h"

// Runs `file` with `parameters` (may be null) with raised rights. A refused or
// cancelled prompt answers false without a message; any other failure shows
// "Failed to run executable with elevate permissions" and answers true.
bool KRunElevated(const char* file, const char* parameters, HWND owner);

// Called once per module of a process after its program: process id, 0, the
// first context, the program's path, the module's path, the second context.
// Answering FALSE stops the modules of that process.
typedef BOOL (*KProcessModuleCallback)(DWORD processId, WORD reserved, LPARAM context1, LPCSTR programPath,
                                       LPCSTR modulePath, LPARAM context2);

// Walks every process that may be inspected and hands its modules to
// `callback`. Answers the number of processes visited; processes that cannot be
// opened (other users', ended meanwhile) are skipped and not counted.
int KEnumerateProcessModules(KProcessModuleCallback callback, LPARAM context1, LPARAM context2);

// True when the program runs under a 32-bit emulation layer; never on this platform.
bool KIsWow64();
