#include "foundation/options/KOption.h"

#include "app/core/KApplicationAbstract.h"

#if __has_include("platform/KLocale.h")
#include "platform/KLocale.h"

int compareOptionNames(const KString& a, const KString& b) {
  LCID locale = KGetApplication()->GetCompareLocale();
  switch (CompareStringA(locale, NORM_IGNORECASE, a, -1, b, -1)) {
    case 1: return -1;  // CSTR_LESS_THAN
    case 2: return 0;   // CSTR_EQUAL
    case 3: return 1;   // CSTR_GREATER_THAN
    default: return 0;  // the comparison failed
  }
}
#else
// Until the locale layer is linked in: a byte-wise comparison that ignores
// ASCII letter case.
int compareOptionNames(const KString& a, const KString& b) {
  int c = a.CompareNoCase(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}
#endif
