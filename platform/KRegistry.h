// The Win32 registry calls over a persistent store of REGEDIT4 text files.
//
// Store: one file per root, "user.reg" for HKEY_CURRENT_USER and "machine.reg"
// for HKEY_LOCAL_MACHINE, in the folder $QUELM_REGISTRY_DIR, else
// $XDG_CONFIG_HOME/quelm, else ~/.config/quelm (created, mode 0700, on the
// first write). The folder is looked up on every call, so changing the
// variable moves the store. Both registry views (KEY_WOW64_32KEY and
// KEY_WOW64_64KEY) are accepted and served by the same store: this platform
// has one program width, so there is nothing to redirect. HKEY_LOCAL_MACHINE
// lives in the user's folder and is writable like HKEY_CURRENT_USER.
//
// Every change takes an advisory lock on "<file>.lock", re-reads the file,
// applies the change, writes a temporary file in the same folder, syncs it,
// renames it over the store and syncs the folder. Changes made by other
// processes are therefore kept, and a crash leaves either the old or the new
// store, never a mixture; temporary files orphaned by a crash are removed by
// the next change under the lock. Reads use a cached parse that is renewed
// when the file's identity (inode, size, times) changes.
//
// A store file that does not parse makes every call on its root answer
// ERROR_BADDB; the file, line and reason are reported once per version of the
// file through the error reporter, and the file is never written over.
//
// Handles: the two roots are predefined constants; every other handle comes
// from RegOpenKeyExA/RegCreateKeyExA, names a root, a key path and the access
// it was opened with, and must be closed with RegCloseKey. A handle whose key
// is deleted answers ERROR_KEY_DELETED. Unknown or closed handles answer
// ERROR_INVALID_HANDLE. Calls may come from any thread.
#pragma once
#include "platform/KString.h"
#include "platform/KWinTypes.h"

#include <functional>

typedef struct KRegKeyHandle* HKEY;
typedef HKEY* PHKEY;
typedef DWORD REGSAM;
typedef DWORD* LPDWORD;
typedef BYTE* LPBYTE;
typedef struct _SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

#define HKEY_CURRENT_USER ((HKEY)(uintptr_t)(int32_t)0x80000001)
#define HKEY_LOCAL_MACHINE ((HKEY)(uintptr_t)(int32_t)0x80000002)

enum : DWORD {
  REG_NONE = 0,
  REG_SZ = 1,
  REG_EXPAND_SZ = 2,
  REG_BINARY = 3,
  REG_DWORD = 4,
  REG_MULTI_SZ = 7,
  REG_QWORD = 11
};

enum : REGSAM {
  KEY_QUERY_VALUE = 0x0001,
  KEY_SET_VALUE = 0x0002,
  KEY_CREATE_SUB_KEY = 0x0004,
  KEY_ENUMERATE_SUB_KEYS = 0x0008,
  KEY_WOW64_64KEY = 0x0100,
  KEY_WOW64_32KEY = 0x0200,
  KEY_WRITE = 0x20006,
  KEY_READ = 0x20019,
  KEY_ALL_ACCESS = 0xF003F
};

enum : DWORD {
  REG_OPTION_NON_VOLATILE = 0,
  REG_CREATED_NEW_KEY = 1,
  REG_OPENED_EXISTING_KEY = 2
};

// Opens an existing key below hKey (an empty or null subKey opens hKey again).
// ERROR_FILE_NOT_FOUND when it does not exist; *result is null on failure.
LONG RegOpenKeyExA(HKEY hKey, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);

// Opens the key, creating it and any missing parents; needs KEY_CREATE_SUB_KEY
// on hKey when something is created. Only REG_OPTION_NON_VOLATILE is
// supported (other options: ERROR_INVALID_PARAMETER). disposition, when given,
// receives REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY. Key names are at
// most 255 bytes without control characters; a leading '\', an empty name
// between separators or a too long name answer ERROR_BAD_PATHNAME.
LONG RegCreateKeyExA(HKEY hKey, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                     REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);

// Reads a value (null or empty name: the default value). With data null and
// dataSize given, answers the size. A buffer shorter than the value answers
// ERROR_MORE_DATA with the needed size in *dataSize and the buffer untouched.
// Strings come back as stored (with the zero byte the writer gave).
LONG RegQueryValueExA(HKEY hKey, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize);

// Stores dataSize bytes of data under the name with the given type (any type
// number is kept). Names may not hold CR or LF; data is at most 1 MiB
// (ERROR_INVALID_PARAMETER otherwise). Needs KEY_SET_VALUE.
LONG RegSetValueExA(HKEY hKey, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD dataSize);

// Value number `index` in the order the values were first created. nameSize
// holds the buffer size in characters and receives the name length without the
// zero byte. A short name buffer answers ERROR_MORE_DATA; a short data buffer
// answers ERROR_MORE_DATA with the needed size. ERROR_NO_MORE_ITEMS past the end.
LONG RegEnumValueA(HKEY hKey, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                   LPDWORD type, LPBYTE data, LPDWORD dataSize);

// Subkey number `index` (direct children, in creation order); needs
// KEY_ENUMERATE_SUB_KEYS. Size rules as for RegEnumValueA's name. keyClass
// and lastWrite must be null.
LONG RegEnumKeyExA(HKEY hKey, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                   LPSTR keyClass, LPDWORD classSize, void* lastWrite);

// Removes a value; ERROR_FILE_NOT_FOUND when absent. Needs KEY_SET_VALUE.
LONG RegDeleteValueA(HKEY hKey, LPCSTR valueName);

// Removes the key subKey below hKey (an empty subKey: hKey itself) with its
// values. A key that has subkeys, and a root, answer ERROR_ACCESS_DENIED.
LONG RegDeleteKeyA(HKEY hKey, LPCSTR subKey);

// Frees a handle. Closing a root is allowed and does nothing.
LONG RegCloseKey(HKEY hKey);

// Path of the store file that holds the root of hKey (either a root or an open
// handle); empty for an invalid handle or when no folder can be determined.
KString KRegistryStorePath(HKEY hKey);

// Receives one line per unreadable store: "<file>: line N: reason".
using KRegistryErrorReporter = std::function<void(const KString& message)>;

// Replaces the reporter (an empty function restores the default, which writes
// to standard error) and answers the previous one.
KRegistryErrorReporter KRegistrySetErrorReporter(KRegistryErrorReporter reporter);
