// The calling thread's last error code, as the Win32 calls of the platform
// layer record it when they fail. Each thread has its own; it starts at
// ERROR_SUCCESS and is changed only by failing calls and SetLastError.
#pragma once
#include "platform/KWinTypes.h"

DWORD GetLastError();
void SetLastError(DWORD code);

// The Win32 error code that an operating-system error number (errno) stands
// for; numbers without a closer code give `fallback`. This is the one place
// where errno values become Win32 codes: the registry answers them, and file
// exceptions take their causes from them.
LONG KWin32ErrorFromErrno(int err, LONG fallback);
