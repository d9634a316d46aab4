#include "platform/COleDataSource.h"

#include <strings.h>
#include <vector>

UINT RegisterClipboardFormatA(LPCSTR name) {
  if (!name || !*name) return 0;
  static std::vector<std::string> names;  // format 0xC000 + i is names[i]
  for (size_t i = 0; i < names.size(); ++i)
    if (strcasecmp(names[i].c_str(), name) == 0) return static_cast<UINT>(0xC000 + i);
  if (names.size() >= 0x3FFF) return 0;  // the format numbers end at 0xFFFF
  names.emplace_back(name);
  return static_cast<UINT>(0xC000 + names.size() - 1);
}

void COleDataSource::CacheData(CLIPFORMAT format, const void* bytes, size_t size) {
  m_data[format].assign(static_cast<const char*>(bytes), size);
}

bool COleDataSource::GetData(CLIPFORMAT format, std::string& bytes) const {
  auto it = m_data.find(format);
  if (it == m_data.end()) return false;
  bytes = it->second;
  return true;
}
