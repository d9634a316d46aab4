#include "numerics/shapes/FTriangle2dCoords.h"

#include <cmath>

#include "geometry/matrices/K2dMatrix.h"
#include "numerics/shapes/FElementFaces.h"
#include "numerics/shapes/FQuadrilateral2dCoords.h"
#include "numerics/shapes/FShapeGeometry.h"

FTriangle2dCoords::FTriangle2dCoords(int id, const K2dCoords& a, const K2dCoords& b, const K2dCoords& c)
    : FShape2dCoordsBase(id), m_corners{a, b, c} {
  m_bCoordsSet = true;
}

FTriangle2dCoords::FTriangle2dCoords(const FTriangle2dCoords& other) : FShape2dCoordsBase(other) {
  if (!other.m_bCoordsSet) return;
  for (int i = 0; i < 3; ++i) m_corners[i] = other.m_corners[i];
  m_bCoordsSet = true;
}

double FTriangle2dCoords::area(int i, int j) const {
  K2dCoords centroid;
  double a;
  return centroidAndArea(i, j, centroid, a) ? -1.0 : a;
}

bool FTriangle2dCoords::reverse() {
  if (!m_bCoordsSet) return true;
  return swapCorners(m_corners, 3, 1, 2);
}

bool FTriangle2dCoords::setCoords(int i, const K2dCoords& p) {
  if (i < 0 || i > 2) return true;
  m_corners[i] = p;
  m_bCoordsSet = true;
  return false;
}

bool FTriangle2dCoords::centroidAndArea(int, int, K2dCoords& centroid, double& area) const {
  centroid = K2dCoords(0.0, 0.0);
  area = 0.0;
  if (!m_bCoordsSet) return true;
  double a = triangleArea(m_corners[0], m_corners[1], m_corners[2]);
  if (!(a > 0.0)) return true;
  centroid = (m_corners[0] + m_corners[1] + m_corners[2]) / 3.0;
  area = a;
  return false;
}

int FTriangle2dCoords::orientation(double tolerance) const {
  if (!m_bCoordsSet) return 0;
  K2dCoords e1 = m_corners[1] - m_corners[0], e2 = m_corners[2] - m_corners[0];
  e1 /= e1.length();
  e2 /= e2.length();
  double z = e1.x() * e2.y() - e1.y() * e2.x();
  if (!(std::fabs(z) >= tolerance) || z == 0.0) return 0;  // NaN from a zero edge is degenerate too
  return z > 0.0 ? 1 : -1;
}

bool FTriangle2dCoords::splitIntoQuadrilaterals(FQuadrilateral2dCoords& q0, FQuadrilateral2dCoords& q1,
                                                FQuadrilateral2dCoords& q2) const {
  if (!m_bCoordsSet) return true;
  FQuadrilateral2dCoords* out[3] = {&q0, &q1, &q2};
  K2dCoords g = (m_corners[0] + m_corners[1] + m_corners[2]) / 3.0;
  K2dCoords mid[3];
  for (int i = 0; i < 3; ++i) mid[i] = (m_corners[i] + m_corners[(i + 1) % 3]) / 2.0;
  for (int i = 0; i < 3; ++i) {
    if (out[i]->setCoords(0, m_corners[i]) || out[i]->setCoords(1, mid[i]) || out[i]->setCoords(2, g) ||
        out[i]->setCoords(3, mid[(i + 2) % 3]) || !out[i]->isValid())
      return true;
  }
  return false;
}

bool FTriangle2dCoords::angles(double out[4]) const {
  out[0] = out[1] = out[2] = out[3] = 0.0;
  if (!m_bCoordsSet) return true;
  triangleAngles(m_corners[0], m_corners[1], m_corners[2], out[0], out[1], out[2], -1.0);
  return false;
}

int FTriangle2dCoords::globalToLocal(const K2dCoords& point, double margin, double tolerance,
                                     K2dCoords& local) const {
  if (!m_bCoordsSet) return 1;
  K2dMatrix m = K2dMatrix::fromColumns(m_corners[0] - m_corners[2], m_corners[1] - m_corners[2]);
  if (m.invert(tolerance)) return 1;
  local = m.times(point - m_corners[2]);
  double w[3] = {local.x(), local.y(), 1.0 - local.x() - local.y()};
  bool inside = true, near = true;
  for (double v : w) {
    inside = inside && 0.0 <= v && v <= 1.0;
    near = near && -margin <= v && v <= 1.0 + margin;
  }
  return inside ? 0 : near ? -1 : -2;
}

bool FTriangle2dCoords::localToGlobal(const K2dCoords& local, K2dCoords& global) const {
  global = K2dCoords(0.0, 0.0);
  if (!m_bCoordsSet) return true;
  double n[3];
  FTri3Face().shapeFunctions(local, n);
  global = m_corners[0] * n[0] + m_corners[1] * n[1] + m_corners[2] * n[2];
  return false;
}
