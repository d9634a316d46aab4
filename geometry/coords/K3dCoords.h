// K3dCoords: a point in space (x, y, z). See KPositionBase.h for the shared
// operations, the storage and the virtual-table layout.
#pragma once
#include "geometry/coords/K2dCoords.h"

class K3dCoords : public KndPosition<KPositionBase, K3dCoords, double, 2> {
 public:
  K3dCoords() = default;
  K3dCoords(double x, double y, double z) {
    m_v[0] = x;
    m_v[1] = y;
    m_v[2] = z;
  }
  // (p.x, p.y, 0).
  explicit K3dCoords(const K2dCoords& p) : K3dCoords(p.x(), p.y(), 0.0) {}
  K3dCoords(const K3dCoords&) = default;
  K3dCoords& operator=(const K3dCoords&) = default;
  friend K3dCoords cross(const K3dCoords& a, const K3dCoords& b) {
    return K3dCoords(a.y() * b.z() - a.z() * b.y(), a.z() * b.x() - a.x() * b.z(), a.x() * b.y() - a.y() * b.x());
  }

  // Index (0, 1 or 2) of the smallest / largest component, or of the
  // smallest / largest magnitude when `absolute`. Ties: component 0 is the
  // first candidate, then 2 and then 1 are compared, and a later one wins
  // only when strictly smaller / larger, so (1, 1, 1) answers 0 and
  // (5, 1, 1) answers 2 for the minimum.
  int minIndex(bool absolute) const { return pick(absolute, [](double c, double best) { return c < best; }); }
  int maxIndex(bool absolute) const { return pick(absolute, [](double c, double best) { return c > best; }); }


 private:
  template <class Better>
  int pick(bool absolute, Better better) const {
    auto value = [&](int i) { return absolute ? std::fabs(m_v[i]) : m_v[i]; };
    int best = 0;
    for (int i : {2, 1})
      if (better(value(i), value(best))) best = i;
    return best;
  }
};
