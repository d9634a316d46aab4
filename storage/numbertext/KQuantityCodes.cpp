#include "storage/numbertext/KQuantityCodes.h"

#include <cstdint>

namespace {

constexpr uint32_t kOffset = 292021944u;
// Largest code of a valid record: every exponent at its upper limit.
constexpr long kMaxCode = 603351124;

bool inRange(const int e[KQuantityCodes::kExponentCount]) {
  for (int i = 0; i <= 5; ++i)
    if (e[i] < -6 || e[i] > 6) return false;
  if (e[6] < 0 || e[6] > 4) return false;
  return e[7] >= -2 && e[7] <= 2 && e[8] >= -2 && e[8] <= 2;
}

// Splits off the least significant balanced digit (-half..half) of `rest`.
int balancedDigit(long& rest, int radix) {
  int half = radix / 2;
  long d = ((rest % radix) + radix) % radix;
  if (d > half) d -= radix;
  rest = (rest - d) / radix;
  return static_cast<int>(d);
}

}  // namespace

long packDimensionCode(const int e[KQuantityCodes::kExponentCount]) {
  if (!inRange(e)) return KQuantityCodes::kInvalid;
  auto u = [](int v) { return static_cast<uint32_t>(v); };
  uint32_t k = ((u(e[8]) * 5u + u(e[7])) * 5u + u(e[6])) * 13u;
  for (int i = 0; i <= 3; ++i) k = (k + u(e[i])) * 13u;
  return static_cast<long>((k + u(e[4])) * 13u + kOffset + u(e[5]));
}

bool unpackDimensionCode(long code, int e[KQuantityCodes::kExponentCount]) {
  for (int i = 0; i < KQuantityCodes::kExponentCount; ++i) e[i] = 0;
  if (code == KQuantityCodes::kInvalid || code < 0 || code > kMaxCode) return true;
  long rest = code - static_cast<long>(kOffset);
  int out[KQuantityCodes::kExponentCount];
  for (int i = 5; i >= 0; --i) out[i] = balancedDigit(rest, 13);
  out[6] = static_cast<int>(((rest % 5) + 5) % 5);
  rest = (rest - out[6]) / 5;
  out[7] = balancedDigit(rest, 5);
  out[8] = balancedDigit(rest, 5);
  if (rest != 0 || !inRange(out)) return true;
  for (int i = 0; i < KQuantityCodes::kExponentCount; ++i) e[i] = out[i];
  return false;
}

int timescaleMarker(long code) {
  int e[KQuantityCodes::kExponentCount];
  if (unpackDimensionCode(code, e)) return 0;
  if (e[KQuantityCodes::kTimeExponent] == -6) return 1;
  if (e[KQuantityCodes::kTimeExponent] == -5) return -1;
  return 0;
}

long resolveTimescaleMarker(long code) {
  int e[KQuantityCodes::kExponentCount];
  int marker = timescaleMarker(code);
  if (marker == 0 || unpackDimensionCode(code, e)) return code;
  e[KQuantityCodes::kTimeExponent] = marker;
  return packDimensionCode(e);
}
