#include "ui/filedialogs/KFileTypeInfo.h"

#include <cstring>

KFileTypeInfo::KFileTypeInfo(int id, const char* description, const char* pattern)
    : m_id(id), m_description(description), m_pattern(pattern), m_defaultExtension(extensionOfPattern(pattern)) {}

KString KFileTypeInfo::extensionOfPattern(const char* pattern) {
  if (!pattern) return KString();
  const char* end = std::strchr(pattern, ';');
  const size_t length = end ? static_cast<size_t>(end - pattern) : std::strlen(pattern);
  if (length <= 2) return KString();
  return KString(pattern + 2, static_cast<int>(length - 2));
}
