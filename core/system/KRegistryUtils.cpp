#include "core/system/KRegistryUtils.h"

#include "core/application/KApplicationAbstract.h"

#include <algorithm>

KString KAppRegistryPath(const char* subkey) {
  KApplicationAbstract* app = KGetApplication();
  KString path = "Software\\" + app->GetCompanyKeyName() + "\\" + app->GetRegistryKeyName();
  if (subkey && *subkey) path += KString("\\") + subkey;
  return path;
}

DWORD KReadRegistryDword(HKEY root, const char* subkey, const char* name, DWORD def) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return def;
  DWORD type = 0, value = 0, size = sizeof value;
  LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value ? value : def;
}

bool KWriteRegistryValue(HKEY root, const char* subkey, const char* name, DWORD type, const void* data,
                         DWORD size) {
  KString path = root == HKEY_CURRENT_USER ? KAppRegistryPath(subkey)
                                           : "Software\\" + KGetApplication()->GetCompanyKeyName();
  if (root != HKEY_CURRENT_USER && subkey && *subkey) path += KString("\\") + subkey;
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) return true;
  LONG rc = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
  return rc != ERROR_SUCCESS;
}

bool KWriteRegistryDword(HKEY root, const char* subkey, const char* name, DWORD value) {
  return KWriteRegistryValue(root, subkey, name, REG_DWORD, &value, sizeof value);
}

int KReadBoundedInteger(const char* section, const char* entry, int def, int minimum, int maximum) {
  int value = static_cast<int>(KReadRegistryDword(HKEY_CURRENT_USER, KAppRegistryPath(section), entry,
                                                  static_cast<DWORD>(def)));
  if (value == def) return def;
  return std::clamp(value, minimum, std::max(minimum, maximum));
}

HKEY KOpenAppUserKey() {
  KApplicationAbstract* app = KGetApplication();
  const KString levels[] = {"software", app->GetCompanyKeyName(), app->GetRegistryKeyName()};
  HKEY key = HKEY_CURRENT_USER;
  for (const KString& level : levels) {
    HKEY next = nullptr;
    LONG rc = RegOpenKeyExA(key, level, 0, KEY_READ, &next);
    if (key != HKEY_CURRENT_USER) RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return nullptr;
    key = next;
  }
  return key;
}
