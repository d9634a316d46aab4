// Quantity codes: a packed record of nine signed dimension exponents that tells
// converters and formatters what kind of quantity a value is.
//
// Exponents e1..e5 are the powers of force, length, mass, time and temperature
// (the order "N,m,kg,s,C"); e0, e6, e7 and e8 are further qualifiers. Valid
// ranges: e0..e5 in -6..6, e6 in 0..4, e7 and e8 in -2..2. The packing is a
// mixed-radix number offset so that every valid record gives a code in
// 0..603351124:
//
//   k = ((e8*5 + e7)*5 + e6)*13, then k = (k + ei)*13 for e0, e1, e2, e3,
//   code = (k + e4)*13 + 292021944 + e5        (unsigned 32-bit arithmetic)
//
// Digits e0..e5 are balanced base 13, e7 and e8 balanced base 5 and e6 plain
// base 5, so unpacking is exact. A record out of range packs to kInvalid.
//
// In the time exponent, -6 and -5 are markers rather than powers: a value
// carrying them is in the model's time-scale unit (or per time-scale unit) and
// is converted into ordinary time (or per time) before it is shown.
#pragma once

struct KQuantityCodes {
  static constexpr int kExponentCount = 9;
  static constexpr int kTimeExponent = 4;  // index of the time exponent

  static constexpr long kDimensionless = 292021944;
  static constexpr long kLength = 292024141;
  static constexpr long kTime = 292021957;
  static constexpr long kPerTime = 292021931;
  static constexpr long kTimescale = 292021866;  // time exponent -6: marker
  static constexpr long kRate = 292021879;       // time exponent -5: marker
  static constexpr long kInvalid = 555116554;
};

// Packs nine exponents into a quantity code; kInvalid when any is out of range.
long packDimensionCode(const int exponents[KQuantityCodes::kExponentCount]);

// Unpacks a code into nine exponents. Returns true (failed, exponents all 0)
// for kInvalid and for any number that no valid record packs to.
bool unpackDimensionCode(long code, int exponents[KQuantityCodes::kExponentCount]);

// +1 when the code carries the time-scale marker (time exponent -6), -1 for
// the rate marker (-5), 0 otherwise (including invalid codes).
int timescaleMarker(long code);

// The code with its time-scale or rate marker replaced by the ordinary time
// exponent (+1 or -1); any other code is returned unchanged.
long resolveTimescaleMarker(long code);
