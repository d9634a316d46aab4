#include "storage/objectfile/KTextTokens.h"

#include <bit>
#include <cerrno>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>

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

// Decimal reals of at most 20 significant digits and at most 19 after the
// point, without exponent part: the texts the writer gives most values.
// The digits make an integer W < 2^67 and the value is W / 10^n (n <= 19,
// so 10^n < 2^64). W * 2^s / 10^n is taken as a 64-bit quotient q with its
// top bit set and a remainder r; q's top 53 bits rounded to nearest, ties to
// even (the 11 bits below and r != 0 decide), are the double's significand,
// exactly as strtod rounds. Answers where the number ends, or null for a
// text it leaves to the general conversion.
constexpr uint64_t kPowersOfTen[20] = {1ULL, 10ULL, 100ULL, 1000ULL, 10000ULL, 100000ULL, 1000000ULL,
                                       10000000ULL, 100000000ULL, 1000000000ULL, 10000000000ULL,
                                       100000000000ULL, 1000000000000ULL, 10000000000000ULL,
                                       100000000000000ULL, 1000000000000000ULL, 10000000000000000ULL,
                                       100000000000000000ULL, 1000000000000000000ULL,
                                       10000000000000000000ULL};

// Division by 10^n as a multiplication: each divisor is shifted until its
// top bit is set and given its reciprocal v = floor((2^128 - 1) / d) - 2^64,
// and a 128-bit number (hi:lo) with hi < d is divided by the 2-by-1 method of
// Moeller and Granlund ("Improved division by invariant integers", 2011),
// exact for every such number.
struct FDivisor {
  uint64_t m_d;      // 10^n shifted left by m_shift
  uint64_t m_v;      // its reciprocal
  int m_shift;
};

constexpr FDivisor makeDivisor(uint64_t d) {
  int shift = 0;
  while (!(d >> 63)) {
    d <<= 1;
    ++shift;
  }
  const unsigned __int128 all = ~static_cast<unsigned __int128>(0);
  return {d, static_cast<uint64_t>(all / d - (static_cast<unsigned __int128>(1) << 64)), shift};
}

constexpr auto kDivisors = [] {
  struct {
    FDivisor m_at[20];
  } table{};
  for (int n = 0; n < 20; ++n) table.m_at[n] = makeDivisor(kPowersOfTen[n]);
  return table;
}();

// (hi:lo) / 10^n, the quotient known to fit 64 bits (hi:lo < 10^n * 2^64).
uint64_t divideByPowerOfTen(uint64_t hi, uint64_t lo, int n, uint64_t& remainder) {
  const FDivisor& div = kDivisors.m_at[n];
  // Shifted with the divisor, the number keeps its high word below it.
  if (div.m_shift) {
    hi = (hi << div.m_shift) | (lo >> (64 - div.m_shift));
    lo <<= div.m_shift;
  }
  unsigned __int128 q = static_cast<unsigned __int128>(div.m_v) * hi;
  q += (static_cast<unsigned __int128>(hi) << 64) | lo;
  uint64_t q1 = static_cast<uint64_t>(q >> 64) + 1;
  const uint64_t q0 = static_cast<uint64_t>(q);
  uint64_t r = lo - q1 * div.m_d;
  if (r > q0) {
    --q1;
    r += div.m_d;
  }
  if (r >= div.m_d) {
    ++q1;
    r -= div.m_d;
  }
  remainder = r >> div.m_shift;
  return q1;
}

// Eight digit characters, loaded little-endian, as their number; the
// digits are combined pairwise, so that the work is not one long chain of
// multiplications.
bool eightDigits(const char* p, uint64_t& value) {
  uint64_t chunk;
  std::memcpy(&chunk, p, 8);
  if (((chunk & 0xF0F0F0F0F0F0F0F0ULL) | (((chunk + 0x0606060606060606ULL) & 0xF0F0F0F0F0F0F0F0ULL) >> 4)) !=
      0x3333333333333333ULL)
    return false;
  chunk -= 0x3030303030303030ULL;
  chunk = chunk * 10 + (chunk >> 8);
  value = (((chunk & 0x000000FF000000FFULL) * (100 + (1000000ULL << 32))) +
           (((chunk >> 16) & 0x000000FF000000FFULL) * (1 + (10000ULL << 32)))) >> 32;
  return true;
}

const char* shortDecimal(const char* p, const char* end, double& value) {
  const bool negative = p < end && *p == '-';
  if (negative) ++p;
  // Up to 19 digits in 64 bits, a 20th widens to 128.
  uint64_t w64 = 0;
  int digits = 0;
  auto run = [&] {
    const char* from = p;
    uint64_t eight = 0;
    if constexpr (std::endian::native == std::endian::little) {
      while (end - p >= 8 && digits <= 11 && eightDigits(p, eight)) {
        w64 = w64 * 100000000 + eight;
        digits += 8;
        p += 8;
      }
    }
    for (; p < end && static_cast<unsigned>(*p - '0') < 10; ++p)
      if (++digits <= 19) w64 = w64 * 10 + static_cast<unsigned>(*p - '0');
    return static_cast<int>(p - from);
  };
  run();
  int fraction = 0;
  if (p < end && *p == '.') {
    ++p;
    fraction = run();
  }
  if (digits == 0 || digits > 20 || fraction > 19 || (p < end && (*p == 'e' || *p == 'E'))) return nullptr;
  unsigned __int128 w = w64;
  if (digits == 20) {
    const char* last = p - 1;
    if (*last == '.') --last;
    w = w * 10 + static_cast<unsigned>(*last - '0');
  }
  if (w == 0) {
    value = negative ? -0.0 : 0.0;
    return p;
  }
  const uint64_t d = kPowersOfTen[fraction];
  const int wBits = 128 - (static_cast<uint64_t>(w >> 64) ? __builtin_clzll(static_cast<uint64_t>(w >> 64))
                                                          : 64 + __builtin_clzll(static_cast<uint64_t>(w)));
  const int dBits = 64 - __builtin_clzll(d);
  int s = 63 + dBits - wBits;
  if (s < 0) return nullptr;
  // Now W * 2^s < d * 2^64, and one more doubling keeps it so when the
  // quotient would be below 2^63.
  unsigned __int128 n = w << s;
  if (n < static_cast<unsigned __int128>(d) << 63) {
    n <<= 1;
    ++s;
  }
  uint64_t r = 0;
  const uint64_t q = divideByPowerOfTen(static_cast<uint64_t>(n >> 64), static_cast<uint64_t>(n), fraction, r);
  uint64_t mantissa = q >> 11;
  const uint64_t below = q & 0x7FF;
  if (below > 0x400 || (below == 0x400 && (r != 0 || (mantissa & 1)))) ++mantissa;
  int exponent = 52 + 11 - s;  // of the significand's top bit
  if (mantissa >> 53) {
    mantissa >>= 1;
    ++exponent;
  }
  const uint64_t bits = (static_cast<uint64_t>(negative) << 63) |
                        (static_cast<uint64_t>(exponent + 1023) << 52) | (mantissa & ((1ULL << 52) - 1));
  std::memcpy(&value, &bits, sizeof value);
  return p;
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
    if (shortDecimal(p, end, value) == end) return true;
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
  if (const char* stop = shortDecimal(p, end, value)) return stop;
  auto res = std::from_chars(p, end, value);
  return res.ec == std::errc() ? res.ptr : nullptr;
}
