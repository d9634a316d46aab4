#include "model/units/KEntryConversion.h"

#include "core/application/KApplicationAbstract.h"
#include "numerics/expr/KExpr.h"
#include "numerics/expr/KExprFunctions.h"
#include "numerics/expr/KExprValues.h"
#include "platform/KExceptions.h"
#include "platform/KLocale.h"
#include "storage/numbertext/KNumberText.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

enum : UINT { kIntegerExpectedId = 50314 };

// Evaluates the parsed tree the way the evaluator's own entry points do, but
// lets the table function's end value through so that it can be reported in
// its own form. True = failed.
bool evaluateTree(KExpr& expr, const KExprValues* values, double& result, KString& error) {
  int errorKind = 0, errorCode = 0;
  KString message;
  KExprContext c;
  c.m_root = &expr;
  c.m_values = values;
  c.m_errorKind = &errorKind;
  c.m_errorCode = &errorCode;
  c.m_message = &message;
  try {
    result = expr.evaluateNode(c);
  } catch (const KValueExprException& e) {
    error.Format("##%G##", e.m_value);
    return true;
  } catch (const KExprException& e) {
    error = e.m_message;
    return true;
  }
  error = errorCode != 0 ? KExprMessage(static_cast<UINT>(errorCode), message) : message;
  return !error.IsEmpty();
}

// Parses and evaluates `text`; true = failed with the message in `error`.
bool evaluateText(const KString& text, bool userLocale, int lengthMode, const KExprValues* values,
                  double& result, KString& error) {
  try {
    KExpr expr(userLocale);
    expr.parse(text, userLocale, lengthMode);
    if (values) return evaluateTree(expr, values, result, error);
    KExprValues none(true);
    return evaluateTree(expr, &none, result, error);
  } catch (const KValueExprException& e) {
    error.Format("##%G##", e.m_value);
  } catch (const KExprException& e) {
    error = e.m_message;
  } catch (const CException& e) {
    if (!e.GetErrorMessage(error) || error.IsEmpty()) error = "the entry could not be read";
  }
  return true;
}

// number = [ "+" | "-" ] digits [ point [ digits ] ] [ ("e" | "E") [ "+" | "-" ] digits ]
// The text of a plain number gives the same value here as through the
// parser (which reads the digits with from_chars and applies the sign as a
// negation); anything this reader is unsure of goes the long way.
bool readPlainNumber(const KString& text, char point, double& value) {
  const char* s = text.GetString();
  const int n = text.GetLength();
  if (n == 0 || n > 64) return false;
  int i = 0;
  bool negative = false;
  if (s[0] == '+' || s[0] == '-') negative = s[i++] == '-';
  char buf[72];
  int m = 0;
  bool digits = false;
  for (; i < n; ++i) {
    char c = s[i];
    if (c >= '0' && c <= '9') {
      digits = true;
      buf[m++] = c;
    } else if (c == point) {
      buf[m++] = '.';
    } else if (c == 'e' || c == 'E' || c == '+' || c == '-') {
      buf[m++] = c;
    } else {
      return false;
    }
  }
  if (!digits || m == 0 || buf[0] == '+' || buf[0] == '-') return false;
  auto r = std::from_chars(buf, buf + m, value);
  // Numbers out of range go the long way, which answers them as the parser does.
  if (r.ec != std::errc() || r.ptr != buf + m) return false;
  if (negative) value = -value;
  return true;
}

// The value as the field shows it, in the unit of its text.
double shownValue(double value, long code) {
  int marker = code == KQuantityCodes::kDimensionless ? 0 : timescaleMarker(code);
  if (marker == 0) return value;
  long secondsPerUnit = KGetApplication()->GetTimescaleUnit();
  if (secondsPerUnit <= 0) return value;
  return marker > 0 ? value / secondsPerUnit : value * secondsPerUnit;
}

bool isUnchanged(const KString& text, double value, long code, int digits) {
  KString shown;
  numberToText(value, shown, 0, digits, -1, 0.0, code);
  return shown == text;
}

bool isNotAvailable(const KString& text) {
  if (text == "N/A") return true;
  KString na;
  return na.LoadString(KNumberText::kNotAvailableId) && text == na;
}

void convertFromTimescale(double& v, long code) {
  int marker = code == KQuantityCodes::kDimensionless ? 0 : timescaleMarker(code);
  if (marker == 0 || KExprIsUndefined(v)) return;
  long secondsPerUnit = KGetApplication()->GetTimescaleUnit();
  if (secondsPerUnit <= 0) return;
  v = marker > 0 ? v * secondsPerUnit : v / secondsPerUnit;
}

}  // namespace

bool textToInteger(const KString& text, long& out, KString& error, bool userLocale) {
  double v = 0.0;
  if (evaluateText(text, userLocale, kExprLengthNone, nullptr, v, error)) return true;
  long rounded = KExprRound(v);
  // Written so that NaN fails too; the undefined value is no integer.
  if (!(std::fabs(v - static_cast<double>(rounded)) <= 1e-16) || KExprIsUndefined(v)) {
    KString format;
    if (!format.LoadString(kIntegerExpectedId)) format = "\"%s\" entered where an integer was expected";
    error.Format(format.GetString(), text.GetString());
    return true;
  }
  out = rounded;
  return false;
}

bool textToReal(const KString& text, double& value, KString& error, const KExprValues* values,
                long quantityCode, int digits, bool userLocale) {
  KString trimmed(text);
  trimmed.Trim();
  double v = 0.0;
  if (readPlainNumber(trimmed, userLocale ? KUserDecimalChar() : '.', v)) {
    // Formatting the current value costs more than reading the number, so it
    // is done only when the text reads close enough to be that value's text.
    double shown = shownValue(value, quantityCode);
    double tolerance = std::fabs(shown) * std::pow(10.0, 1 - std::max(1, std::min(digits, 40)));
    if (std::isfinite(shown) && !KExprIsUndefined(shown) && std::fabs(v - shown) <= tolerance &&
        isUnchanged(trimmed, value, quantityCode, digits))
      return false;
  } else {
    if (isUnchanged(trimmed, value, quantityCode, digits)) return false;
    if (isNotAvailable(trimmed)) {
      value = KExprUndefined;
      return false;
    }
    int lengthMode = quantityCode == KQuantityCodes::kLength ? KGetApplication()->GetFeetInchesMode()
                                                             : kExprLengthNone;
    if (evaluateText(text, userLocale, lengthMode, values, v, error)) return true;
  }
  convertFromTimescale(v, quantityCode);
  value = v;
  error.Empty();
  return false;
}
