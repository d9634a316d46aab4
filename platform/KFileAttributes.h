// GetFileAttributesA in the manner of the Win32 call: the attribute bits of a
// file or folder. A file counts as read-only when nobody may write it (no
// write permission bit at all), which is what a user sets to protect a file;
// it does not depend on who asks, so it holds for a superuser too.
#pragma once
#include "platform/KWinTypes.h"

enum : DWORD {
  FILE_ATTRIBUTE_READONLY = 0x1,
  FILE_ATTRIBUTE_DIRECTORY = 0x10,
  FILE_ATTRIBUTE_NORMAL = 0x80,
  INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF
};

// The attributes of `path`, or INVALID_FILE_ATTRIBUTES when it does not exist
// or cannot be examined.
DWORD GetFileAttributesA(LPCSTR path);
