#include "numerics/shapes/FQuadrilateral2dCoords.h"

#include <algorithm>
#include <cmath>

#include "numerics/shapes/FElementFaces.h"
#include "numerics/shapes/FShapeGeometry.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kDegreesPerRadian = 57.29577951308232;
// A quadratic coefficient below this fraction of the squared size is zero.
constexpr double kNegligible = 1e-14;

double cross(const K2dCoords& a, const K2dCoords& b) { return a.x() * b.y() - a.y() * b.x(); }

// Real roots of A t^2 + B t + C strictly inside (-2, 2), into roots; answers
// their count. scale: the size of the coefficients, for the zero tests.
int quadraticRoots(double A, double B, double C, double scale, double roots[2]) {
  double found[2];
  int n = 0;
  if (std::fabs(A) <= kNegligible * scale) {
    if (B != 0.0) found[n++] = -C / B;
  } else {
    double disc = B * B - 4.0 * A * C;
    if (disc < 0.0) {
      if (disc < -kNegligible * scale * scale) return 0;
      disc = 0.0;  // a double root blurred by rounding
    }
    double q = -(B + std::copysign(std::sqrt(disc), B)) / 2.0;
    found[n++] = q / A;
    if (q != 0.0) found[n++] = C / q;
  }
  int kept = 0;
  for (int i = 0; i < n; ++i)
    if (-2.0 < found[i] && found[i] < 2.0) roots[kept++] = found[i];
  return kept;
}

// Candidates (u, v) of a1 u + a2 v + a3 u v = d from the quadratic in u;
// swapped: the roles of the two coordinates are exchanged. Keeps in best the
// candidate nearest the square.
void solveFor(const K2dCoords& a1, const K2dCoords& a2, const K2dCoords& a3, const K2dCoords& d, double scale,
              bool swapped, K2dCoords& best, double& bestReach) {
  double roots[2];
  int n = quadraticRoots(cross(a1, a3), cross(a1, a2) - cross(d, a3), -cross(d, a2), scale, roots);
  for (int i = 0; i < n; ++i) {
    double u = roots[i];
    K2dCoords along = a2 + a3 * u;
    double lengthSq = along.dot(along);
    if (!(lengthSq > kNegligible * scale)) continue;
    double v = (d - a1 * u).dot(along) / lengthSq;
    if (!(-2.0 < v && v < 2.0)) continue;
    double reach = std::max(std::fabs(u), std::fabs(v));
    if (reach < bestReach) {
      bestReach = reach;
      best = swapped ? K2dCoords(v, u) : K2dCoords(u, v);
    }
  }
}

}  // namespace

FQuadrilateral2dCoords::FQuadrilateral2dCoords(int id, const K2dCoords& a, const K2dCoords& b, const K2dCoords& c,
                                               const K2dCoords& d)
    : FShape2dCoordsBase(id), m_corners{a, b, c, d} {
  m_bCoordsSet = true;
}

FQuadrilateral2dCoords::FQuadrilateral2dCoords(const FQuadrilateral2dCoords& other) : FShape2dCoordsBase(other) {
  if (!other.m_bCoordsSet) return;
  for (int i = 0; i < 4; ++i) m_corners[i] = other.m_corners[i];
  m_bCoordsSet = true;
}

double FQuadrilateral2dCoords::area(int i, int j) const {
  K2dCoords centroid;
  double a;
  return centroidAndArea(i, j, centroid, a) ? -1.0 : a;
}

bool FQuadrilateral2dCoords::setCoords(int i, const K2dCoords& p) {
  if (i < 0 || i > 3) return true;
  m_corners[i] = p;
  m_bCoordsSet = true;
  return false;
}

bool FQuadrilateral2dCoords::reverseQuad() {
  if (!m_bCoordsSet) return true;
  return swapCorners(m_corners, 4, 1, 3);
}

bool FQuadrilateral2dCoords::angles(double out[4]) const {
  out[0] = out[1] = out[2] = out[3] = 0.0;
  if (!m_bCoordsSet) return true;
  double signedArea = 0.0;
  for (int i = 0; i < 4; ++i) signedArea += cross(m_corners[i], m_corners[(i + 1) % 4]);
  double sense = signedArea < 0.0 ? -1.0 : 1.0;
  for (int i = 0; i < 4; ++i) {
    K2dCoords next = m_corners[(i + 1) % 4] - m_corners[i], prev = m_corners[(i + 3) % 4] - m_corners[i];
    double angle = std::atan2(sense * cross(next, prev), next.dot(prev));
    if (angle < 0.0) angle += kTwoPi;
    out[i] = angle * kDegreesPerRadian;
  }
  return false;
}

bool FQuadrilateral2dCoords::centroidAndArea(int, int, K2dCoords& centroid, double& area) const {
  centroid = K2dCoords(0.0, 0.0);
  area = 0.0;
  double angle[4];
  if (angles(angle)) return true;
  int k = 0;
  for (int i = 1; i < 4; ++i)
    if (angle[i] > angle[k]) k = i;
  const K2dCoords &p0 = m_corners[k], &p1 = m_corners[(k + 1) % 4], &p2 = m_corners[(k + 2) % 4],
                  &p3 = m_corners[(k + 3) % 4];
  double a1 = triangleArea(p0, p1, p2), a2 = triangleArea(p2, p3, p0);
  double total = a1 + a2;
  if (!(total > 0.0)) return true;
  centroid = ((p0 + p1 + p2) * (a1 / 3.0) + (p2 + p3 + p0) * (a2 / 3.0)) / total;
  area = total;
  return false;
}

