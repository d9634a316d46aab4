#include "storage/numbertext/KNumberText.h"

#include "core/application/KApplicationAbstract.h"
#include "containers/options/KLibraryOptions.h"

#include <bit>
#include <charconv>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

bool feetInchesFormat() { return feetInchesFormatOption().value(); }
bool oldEMinus3Format() { return oldEMinus3FormatOption().value(); }

// Enough for a sign, kMaxDigits digits, leading zeros of a small mantissa, a
// decimal point of a few bytes and an exponent.
constexpr int kTextCapacity = KNumberText::kMaxDigits + 48;
static_assert(kTextCapacity + 16 <= KNumberText::kMaxChars);

struct Point {
  const char* text;
  size_t length;
};

struct Digits {
  char d[KNumberText::kMaxDigits + 2];  // significant digits, no point
  int exponent;                        // decimal exponent of d[0]
};

// Parses the output of to_chars(scientific) with n significant digits:
// "d.ddde±XX" (or "de±XX" for one digit). Returns the exponent.
int parseScientific(const char* text, int n, char* digits) {
  digits[0] = text[0];
  const char* p = text + 1;
  if (n > 1) {
    std::memcpy(digits + 1, text + 2, static_cast<size_t>(n - 1));
    p = text + n + 1;
  }
  bool negative = p[1] == '-';
  int exponent = 0;
  for (p += 2; *p >= '0' && *p <= '9'; ++p) exponent = exponent * 10 + (*p - '0');
  return negative ? -exponent : exponent;
}

// The n (1..kMaxDigits) significant digits of `a` (finite, > 0), correctly
// rounded from the exact binary value with ties rounded half up.
//
// to_chars rounds ties to even, so ties are found and redone. A double is
// m * 2^q with m odd. Its exact expansion ends in a 5 at the place 10^q when
// q < 0 (m * 5^-q / 10^-q) and, when q >= 0, has its lowest non-zero digit at
// 10^q or above. A tie at n digits needs the 5 at the place 10^(E - n), where
// E is the exponent of the first digit, so it can occur only when q == E - n.
// In that case the n+1 digit rounding is exact when its last digit is 5 and,
// for q >= 0, 5^q divides m.
// The same digits by integer arithmetic, for n <= 20 and values whose
// scaling by 10^k (k = n - 1 - E, 0 <= k <= 32) is exact in 128 bits:
// a * 10^k = m * 5^k * 2^(q + k), with m < 2^53 and 5^32 < 2^75. The part
// shifted out decides the rounding (half up, exact ties included). Answers
// false, leaving `out` alone, for values outside that range.
using U128 = unsigned __int128;

struct Powers {
  U128 five[33];  // 5^0 .. 5^32
  U128 ten[21];   // 10^0 .. 10^20
  constexpr Powers() : five(), ten() {
    five[0] = ten[0] = 1;
    for (int i = 1; i < 33; ++i) five[i] = five[i - 1] * 5;
    for (int i = 1; i < 21; ++i) ten[i] = ten[i - 1] * 10;
  }
};
constexpr Powers kPowers;

// The ten digits of v (< 10^10), zero-padded, in short independent chains,
// stored as one 8-byte and one 2-byte word.
void putTenDigits(char* d, uint64_t v) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  auto pair = [](uint32_t p) {
    uint16_t two;
    std::memcpy(&two, kPairs + 2 * p, 2);
    return static_cast<uint64_t>(two);
  };
  uint32_t top = static_cast<uint32_t>(v / 100000000);
  uint32_t rest = static_cast<uint32_t>(v % 100000000);
  uint32_t upper = rest / 10000, lower = rest % 10000;
  uint64_t first = pair(top), second = pair(upper / 100), third = pair(upper % 100), fourth = pair(lower / 100);
  uint64_t word = std::endian::native == std::endian::little
                      ? first | second << 16 | third << 32 | fourth << 48
                      : first << 48 | second << 32 | third << 16 | fourth;
  std::memcpy(d, &word, 8);
  std::memcpy(d + 8, kPairs + 2 * (lower % 100), 2);
}

