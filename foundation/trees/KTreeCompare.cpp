#include "foundation/trees/KTreeCompare.h"

#include "app/core/KApplicationAbstract.h"
#include "platform/KLocale.h"

int kCompareNoCase(const char* a, const char* b) {
  LCID locale = KGetApplication()->GetCompareLocale();
  switch (CompareStringA(locale, NORM_IGNORECASE, a, -1, b, -1)) {
    case CSTR_LESS_THAN:
      return -1;
    case CSTR_GREATER_THAN:
      return 1;
    default:  // equal, or the comparison failed
      return 0;
  }
}

template QUELM_TREES_API int cmpFunc<long>(const long&, const long&, long);
