// Entry-field text into numbers. Both conversions run the text through the
// expression evaluator, so an entry may be a number, an expression over the
// predefined values and the caller's named values, or (for lengths in a feet
// or inches unit set) a feet-and-inches text such as 5' 6".
//
// Failures are results: true = failed, with the message text in `error` and
// the output left as it was.
#pragma once
#include "platform/KString.h"

class KExprValues;

// Significant digits entry fields show by default.
constexpr int kEntryDigits = 15;

// An integer entry: the value must round to a whole number (within 1e-16);
// otherwise "\"%s\" entered where an integer was expected" (50314). The
// undefined value and values beyond the 32-bit range fail the same way.
bool textToInteger(const KString& text, long& out, KString& error, bool userLocale);

// A real entry of the quantity `quantityCode`; `value` holds the field's
// current value on entry.
//  1. Text equal (after trimming) to the current value as the field shows it
//     (numberToText, style 0, `digits`, no width limit, the quantity code):
//     the entry is unchanged and `value` keeps its full precision.
//  2. "N/A" (string 24309, or the text "N/A"): the undefined value.
//  3. Otherwise the text is parsed (with the user's decimal point when
//     userLocale is set; lengths in the application's feet-and-inches mode)
//     and evaluated against `values` (may be null).
//  4. Time-scale quantities are converted from the application's time-scale
//     unit: times multiplied by its seconds, rates divided by them.
// An argument of "pwlt" outside its table fails with "##<end value>##".
bool textToReal(const KString& text, double& value, KString& error, const KExprValues* values,
                long quantityCode, int digits = kEntryDigits, bool userLocale = true);
