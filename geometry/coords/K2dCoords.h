// K2dCoords: a point in the plane (x, y). See KPositionBase.h for the shared
// operations, the storage and the virtual-table layout.
#pragma once
#include "geometry/coords/KPositionBase.h"

class K2dCoords : public KndPosition<KPositionBase, K2dCoords, double, 1> {
 public:
  K2dCoords() = default;
  K2dCoords(double x, double y) {
    m_v[0] = x;
    m_v[1] = y;
  }
  // (x, 0).
  explicit K2dCoords(double x) : K2dCoords(x, 0.0) {}
  K2dCoords(const K2dCoords&) = default;
  K2dCoords& operator=(const K2dCoords&) = default;
};
