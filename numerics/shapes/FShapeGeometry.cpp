#include "numerics/shapes/FShapeGeometry.h"

#include <algorithm>
#include <cmath>

#include "containers/options/KLibraryOptions.h"
#include "geometry/matrices/K2dMatrix.h"

namespace {
constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kPi = 3.14159265358979323846;
// Intersections and projections closer than this agree outright.
constexpr double kAgreement = 1e-8;
}  // namespace

double triangleArea(const K2dCoords& a, const K2dCoords& b, const K2dCoords& c) {
  double la = distance(a, b), lb = distance(b, c), lc = distance(c, a);
  double s = (la + lb + lc) / 2.0;
  double product = s * (s - la) * (s - lb) * (s - lc);
  return product > 0.0 ? std::sqrt(product) : 0.0;
}

void triangleAngles(const K2dCoords& p0, const K2dCoords& p1, const K2dCoords& p2, double& angle0, double& angle1,
                    double& angle2, double tolerance) {
  if (tolerance < 0.0) tolerance = 1e-12;
  double a = distance(p0, p1), b = distance(p0, p2), c = distance(p1, p2);
  if (a < tolerance) {
    angle0 = 90.0, angle1 = 90.0, angle2 = 0.0;
    return;
  }
  if (b < tolerance) {
    angle0 = 90.0, angle1 = 0.0, angle2 = 90.0;
    return;
  }
  if (c < tolerance) {
    angle0 = 0.0, angle1 = 90.0, angle2 = 90.0;
    return;
  }
  double cosine[3] = {(a * a + b * b - c * c) / (2.0 * a * b), (a * a + c * c - b * b) / (2.0 * a * c),
                      (b * b + c * c - a * a) / (2.0 * b * c)};
  double magnitude[3];
  for (int k = 0; k < 3; ++k) magnitude[k] = std::min(std::fabs(cosine[k]), 1.0);
  int remainder;
  if (magnitude[0] <= magnitude[1] && magnitude[1] > magnitude[2])
    remainder = 1;
  else if (magnitude[0] > magnitude[1] && magnitude[0] > magnitude[2])
    remainder = 0;
  else
    remainder = 2;
  double angle[3], sum = 0.0;
  for (int k = 0; k < 3; ++k) {
    if (k == remainder) continue;
    angle[k] = std::acos(magnitude[k]);
    if (cosine[k] < 0.0) angle[k] = kPi - angle[k];
    sum += angle[k];
  }
  angle[remainder] = kPi - sum;
  angle0 = angle[0] * kDegreesPerRadian;
  angle1 = angle[1] * kDegreesPerRadian;
  angle2 = angle[2] * kDegreesPerRadian;
}

bool lineIntersection(const K2dCoords& a, const K2dCoords& b, const K2dCoords& c, const K2dCoords& d,
                      K2dCoords& point, double& s, double& t) {
  if (&s == &t) return true;
  K2dCoords ab = b - a, cd = d - c;
  if (!(ab.length() > 0.0) || !(cd.length() > 0.0)) return true;
  K2dMatrix m = K2dMatrix::fromColumns(ab, -cd);
  if (m.invert(-1.0)) return true;
  K2dCoords st = m.times(c - a);
  s = st.x();
  t = st.y();
  point = a + ab * s;
  K2dCoords q = c + cd * t;
  double miss = distance(point, q);
  if (miss <= kAgreement) return false;
  double size = std::max({distance(point, a), distance(point, c), distance(point, b), distance(point, d)});
  return !(miss / size < intersectTolOption().value());
}

bool segmentsCross(const K2dCoords& a, const K2dCoords& b, const K2dCoords& c, const K2dCoords& d,
                   double tolerance) {
  K2dCoords point;
  double s, t;
  if (lineIntersection(b, c, d, a, point, s, t)) return false;
  return tolerance < s && s < 1.0 - tolerance && tolerance < t && t < 1.0 - tolerance;
}

bool pointInTriangle(const K2dCoords& p, const K2dCoords& a, const K2dCoords& b, const K2dCoords& c,
                     double margin) {
  K2dMatrix m = K2dMatrix::fromColumns(a - c, b - c);
  if (m.invert(-1.0)) return false;
  K2dCoords l = m.times(p - c);
  double l1 = l.x(), l2 = l.y(), l3 = 1.0 - l1 - l2;
  K2dCoords q = c * l3 + b * l2 + a * l1;
  double miss = distance(p, q);
  if (!(miss < kAgreement)) {
    double size = std::max({distance(q, a), distance(q, b), distance(q, c)});
    if (!(miss / size < point3TolOption().value())) return false;
  }
  auto inside = [margin](double v) { return margin < v && v < 1.0 - margin; };
  return inside(l1) && inside(l2) && inside(l3);
}

long nearestCount(double v) {
  if (!(std::fabs(v) <= 2147483647.0)) return 0;
  return static_cast<long>(std::round(v));
}