// Writes the last n (1..20) digits of high * 10^10 + low (both < 10^10).
void putDigits(char* d, int n, uint64_t high, uint64_t low) {
  if (n == 20) {
    putTenDigits(d, high);
    putTenDigits(d + 10, low);
    return;
  }
  char all[20];
  putTenDigits(all, high);
  putTenDigits(all + 10, low);
  std::memcpy(d, all + 20 - n, static_cast<size_t>(n));
}

bool exactDigits(double a, int n, Digits& out) {
  uint64_t bits = std::bit_cast<uint64_t>(a);
  int biased = static_cast<int>(bits >> 52);
  if (biased == 0 || n > 20) return false;
  uint64_t m = (bits & ((uint64_t(1) << 52) - 1)) | (uint64_t(1) << 52);
  int q = biased - 1075;
  int e2 = q + 52;  // a lies in [2^e2, 2^(e2 + 1))
  // floor(e2 * log10(2)): the exponent E of the first digit is this or one more.
  int e = (e2 * 78913) >> 18;
  U128 pow10n = kPowers.ten[n];
  for (int attempt = 0; attempt < 2; ++attempt, ++e) {
    int k = n - 1 - e;
    if (k < 0 || k > 32) return false;
    U128 scaled = m * kPowers.five[k];
    int shift = -(q + k);
    U128 whole;
    bool up = false;
    if (shift <= 0) {
      whole = scaled << -shift;  // below 10^21: no bits are lost
    } else if (shift < 128) {
      whole = scaled >> shift;
      U128 rest = scaled & ((U128(1) << shift) - 1);
      up = rest >= (U128(1) << (shift - 1));
    } else {
      return false;
    }
    if (whole >= pow10n) continue;  // E is e + 1
    int exponent = e;
    if (up && ++whole == pow10n) {
      whole = pow10n / 10;
      ++exponent;
    }
    // whole < 10^20 < 2^67: dividing by 2^10 first leaves a 64-bit
    // dividend, and floor(floor(x / 2^10) / 5^10) == floor(x / 10^10).
    uint64_t high = static_cast<uint64_t>(whole >> 10) / 9765625ULL;
    uint64_t low = static_cast<uint64_t>(whole - static_cast<U128>(high) * 10000000000ULL);
    putDigits(out.d, n, high, low);
    out.exponent = exponent;
    return true;
  }
  return false;
}

void roundedDigits(double a, int n, Digits& out) {
  if (exactDigits(a, n, out)) return;
  char buf[KNumberText::kMaxDigits + 16];
  auto res = std::to_chars(buf, buf + sizeof buf - 1, a, std::chars_format::scientific, n - 1);
  *res.ptr = 0;
  out.exponent = parseScientific(buf, n, out.d);

  uint64_t bits = std::bit_cast<uint64_t>(a);
  uint64_t m = bits & ((uint64_t(1) << 52) - 1);
  int q = static_cast<int>(bits >> 52);
  if (q == 0) {
    q = -1074;
  } else {
    m |= uint64_t(1) << 52;
    q -= 1075;
  }
  int zeros = std::countr_zero(m);
  m >>= zeros;
  q += zeros;
  // Rounding up may have carried into a new leading digit (E + 1).
  if (q != out.exponent - n && q != out.exponent - 1 - n) return;

  char wide[KNumberText::kMaxDigits + 2];
  res = std::to_chars(buf, buf + sizeof buf - 1, a, std::chars_format::scientific, n);
  *res.ptr = 0;
  int exponent = parseScientific(buf, n + 1, wide);
  if (wide[n] != '5' || exponent - n != q) return;
  if (q >= 0) {
    if (q > 22) return;  // 5^q > m
    uint64_t five = 1;
    for (int i = 0; i < q; ++i) five *= 5;
    if (m % five != 0) return;
  }
  // Exact tie: keep n digits and round up.
  int i = n - 1;
  while (i >= 0 && wide[i] == '9') wide[i--] = '0';
  if (i >= 0) {
    ++wide[i];
  } else {
    wide[0] = '1';
    ++exponent;
  }
  std::memcpy(out.d, wide, static_cast<size_t>(n));
  out.exponent = exponent;
}

