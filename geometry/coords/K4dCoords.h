// K4dCoords: four components x, y, z, w (the common-zero solver uses them as
// x, y and the two function values). See KPositionBase.h for the shared
// operations, the storage and the virtual-table layout.
#pragma once
#include "geometry/coords/K3dCoords.h"

class K4dCoords : public KndPosition<KPositionBase, K4dCoords, double, 3> {
 public:
  K4dCoords() = default;
  K4dCoords(double x, double y, double z, double w) {
    m_v[0] = x;
    m_v[1] = y;
    m_v[2] = z;
    m_v[3] = w;
  }
  // (x, 0, 0, 0).
  explicit K4dCoords(double x) : K4dCoords(x, 0.0, 0.0, 0.0) {}
  // (p.x, p.y, 0, 0).
  explicit K4dCoords(const K2dCoords& p) : K4dCoords(p.x(), p.y(), 0.0, 0.0) {}
  // (p.x, p.y, p.z, 0).
  explicit K4dCoords(const K3dCoords& p) : K4dCoords(p.x(), p.y(), p.z(), 0.0) {}
  K4dCoords(const K4dCoords&) = default;
  K4dCoords& operator=(const K4dCoords&) = default;
};
