#include "geometry/matrices/K3dMatrix.h"

#include "containers/options/KOptionBase.h"
#include "geometry/coords/KPersistReals.h"

namespace {
KDoubleOption& invertTolerance3d() {
  static KDoubleOption option("matInvertTol", 1e-12);
  return option;
}
}  // namespace

K3dMatrix::K3dMatrix(double a00, double a01, double a02, double a10, double a11, double a12, double a20,
                     double a21, double a22) {
  const double rows[9] = {a00, a01, a02, a10, a11, a12, a20, a21, a22};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) m_a[i + 3 * j] = rows[3 * i + j];
}

double K3dMatrix::determinant() const {
  const K3dMatrix& a = *this;
  return a.at(0, 0) * (a.at(1, 1) * a.at(2, 2) - a.at(2, 1) * a.at(1, 2)) -
         a.at(0, 1) * (a.at(2, 2) * a.at(1, 0) - a.at(1, 2) * a.at(2, 0)) +
         a.at(0, 2) * (a.at(2, 1) * a.at(1, 0) - a.at(1, 1) * a.at(2, 0));
}

double K3dMatrix::inversionTolerance() const { return invertTolerance3d().value(); }

double K3dMatrix::cofactor(int i, int j) const {
  int r0 = i == 0 ? 1 : 0, r1 = i == 2 ? 1 : 2;
  int c0 = j == 0 ? 1 : 0, c1 = j == 2 ? 1 : 2;
  double minor = at(r0, c0) * at(r1, c1) - at(r0, c1) * at(r1, c0);
  return ((i + j) % 2 == 0) ? minor : -minor;
}

// `adjugate` holds the transposed cofactors; the determinant is the
// expansion along row 0, which is column 0 of the adjugate.
bool K3dMatrix::invertFrom(const K3dMatrix& adjugate, double tolerance) {
  if (tolerance < 0.0) tolerance = inversionTolerance();
  double det = 0.0;
  for (int k = 0; k < 3; ++k) det += at(0, k) * adjugate.at(k, 0);
  if (!std::isfinite(det) || !(std::fabs(det) > tolerance)) return true;
  for (int k = 0; k < 9; ++k) m_a[k] = adjugate.m_a[k] / det;
  return false;
}

bool K3dMatrix::invert(double tolerance) {
  K3dMatrix adjugate;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) adjugate.m_a[j + 3 * i] = cofactor(i, j);
  return invertFrom(adjugate, tolerance);
}

bool K3dMatrix::invertSymmetric(double tolerance) {
  K3dMatrix upper(*this);
  for (int i = 0; i < 3; ++i)
    for (int j = i + 1; j < 3; ++j) upper.m_a[j + 3 * i] = m_a[i + 3 * j];
  K3dMatrix adjugate;
  for (int i = 0; i < 3; ++i)
    for (int j = i; j < 3; ++j) adjugate.m_a[j + 3 * i] = adjugate.m_a[i + 3 * j] = upper.cofactor(i, j);
  // Row 0 lies in the upper triangle, so the determinant needs no mirror.
  return invertFrom(adjugate, tolerance);
}

K3dCoords K3dMatrix::times(const K3dCoords& v) const {
  K3dCoords r(0, 0, 0);
  for (int i = 0; i < 3; ++i) r[i] = m_a[i] * v[0] + m_a[i + 3] * v[1] + m_a[i + 6] * v[2];
  return r;
}

void K3dMatrix::readPersistent(KPersistance& stream, int tag, const K3dMatrix& fallback) {
  if (readRealGroup(stream, tag, 9, m_a)) *this = fallback;
}

void K3dMatrix::writePersistent(KPersistance& stream, int tag) const { writeRealGroup(stream, tag, 9, m_a); }