// Lays out `count` significant digits with the engineering exponent.
// Returns the text length written to `text`.
int layOut(bool negative, const Digits& dg, int count, int style, const Point& point, char* text) {
  char* p = text;
  if (negative) *p++ = '-';
  int e = dg.exponent;
  int r = e % 3;
  int shown = e - r;
  if (style != 1 && r == -2 && e != -2 && !oldEMinus3Format()) shown = e - 1;
  int lead = e - shown;  // place of the first digit in the mantissa: 2, 1, 0, -1, -2

  int next = 0;  // next digit of dg.d to place
  if (lead >= 0) {
    next = count < lead + 1 ? count : lead + 1;
    std::memcpy(p, dg.d, static_cast<size_t>(next));
    p += next;
    for (int pad = next; pad <= lead; ++pad) *p++ = '0';
  } else {
    *p++ = '0';
  }
  // Fraction: leading zeros of a mantissa below 1, then the remaining digits.
  char* fraction = p;
  std::memcpy(p, point.text, point.length);
  p += point.length;
  char* firstFractionDigit = p;
  for (int z = -1; z > lead; --z) *p++ = '0';
  std::memcpy(p, dg.d + next, static_cast<size_t>(count - next));
  p += count - next;
  if (style != 1) {
    while (p > firstFractionDigit && p[-1] == '0') --p;
    if (p == firstFractionDigit) p = fraction;
  }
  if (shown != 0) {
    *p++ = 'E';
    auto res = std::to_chars(p, p + 8, shown);
    p = res.ptr;
  }
  return static_cast<int>(p - text);
}

void formatZero(KString& out, bool negative, int style, int digits, const Point& point) {
  std::string& s = out.str();
  s.assign(negative ? "-0" : "0");
  s.append(point.text, point.length);
  s.append(style == 1 ? static_cast<size_t>(digits) : 1u, '0');
}

// One pass of the formatter (no width retry).
void formatOnce(double value, KString& out, int style, int digits, double threshold, long code,
                const Point& point, long extra1, long extra2);

void formatFeetInches(double value, KString& out, int style, int digits, double threshold,
                      const Point& point, long extra1, long extra2) {
  long feet = 0;
  double inches = 0.0;
  KGetApplication()->SplitFeetInches(value, feet, inches);
  bool negative = value < 0.0;
  feet = feet < 0 ? -feet : feet;
  inches = std::fabs(inches);

  KString inchText, zeroText, twelveText;
  formatOnce(0.0, zeroText, style, digits, threshold, KQuantityCodes::kDimensionless, point, extra1, extra2);
  formatOnce(inches, inchText, style, digits, threshold, KQuantityCodes::kDimensionless, point, extra1, extra2);
  if (inchText == zeroText) inchText = "0";
  formatOnce(12.0, twelveText, style, digits, threshold, KQuantityCodes::kDimensionless, point, extra1, extra2);
  if (inchText == twelveText) {
    inchText = "0";
    ++feet;
  }
  if (feet == 0 && inchText == "0") {
    out = "0";
  } else if (feet == 0) {
    out.Format("%s%s\"", negative ? "-" : "", inchText.GetString());
  } else {
    out.Format("%s%ld' %s\"", negative ? "-" : "", feet, inchText.GetString());
  }
}

