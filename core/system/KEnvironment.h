// System-wide environment variables, kept in the registry store under
// HKEY_LOCAL_MACHINE "System\CurrentControlSet\Control\Session Manager\Environment".
// Every change is announced with a WM_SETTINGCHANGE broadcast whose area is
// "Environment", so that listening parts of the program can re-read them.
// Each operation answers true when the registry operation failed.
#pragma once
#include "platform/KString.h"
#include "platform/KWinTypes.h"

extern const char* const KSYSTEM_ENVIRONMENT_KEY;

// Sets `name` to `value`. With type 0 an existing text value keeps its type
// (REG_SZ or REG_EXPAND_SZ); otherwise REG_SZ. Only text types may be given.
// Announces the change when the write succeeded.
bool KSetEnvironmentVariable(const char* name, const char* value, DWORD type = 0);
// Removes `name`; announces once the key could be opened, even when there was
// no such value (the answer is then true).
bool KDeleteEnvironmentVariable(const char* name);
// Reads the text of `name` into `value` and announces it on success.
bool KReadEnvironmentVariable(const char* name, KString& value);
// Broadcasts WM_SETTINGCHANGE with "Environment" (abort if hung, 50 ms).
void KBroadcastEnvironmentChange();
