#include "core/system/KEnvironment.h"

#include "platform/KRegistry.h"
#include "platform/KShell.h"

#include <cstring>
#include <vector>

const char* const KSYSTEM_ENVIRONMENT_KEY = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";

void KBroadcastEnvironmentChange() {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Environment"),
                      SMTO_ABORTIFHUNG, 50, &result);
}

bool KSetEnvironmentVariable(const char* name, const char* value, DWORD type) {
  if (!name || !*name || !value) return true;
  if (type != 0 && type != REG_SZ && type != REG_EXPAND_SZ) return true;
  HKEY key = nullptr;
  // The key exists on an installed system; a fresh store gets it made.
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, KSYSTEM_ENVIRONMENT_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return true;
  if (type == 0) {
    DWORD existing = 0;
    if (RegQueryValueExA(key, name, nullptr, &existing, nullptr, nullptr) == ERROR_SUCCESS &&
        existing == REG_EXPAND_SZ)
      type = REG_EXPAND_SZ;
    else
      type = REG_SZ;
  }
  LONG rc = RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(value),
                           static_cast<DWORD>(strlen(value) + 1));
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return true;
  KBroadcastEnvironmentChange();
  return false;
}

bool KDeleteEnvironmentVariable(const char* name) {
  HKEY key = nullptr;
  if (!name || RegOpenKeyExA(HKEY_LOCAL_MACHINE, KSYSTEM_ENVIRONMENT_KEY, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
    return true;
  LONG rc = RegDeleteValueA(key, name);
  RegCloseKey(key);
  KBroadcastEnvironmentChange();
  return rc != ERROR_SUCCESS;
}

bool KReadEnvironmentVariable(const char* name, KString& value) {
  HKEY key = nullptr;
  if (!name || RegOpenKeyExA(HKEY_LOCAL_MACHINE, KSYSTEM_ENVIRONMENT_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return true;
  DWORD type = 0, size = 0;
  LONG rc = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
  std::vector<BYTE> data(size + 1, 0);
  if (rc == ERROR_SUCCESS) rc = RegQueryValueExA(key, name, nullptr, &type, data.data(), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return true;
  // The stored bytes need not end in a terminator; never read past them.
  value = KString(reinterpret_cast<const char*>(data.data()),
                  static_cast<int>(strnlen(reinterpret_cast<const char*>(data.data()), size)));
  KBroadcastEnvironmentChange();
  return false;
}