void formatOnce(double value, KString& out, int style, int digits, double threshold, long code,
                const Point& point, long extra1, long extra2) {
  if (!std::isfinite(value) || value == KNumberText::kUndefined) {
    if (!out.LoadString(KNumberText::kNotAvailableId)) out = "N/A";
    return;
  }
  if (code == KQuantityCodes::kLength && feetInchesFormat()) {
    formatFeetInches(value, out, style, digits, threshold, point, extra1, extra2);
    return;
  }
  if (int marker = code == KQuantityCodes::kDimensionless ? 0 : timescaleMarker(code)) {
    long secondsPerUnit = KGetApplication()->GetTimescaleUnit();
    if (secondsPerUnit > 0) value = marker > 0 ? value / secondsPerUnit : value * secondsPerUnit;
    formatOnce(value, out, style, digits, threshold, resolveTimescaleMarker(code), point, extra1, extra2);
    return;
  }
  double magnitude = std::fabs(value);
  if (magnitude == 0.0 || magnitude < threshold) {
    formatZero(out, std::signbit(value) && threshold <= 0.0, style, digits, point);
    return;
  }
  Digits dg;
  roundedDigits(magnitude, digits, dg);
  char text[kTextCapacity + 16];
  int length = layOut(value < 0.0, dg, digits, style, point, text);
  out.str().assign(text, static_cast<size_t>(length));
}

}  // namespace

int numberToChars(double value, char* text, int digits, const char* decimalPoint) {
  if (!std::isfinite(value) || value == KNumberText::kUndefined) return -1;
  digits = digits < 1 ? 1 : digits > KNumberText::kMaxDigits ? KNumberText::kMaxDigits : digits;
  Point point{decimalPoint, 0};
  if (!point.text) point.text = std::localeconv()->decimal_point;
  if (!point.text || (point.length = std::strlen(point.text)) == 0 || point.length > 8) point = Point{".", 1};
  if (value == 0.0) {
    char* p = text;
    if (std::signbit(value)) *p++ = '-';
    *p++ = '0';
    std::memcpy(p, point.text, point.length);
    p += point.length;
    *p++ = '0';
    return static_cast<int>(p - text);
  }
  Digits dg;
  roundedDigits(std::fabs(value), digits, dg);
  return layOut(value < 0.0, dg, digits, 0, point, text);
}

void numberToText(double value, KString& out, int style, int digits, int maxWidth, double threshold,
                  long quantityCode, const char* decimalPoint, long extra1, long extra2) {
  if (style != 1) style = 0;
  // 0 is what callers pass for "no quantity"; as a packed record it would be
  // the all-minimum one, time-scale marker included.
  if (quantityCode == 0) quantityCode = KQuantityCodes::kDimensionless;
  digits = digits < 1 ? 1 : digits > KNumberText::kMaxDigits ? KNumberText::kMaxDigits : digits;
  Point point{decimalPoint, 0};
  if (!point.text) point.text = std::localeconv()->decimal_point;
  if (!point.text || (point.length = std::strlen(point.text)) == 0 || point.length > 8) point = Point{".", 1};
  // Thresholds down to the smallest normal double exist to write values
  // exactly; they must not turn subnormal values into zero.
  if (threshold <= DBL_MIN) threshold = 0.0;
  formatOnce(value, out, style, digits, threshold, quantityCode, point, extra1, extra2);
  while (maxWidth > 0 && out.GetLength() > maxWidth && digits > 1) {
    --digits;
    formatOnce(value, out, style, digits, threshold, quantityCode, point, extra1, extra2);
  }
}

void appendUnitPower(KString& text, int power, const char* name, int style) {
  static const char* const kEntities[] = {"&#178;", "&#179;", "&#8308;", "&#8309;",
                                          "&#8310;", "&#8311;", "&#8312;", "&#8313;"};
  if (!text.IsEmpty()) text += '.';
  text += name;
  if (power == 1) return;
  if (style == 2 && power >= 2 && power <= 9) {
    text += kEntities[power - 2];
  } else if (style == 3 && (power == 2 || power == 3)) {
    text += static_cast<char>(power == 2 ? 0xB2 : 0xB3);
  } else {
    if (style != 0) text += '^';
    text += KGetApplication()->IntegerToText(power, -1);
  }
}
