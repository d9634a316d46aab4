// Registry defaults of the options store: under HKEY_CURRENT_USER
// "Software\<company>\<product>", one subkey per type named by its type word
// and the store's suffix ("string", "int", "boolean", "real"). Each value is
// an option of its name:
//   string   REG_SZ text
//   int      REG_DWORD (signed), or REG_SZ decimal text
//   boolean  REG_DWORD non-zero, or REG_SZ "true" / "1"
//   real     REG_SZ number text read under the "C" locale
// Values of another type, or texts that are not whole numbers, are skipped.
#include "model/options/KDatabaseOptions.h"

#include "containers/options/KOptionBase.h"
#include "core/system/KRegistryUtils.h"
#include "core/system/KTempCLocale.h"
#include "model/options/KOptionEntry.h"
#include "platform/KRegistry.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// Opens root\name for reading; null on failure.
HKEY openForReading(HKEY root, const char* name) {
  HKEY key = nullptr;
  return RegOpenKeyExA(root, name, 0, KEY_READ, &key) == ERROR_SUCCESS ? key : nullptr;
}

struct KeyCloser {
  HKEY key;
  ~KeyCloser() {
    if (key) RegCloseKey(key);
  }
};

// Calls visit(name, type, data, size) for every value of `key`.
template <class Visit>
void forEachValue(HKEY key, Visit visit) {
  std::vector<char> name(256), data(1024);
  for (DWORD index = 0;; ++index) {
    DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size() - 1), type = 0;
    LONG rc = RegEnumValueA(key, index, name.data(), &nameSize, nullptr, &type,
                            reinterpret_cast<LPBYTE>(data.data()), &dataSize);
    if (rc == ERROR_MORE_DATA) {
      // Grow whichever buffer was short and ask for the same value again.
      if (dataSize + 1 > data.size()) {
        if (dataSize >= (1u << 24)) break;
        data.resize(dataSize + 1);
      } else {
        if (name.size() >= 65536) break;
        name.resize(name.size() * 2);
      }
      --index;
      continue;
    }
    if (rc != ERROR_SUCCESS) break;
    data[dataSize < data.size() ? dataSize : data.size() - 1] = 0;
    visit(KString(name.data()), type, data.data(), dataSize);
  }
}

KString textOf(const char* data, DWORD size) {
  KString s(std::string(data, size));
  // REG_SZ data usually carries its terminating zero.
  int zero = s.Find('\0');
  return zero >= 0 ? s.Left(zero) : s;
}

}  // namespace

void KDatabaseOptions::loadRegistryDefaults() {
  HKEY product = KOpenAppUserKey();
  KeyCloser closeProduct{product};
  if (!product) return;

  if (HKEY key = openForReading(product, "string" + m_suffix)) {
    KeyCloser c{key};
    forEachValue(key, [&](const KString& name, DWORD type, const char* data, DWORD size) {
      if (type == REG_SZ) setString(name, textOf(data, size), false, false);
    });
  }
  if (HKEY key = openForReading(product, "int" + m_suffix)) {
    KeyCloser c{key};
    forEachValue(key, [&](const KString& name, DWORD type, const char* data, DWORD size) {
      long v = 0;
      if (type == REG_DWORD && size == 4) setInteger(name, *reinterpret_cast<const int32_t*>(data), false, false);
      else if (type == REG_SZ && optionValueFromText(textOf(data, size), v)) setInteger(name, v, false, false);
    });
  }
  if (HKEY key = openForReading(product, "boolean" + m_suffix)) {
    KeyCloser c{key};
    forEachValue(key, [&](const KString& name, DWORD type, const char* data, DWORD size) {
      if (type == REG_DWORD && size == 4) setBoolean(name, *reinterpret_cast<const int32_t*>(data) != 0, false, false);
      else if (type == REG_SZ) {
        KString t = textOf(data, size);
        setBoolean(name, t == "true" || t == "1", false, false);
      }
    });
  }
  if (HKEY key = openForReading(product, "real" + m_suffix)) {
    KeyCloser c{key};
    KTempCLocale cLocale;
    forEachValue(key, [&](const KString& name, DWORD type, const char* data, DWORD size) {
      if (type != REG_SZ) return;
      KString t = textOf(data, size);
      t.Trim();
      char* end = nullptr;
      double v = strtod(t.GetString(), &end);
      if (!t.IsEmpty() && end == t.GetString() + t.GetLength()) setDouble(name, v, false, false);
    });
  }
  markOptionsChanged();
}
