// K1dCoords: a point on a line (one double, x). See KPositionBase.h for the
// shared operations, the storage and the virtual-table layout.
#pragma once
#include "geometry/coords/KPositionBase.h"

class K1dCoords : public KndPosition<KPositionBase, K1dCoords, double, 0> {
 public:
  K1dCoords() = default;
  explicit K1dCoords(double x) { m_v[0] = x; }
  K1dCoords(const K1dCoords&) = default;
  K1dCoords& operator=(const K1dCoords&) = default;
};
