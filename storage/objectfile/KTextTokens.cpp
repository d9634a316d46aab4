#include "storage/objectfile/KTextTokens.h"

#include <cerrno>
#include <clocale>
#include <cstdlib>

#include "storage/objectfile/KTextPersistance.h"

namespace {
constexpr double kUndefinedReal = 2.2250738585072014e-308;

bool generalInt(const char* s, LONGLONG& v) {
  if (!*s) return false;
  errno = 0;
  char* end = nullptr;
  v = std::strtoll(s, &end, 10);
  return errno == 0 && end && *end == 0;
}

bool generalUInt(const char* s, ULONGLONG& v) {
  if (!*s || *s == '-') return false;
  errno = 0;
  char* end = nullptr;
  v = std::strtoull(s, &end, 10);
  return errno == 0 && end && *end == 0;
}

// True when p starts a number from_chars may take: a digit or a point,
// possibly after a minus.
bool startsDecimal(const char* p, const char* end) {
  if (p < end && *p == '-') ++p;
  return p < end && ((*p >= '0' && *p <= '9') || *p == '.');
}
}  // namespace

bool KIntToken(const char* p, const char* end, LONGLONG& value) {
  auto res = std::from_chars(p, end, value);
  if (res.ec == std::errc() && res.ptr == end) return true;
  return generalInt(std::string(p, end).c_str(), value);
}

bool KUIntToken(const char* p, const char* end, ULONGLONG& value) {
  auto res = std::from_chars(p, end, value);
  if (res.ec == std::errc() && res.ptr == end) return true;
  return generalUInt(std::string(p, end).c_str(), value);
}

bool KDecimalPointIsDot() {
  const char* point = std::localeconv()->decimal_point;
  return point && point[0] == '.' && point[1] == 0;
}

bool KRealToken(const char* p, const char* end, bool dot, double& value) {
  if (end - p == 3 && p[0] == 'N' && p[1] == '/' && p[2] == 'A') {
    value = kUndefinedReal;
    return true;
  }
  if (dot && startsDecimal(p, end)) {
    auto res = std::from_chars(p, end, value);
    if (res.ec == std::errc() && res.ptr == end) return true;
  }
  return KTextToReal(std::string(p, end).c_str(), value);
}

const char* KPlainRealEnd(const char* p, const char* end) {
  auto digits = [&] {
    const char* from = p;
    while (p < end && *p >= '0' && *p <= '9') ++p;
    return p > from;
  };
  if (p < end && *p == '-') ++p;
  if (!digits()) return nullptr;
  if (p < end && *p == '.') {
    ++p;
    digits();
  }
  if (p < end && (*p == 'E' || *p == 'e')) {
    ++p;
    if (p < end && (*p == '+' || *p == '-')) ++p;
    if (!digits()) return nullptr;
  }
  return p;
}

const char* KRealPrefix(const char* p, const char* end, double& value) {
  if (!startsDecimal(p, end)) return nullptr;
  auto res = std::from_chars(p, end, value);
  return res.ec == std::errc() ? res.ptr : nullptr;
}
