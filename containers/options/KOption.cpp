#include "containers/options/KOption.h"

#include "core/application/KApplicationAbstract.h"
#include "platform/KLocale.h"

int compareOptionNames(const KString& a, const KString& b) {
  LCID locale = KGetApplication()->GetCompareLocale();
  switch (CompareStringA(locale, NORM_IGNORECASE, a, -1, b, -1)) {
    case CSTR_LESS_THAN: return -1;
    case CSTR_EQUAL: return 0;
    case CSTR_GREATER_THAN: return 1;
    default: return 0;  // the comparison itself failed
  }
}
