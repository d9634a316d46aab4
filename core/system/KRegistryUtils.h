// Registry helpers for the application's settings. The application's key is
// "Software\<company>\<application>" with the names the application object
// gives (GetCompanyKeyName, GetRegistryKeyName). Every helper opens its key,
// acts and closes it on every path; none keeps a handle.
#pragma once
#include "platform/KRegistry.h"
#include "platform/KString.h"

// "Software\<company>\<application>", followed by "\<subkey>" when one is given.
KString KAppRegistryPath(const char* subkey = nullptr);

// The DWORD value `name` of root\subkey; `def` when the key or value is
// missing or the value is not of type REG_DWORD.
DWORD KReadRegistryDword(HKEY root, const char* subkey, const char* name, DWORD def);

// Writes a value, creating the key when needed. The key is the application's
// key for HKEY_CURRENT_USER and "Software\<company>" for any other root, with
// "\<subkey>" appended when given. True when the write failed.
bool KWriteRegistryValue(HKEY root, const char* subkey, const char* name, DWORD type, const void* data,
                         DWORD size);
bool KWriteRegistryDword(HKEY root, const char* subkey, const char* name, DWORD value);

// The integer `entry` of the application's per-user key "<section>": `def`
// when it is absent (or holds exactly `def`), else clamped to [minimum, maximum].
int KReadBoundedInteger(const char* section, const char* entry, int def, int minimum, int maximum);

// Opens HKEY_CURRENT_USER "software\<company>\<application>" for reading, one
// level at a time; null when a level is missing. The caller closes the key.
HKEY KOpenAppUserKey();
