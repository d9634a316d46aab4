// The application object's answers that come from the running program's
// version record, the installer's records and the registry store.
#include "core/application/KApplicationAbstract.h"

#include "platform/KLocale.h"
#include "platform/KProcess.h"
#include "platform/KRegistry.h"
#include "platform/KShell.h"

#include <cstring>
#include <vector>

void KApplicationAbstract::GetFileVersion(int& major, int& minor, int& build, int& revision, int& n, int& sub) {
  major = minor = build = revision = n = sub = 0;
  char path[4096];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return;
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(path, &handle);
  if (size == 0) return;
  std::vector<unsigned char> block(size);
  if (!GetFileVersionInfoA(path, handle, size, block.data())) return;
  void* value = nullptr;
  UINT valueLength = 0;
  if (!VerQueryValueA(block.data(), "\\", &value, &valueLength) || valueLength < sizeof(VS_FIXEDFILEINFO)) return;
  VS_FIXEDFILEINFO fixed;
  memcpy(&fixed, value, sizeof fixed);
  major = static_cast<int>(fixed.dwFileVersionMS >> 16);
  minor = static_cast<int>(fixed.dwFileVersionMS & 0xFFFF);
  build = static_cast<int>(fixed.dwFileVersionLS >> 16);
  revision = static_cast<int>(fixed.dwFileVersionLS & 0xFFFF);
  SplitBuild(build, n, sub);
}

bool KApplicationAbstract::GetProductCode(KString& code, DWORD viewFlags) {
  code.Empty();
  KString path = "Software\\" + GetCompanyKeyName() + "\\" + GetRegistryKeyName() + "\\file locations";
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | viewFlags, &key) != ERROR_SUCCESS) return true;
  char text[41] = {};
  DWORD type = 0, size = 40;
  LONG rc = RegQueryValueExA(key, "PRODUCTCODE", nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return true;
  code = KString(text, static_cast<int>(strnlen(text, size)));
  return code.IsEmpty();
}

KString KApplicationAbstract::QueryProductProperty(const KString& productCode, const char* property, DWORD) {
  std::vector<char> buffer(501);
  // Each retry asks with room for the length last reported; a value that keeps
  // growing between asks is read again, a bounded number of times.
  for (int attempt = 0; attempt < 8; ++attempt) {
    DWORD length = static_cast<DWORD>(buffer.size());
    UINT rc = MsiGetProductInfoA(productCode, property, buffer.data(), &length);
    if (rc == ERROR_MORE_DATA) {
      if (static_cast<size_t>(length) + 1 <= buffer.size()) return KString();  // no progress possible
      buffer.assign(static_cast<size_t>(length) + 1, '\0');
      continue;
    }
    if (rc != ERROR_SUCCESS) return KString();
    return KString(buffer.data(), static_cast<int>(strnlen(buffer.data(), buffer.size())));
  }
  return KString();
}

LCID KApplicationAbstract::GetUILanguage(bool system) {
  KString path = "Software\\" + GetCompanyKeyName() + "\\" + GetRegistryKeyName() + "\\File locations";
  DWORD language = static_cast<DWORD>(-1);
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) == ERROR_SUCCESS) {
    DWORD type = 0, value = 0, size = sizeof value;
    if (RegQueryValueExA(key, "UILanguage", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
            ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof value)
      language = value;
    RegCloseKey(key);
  }
  if (language == static_cast<DWORD>(-1) || language == 0)
    return system ? GetSystemDefaultLCID() : GetUserDefaultLCID();
  return language;
}
