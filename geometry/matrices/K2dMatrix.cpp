#include "geometry/matrices/K2dMatrix.h"

#include "containers/options/KOptionBase.h"

namespace {
KDoubleOption& invertTolerance2d() {
  static KDoubleOption option("matInvertTol", 1e-12);
  return option;
}
}  // namespace

double K2dMatrix::inversionTolerance() const { return invertTolerance2d().value(); }

bool K2dMatrix::invert(double tolerance) {
  if (tolerance < 0.0) tolerance = inversionTolerance();
  double det = determinant();
  if (!std::isfinite(det) || !(std::fabs(det) > tolerance)) return true;
  double a00 = m_a[0], a10 = m_a[1], a01 = m_a[2], a11 = m_a[3];
  m_a[0] = a11 / det;
  m_a[1] = -a10 / det;
  m_a[2] = -a01 / det;
  m_a[3] = a00 / det;
  return false;
}
