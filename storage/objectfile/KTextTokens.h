// KTextTokens: the number tokens of the text object file form, converted in
// place from a range of the line [p, end) without copying or allocating.
//
// Every conversion accepts exactly the tokens that the general rule accepts
// (strtoll / strtoull for integers, KTextToReal for reals) and gives the same
// value: plain decimal tokens take a fast path (std::from_chars, which rounds
// reals correctly, as strtod does); anything else, or anything the fast path
// refuses, is handed to the general rule on a copy of the token.
#pragma once
#include <charconv>
#include <string>

#include "platform/KWinTypes.h"

// A whole token as a signed 64-bit integer (strtoll: no overflow, nothing left).
bool KIntToken(const char* p, const char* end, LONGLONG& value);
// A whole token as an unsigned 64-bit integer (strtoull, no leading minus).
bool KUIntToken(const char* p, const char* end, ULONGLONG& value);
// True when the run-time decimal point is "."; the fast real paths below are
// only right then.
bool KDecimalPointIsDot();
// A whole token as a real: "N/A" is the undefined real; `dot` from
// KDecimalPointIsDot.
bool KRealToken(const char* p, const char* end, bool dot, double& value);
// The end of the plain decimal real that starts at p, or null when none does:
//   real := [ "-" ] digit { digit } [ "." { digit } ] [ ( "E" | "e" ) [ "+" | "-" ] digit { digit } ]
// A token that is exactly such a real is accepted by KRealToken when the
// decimal point is ".".
const char* KPlainRealEnd(const char* p, const char* end);
// Converts the decimal number that starts at p (a digit, a point, or a minus
// before one of them) and answers where it ends; null when there is none or
// it is out of range. A token that ends there is read as KRealToken reads it.
const char* KRealPrefix(const char* p, const char* end, double& value);

// Appends a blank and the decimal text of an integer.
template <class T>
void KAppendIntToken(std::string& line, T value) {
  char text[24];
  text[0] = ' ';
  auto res = std::to_chars(text + 1, text + sizeof text, value);
  line.append(text, static_cast<size_t>(res.ptr - text));
}
