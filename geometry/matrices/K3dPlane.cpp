#include "geometry/matrices/K3dPlane.h"

#include "containers/options/KLibraryOptions.h"
#include "geometry/coords/KPersistReals.h"

namespace {
double minPerp() { return minPerpTolDistOption().value(); }
// Length tests are written so that NaN fails them: a NaN input gives the
// invalid plane, not a plane of NaNs.
bool usableLength(double length) { return length > minPerp(); }
}  // namespace

K3dPlane::K3dPlane(const K3dCoords& normal, double d) {
  double length = normal.length();
  if (!usableLength(length)) return;
  m_a = normal.x() / length;
  m_b = normal.y() / length;
  m_c = normal.z() / length;
  m_d = d / length;
}

bool K3dPlane::set(const K3dCoords& normal, const K3dCoords& point) {
  double length = normal.length();
  if (!usableLength(length)) {
    clear();
    return true;
  }
  K3dCoords unit = normal / length;
  m_a = unit.x();
  m_b = unit.y();
  m_c = unit.z();
  m_d = normal.dot(point) / length;
  return false;
}

bool K3dPlane::setThroughPoints(const K3dCoords& p0, const K3dCoords& p1, const K3dCoords& p2) {
  clear();
  K3dCoords e1 = p1 - p0, e2 = p2 - p0;
  double l1 = e1.length(), l2 = e2.length();
  if (!(l1 >= minPerp()) || !(l2 >= minPerp())) return true;
  K3dCoords n = cross(e1 / l1, e2 / l2);
  double ln = n.length();
  if (!(ln >= minPerp())) return true;
  n /= ln;
  m_a = n.x();
  m_b = n.y();
  m_c = n.z();
  m_d = n.dot(p0);
  if (!std::isfinite(m_d)) {
    clear();
    return true;
  }
  return false;
}

bool K3dPlane::isValid() const { return usableLength(normal().length()); }

bool K3dPlane::intersectLine(const K3dCoords& p1, const K3dCoords& p2, double& t, K3dCoords& point) const {
  K3dCoords n = normal();
  K3dCoords e = p2 - p1;
  double den = n.dot(e);
  t = 0.0;
  point = K3dCoords(0, 0, 0);
  if (!(std::fabs(den) > minPerp())) return true;
  double s = (m_d - n.dot(p1)) / den;
  if (!std::isfinite(s)) return true;
  t = s;
  point = p1 + e * s;
  return false;
}

void K3dPlane::readPersistent(KPersistance& stream, int tag, const K3dPlane& fallback) {
  double v[4];
  if (readRealGroup(stream, tag, 4, v)) {
    *this = fallback;
    return;
  }
  m_a = v[0];
  m_b = v[1];
  m_c = v[2];
  m_d = v[3];
}

void K3dPlane::writePersistent(KPersistance& stream, int tag) const {
  const double v[4] = {m_a, m_b, m_c, m_d};
  writeRealGroup(stream, tag, 4, v);
}
