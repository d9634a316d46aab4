// KGlobalUtils: comparisons shared by the numeric trees.
#pragma once
#include "containers/trees/KTreeItemBase.h"

class QUELM_TREES_API KGlobalUtils {
 public:
  // Tolerant comparison of tree values: positive when b is the greater, 0 when
  // they count as the same value. treeId 211 and 212 use a relative tolerance
  // of 1e-4 (absolute 1e-10); 0, 54, 195 and 210 compare to 15 significant
  // digits; other identifiers are reported when developer diagnostics are on
  // and then compared by significant digits. Two "unset" markers (the
  // smallest normal double) are always equal.
  static int cmpFunc(double a, double b, long treeId);
  // The significant-digit rule alone.
  static int cmpSignificant(double a, double b);
};
