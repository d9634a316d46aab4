// K1dLine: an interval [min, max] of the real line, empty (min 1, max 0) by
// default. See KndBounds.h.
#pragma once
#include "geometry/coords/K1dCoords.h"
#include "geometry/coords/KndBounds.h"

class K1dLine : public KndBounds<K1dLine, K1dCoords, double, 0> {
 public:
  K1dLine() = default;
  // min = the smaller of a and b, max = the larger.
  K1dLine(double a, double b) : KndBounds(K1dCoords(a), K1dCoords(b)) {}
  K1dLine(const K1dCoords& a, const K1dCoords& b) : KndBounds(a, b) {}
  K1dLine(const K1dLine&) = default;
  K1dLine& operator=(const K1dLine&) = default;

  double low() const { return m_min[0]; }
  double high() const { return m_max[0]; }
  void setLow(double value) { m_min[0] = value; }
  void setHigh(double value) { m_max[0] = value; }
};
