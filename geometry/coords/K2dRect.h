// K2dRect: an axis-aligned rectangle, empty (min 1, max 0) by default. See
// KndBounds.h. The parametric domains of element faces are rectangles:
// quadrilateral (-1, -1)-(1, 1), triangle (0, 0)-(1, 1), beam (-1, 0)-(1, 0).
#pragma once
#include "geometry/coords/K2dCoords.h"
#include "geometry/coords/KndBounds.h"

// The two-dimensional bounds layer; adds no data.
template <class D, class C, class T>
class K2dBounds : public KndBounds<D, C, T, 1> {
 protected:
  using KndBounds<D, C, T, 1>::KndBounds;
};

class K2dRect : public K2dBounds<K2dRect, K2dCoords, double> {
 public:
  K2dRect() = default;
  // Both corners at p.
  explicit K2dRect(const K2dCoords& p) : K2dBounds(p, p) {}
  // Componentwise minimum and maximum of a and b.
  K2dRect(const K2dCoords& a, const K2dCoords& b) : K2dBounds(a, b) {}
  // The two points (x1, y1) and (x2, y2).
  K2dRect(double x1, double y1, double x2, double y2) : K2dBounds(K2dCoords(x1, y1), K2dCoords(x2, y2)) {}
  K2dRect(const K2dRect&) = default;
  K2dRect& operator=(const K2dRect&) = default;

  // min <= p <= max in both coordinates, edges included.
  bool contains(const K2dCoords& p) const {
    return m_min.x() <= p.x() && p.x() <= m_max.x() && m_min.y() <= p.y() && p.y() <= m_max.y();
  }
  // max_i - min_i.
  double size(int i) const { return m_max[i] - m_min[i]; }
  // Grows (positive) or shrinks (negative) every side about the centre by
  // `percent` of the size: 100 doubles the width and height, -100 collapses
  // the rectangle to its centre, 0 keeps it.
  void scaleAboutCentre(double percent) {
    double factor = (percent + 100.0) / 100.0;
    for (int i = 0; i < 2; ++i) {
      double mid = (m_max[i] + m_min[i]) / 2.0;
      double half = (m_max[i] - m_min[i]) * factor / 2.0;
      m_max[i] = mid + half;
      m_min[i] = mid - half;
    }
  }
};
