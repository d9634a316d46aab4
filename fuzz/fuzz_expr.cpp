// Parses and evaluates arbitrary text in the three length modes and both
// locale rules. Every input must end in a value or a KExprException, never
// a crash, hang or leak; and a second evaluation, which runs from the flat
// form of the tree, must answer exactly what the first answered.
#include "numerics/expr/KExpr.h"
#include "numerics/expr/KExprValues.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;  // entry fields are short; long texts only slow the search
  static KExprValues* values = [] {
    auto* v = new KExprValues(false);
    v->addValue("a", 2);
    v->addValue("len", 4.5);
    return v;
  }();
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (int mode = 0; mode < 3; ++mode) {
    for (int userLocale = 0; userLocale < 2; ++userLocale) {
      KExpr e(userLocale != 0);
      try {
        e.parse(KString(text), userLocale != 0, mode);
      } catch (const KExprException&) {
        continue;
      }
      double v = 0;
      KString error;
      KExprValues undefinedNames(true);
      const bool failed = e.evaluate(values, &v, error, &undefinedNames);
      double again = 0;
      KString againError;
      const bool againFailed = e.evaluate(values, &again, againError);
      const bool sameValue = memcmp(&v, &again, sizeof v) == 0 || (std::isnan(v) && std::isnan(again));
      if (failed != againFailed || !sameValue || error != againError) abort();
    }
  }
  return 0;
}