bool FQuadrilateral2dCoords::divisionsFromCount(long count, long minimum, long& count1, long& count2,
                                                double& size1, double& size2) const {
  count1 = count2 = 0;
  size1 = size2 = 0.0;
  if (!m_bCoordsSet || count < 1 || minimum > count) return true;
  double m1 = (distance(m_corners[0], m_corners[1]) + distance(m_corners[2], m_corners[3])) / 2.0;
  double m2 = (distance(m_corners[1], m_corners[2]) + distance(m_corners[3], m_corners[0])) / 2.0;
  long least = std::max(minimum, 1L);  // a count of 0 would make an infinite size
  if (m1 > m2) {
    count1 = count;
    count2 = std::max(least, nearestCount(m2 / (m1 / static_cast<double>(count))));
  } else {
    count2 = count;
    count1 = std::max(least, nearestCount(m1 / (m2 / static_cast<double>(count))));
  }
  size1 = m1 / static_cast<double>(count1);
  size2 = m2 / static_cast<double>(count2);
  return false;
}

bool FQuadrilateral2dCoords::divisionsFromSize(double size1, double size2, long minimum, long& count1,
                                               long& count2) const {
  count1 = count2 = 0;
  if (!m_bCoordsSet || !(size1 > 0.0) || !(size2 > 0.0)) return true;
  double m1 = (distance(m_corners[0], m_corners[1]) + distance(m_corners[2], m_corners[3])) / 2.0;
  double m2 = (distance(m_corners[1], m_corners[2]) + distance(m_corners[3], m_corners[0])) / 2.0;
  count1 = std::max(minimum, nearestCount(m1 / size1));
  count2 = std::max(minimum, nearestCount(m2 / size2));
  return false;
}

bool FQuadrilateral2dCoords::edgesCross() const {
  if (!m_bCoordsSet) return false;
  const K2dCoords* p = m_corners;
  return segmentsCross(p[1], p[2], p[3], p[0], 0.0) || segmentsCross(p[0], p[1], p[2], p[3], 0.0);
}

bool FQuadrilateral2dCoords::isValid() const {
  if (!m_bCoordsSet || edgesCross()) return false;
  const K2dCoords* p = m_corners;
  auto separates = [&](int i, int j) {  // does diagonal i-j separate the other two corners?
    K2dCoords diagonal = p[j] - p[i];
    double s1 = cross(diagonal, p[(i + 1) % 4] - p[i]), s2 = cross(diagonal, p[(i + 3) % 4] - p[i]);
    return (s1 > 0.0 && s2 < 0.0) || (s1 < 0.0 && s2 > 0.0);
  };
  return separates(0, 2) && separates(1, 3);
}

int FQuadrilateral2dCoords::orientation(double tolerance) const {
  if (!m_bCoordsSet) return 0;
  K2dCoords d1 = m_corners[2] - m_corners[0], d2 = m_corners[3] - m_corners[1];
  d1 /= d1.length();
  d2 /= d2.length();
  double z = cross(d1, d2);
  if (!(std::fabs(z) >= tolerance) || z == 0.0) return 0;
  return z > 0.0 ? 1 : -1;
}

bool FQuadrilateral2dCoords::splitIntoQuadrilaterals(FQuadrilateral2dCoords&, FQuadrilateral2dCoords&,
                                                     FQuadrilateral2dCoords&) const {
  return true;
}

int FQuadrilateral2dCoords::globalToLocal(const K2dCoords& point, double margin, double tolerance,
                                          K2dCoords& local) const {
  if (!m_bCoordsSet) return 1;
  const K2dCoords* p = m_corners;
  K2dCoords a0 = (p[0] + p[1] + p[2] + p[3]) / 4.0, a1 = (p[1] + p[2] - p[0] - p[3]) / 4.0,
            a2 = (p[2] + p[3] - p[0] - p[1]) / 4.0, a3 = (p[0] + p[2] - p[1] - p[3]) / 4.0;
  if (!(std::fabs(cross(a1, a2)) > tolerance)) return 1;
  double scale = std::max({a1.dot(a1), a2.dot(a2), a3.dot(a3)});
  K2dCoords d = point - a0, best(0.0, 0.0);
  double reach = INFINITY;
  solveFor(a1, a2, a3, d, scale, false, best, reach);
  if (reach == INFINITY) solveFor(a2, a1, a3, d, scale, true, best, reach);
  if (reach == INFINITY) {  // no candidate strictly inside (-2, 2)^2
    local = K2dCoords(0.0, 0.0);
    return -2;
  }
  local = best;
  if (reach <= 1.0) return 0;
  return reach <= 1.0 + margin ? -1 : -2;
}

bool FQuadrilateral2dCoords::localToGlobal(const K2dCoords& local, K2dCoords& global) const {
  global = K2dCoords(0.0, 0.0);
  if (!m_bCoordsSet) return true;
  double n[4];
  FQuad4Face().shapeFunctions(local, n);
  for (int i = 0; i < 4; ++i) global += m_corners[i] * n[i];
  return false;
}
