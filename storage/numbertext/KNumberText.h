// KNumberText: the one formatter through which every number the library shows
// or writes becomes text, and the composer of unit names with powers.
//
// Forms, chosen by the value's quantity code and the cached options:
//   - "N/A" (string 24309) for NaN, infinities and the undefined real
//     (the smallest positive normal double, bits 0x0010000000000000);
//   - feet and inches (5' 6") for lengths while "feetInchesFormat" is on;
//   - time-scale and rate quantities converted into the model's time-scale
//     unit, then shown as time or per time;
//   - otherwise an engineering form: a mantissa and, when not 0, an exponent
//     in steps of three appended as "E%d" ("1.25E3", "15E-6").
//
// Styles:
//   0  engineering, `digits` significant digits, trailing zeros of the
//      fraction dropped (and the decimal point when the fraction is empty);
//      zero is "0.0". Any style number other than 1 formats as style 0.
//   1  fixed mantissa: the same significant digits and exponent, laid out as
//      "%#.*f" lays out the scaled mantissa (trailing zeros kept, decimal point
//      always present); zero is "0." followed by `digits` zeros. Style 1 always
//      takes the exponent e - r.
// Digits: styles 0 and 1 count significant digits; the count is clamped to
// 1..kMaxDigits.
//
// Digits are the correctly rounded decimal digits of the exact binary value,
// with ties (an exact expansion ending in 5 right after the last kept digit)
// rounded half up. Nothing is scaled in floating point, so no exponent can
// overflow or underflow and nothing drifts. With style 0, 20 digits, no width
// limit and the smallest normal double as threshold every finite double reads
// back bit-identical through strtod (subnormals and negative zero included).
#pragma once
#include "storage/numbertext/KQuantityCodes.h"
#include "platform/KString.h"

struct KNumberText {
  static constexpr int kMaxDigits = 40;
  static constexpr UINT kNotAvailableId = 24309;
  // The undefined real: "no value" in entry fields, expressions and files.
  static constexpr double kUndefined = 2.2250738585072014e-308;
  // Room numberToChars needs.
  static constexpr int kMaxChars = kMaxDigits + 64;
};

// Formats `value` into `out`.
//   maxWidth: -1 (or any value <= 0) for none; otherwise a text longer than
//     this is formatted again with one digit fewer while more than one remains.
//   threshold: a value whose magnitude is below it is written as zero. A
//     threshold at or below the smallest normal double suppresses nothing, so
//     that exact writers keep subnormal values and the sign of negative zero.
//   quantityCode: KQuantityCodes::kDimensionless, or 0, for a plain number.
//   decimalPoint: overrides the run-time locale's decimal point when not null.
//   extra1, extra2: carried unchanged into the nested calls of the
//     feet-and-inches and time-scale forms.
// The formatter has no failure: every input gives a text.
void numberToText(double value, KString& out, int style, int digits, int maxWidth, double threshold,
                  long quantityCode, const char* decimalPoint = nullptr, long extra1 = 0, long extra2 = 0);

// The style-0 text of a plain number with no width limit and nothing
// suppressed, written into `text` (kMaxChars bytes, not terminated): the
// same characters as numberToText(value, out, 0, digits, -1, 0.0,
// kDimensionless, decimalPoint). Answers the length, or -1 for NaN,
// infinities and the undefined real (numberToText gives "N/A" for those).
int numberToChars(double value, char* text, int digits, const char* decimalPoint = nullptr);

// Appends a unit name with its power to `text`: "." first when `text` is not
// empty, then `name`, then the power unless it is 1. Styles: 0 digits ("m2"),
// 1 caret ("m^2"), 2 HTML superscript entities for 2..9 ("m&#178;"), 3 the
// code-page superscripts 0xB2 and 0xB3 for 2 and 3; powers a style has no
// superscript for, and styles other than 0..3, use the caret form. The digits
// come from the application's IntegerToText.
void appendUnitPower(KString& text, int power, const char* name, int style);
