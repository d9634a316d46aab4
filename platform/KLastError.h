// The calling thread's last error code, as the Win32 calls of the platform
// layer record it when they fail. Each thread has its own; it starts at
// ERROR_SUCCESS and is changed only by failing calls and SetLastError.
#pragma once
#include "platform/KWinTypes.h"

DWORD GetLastError();
void SetLastError(DWORD code);
