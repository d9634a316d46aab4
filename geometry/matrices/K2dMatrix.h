// K2dMatrix: a 2 x 2 matrix of doubles, the solver of the small linear
// systems of the shape and intersection code. Zero on default construction.
// See KndMatrix.h for storage, index rules and the virtual-table layout.
#pragma once
#include "geometry/coords/K2dCoords.h"
#include "geometry/matrices/KndMatrix.h"

class K2dMatrix : public KndMatrix<KMatrixBase<double>, K2dMatrix, double, 1, 1> {
 public:
  K2dMatrix() = default;
  // From the elements row by row: [a00 a01; a10 a11].
  K2dMatrix(double a00, double a01, double a10, double a11) {
    m_a[0] = a00;
    m_a[1] = a10;
    m_a[2] = a01;
    m_a[3] = a11;
  }
  // The matrix whose columns are c0 and c1.
  static K2dMatrix fromColumns(const K2dCoords& c0, const K2dCoords& c1) {
    return K2dMatrix(c0.x(), c1.x(), c0.y(), c1.y());
  }
  K2dMatrix(const K2dMatrix&) = default;
  K2dMatrix& operator=(const K2dMatrix&) = default;

  // a00*a11 - a01*a10.
  double determinant() const override { return m_a[0] * m_a[3] - m_a[2] * m_a[1]; }
  bool invert(double tolerance) override;
  // The option "matInvertTol" (default 1e-12) of this class.
  double inversionTolerance() const override;

  // Any element NaN, infinite or subnormal.
  virtual bool hasInvalidValue() const { return anyInvalid(); }
  // Sets invalid elements to 0.0; 0 when something changed, -1 otherwise.
  virtual int clearInvalidValues() { return zeroInvalid(); }
  // The transpose equals the inverse (formed with tolerance 1e-12) within
  // `tolerance` in every element; false for a singular matrix.
  virtual bool isOrthogonal(double tolerance) const { return orthogonalWithin(tolerance); }

  // (a0j, a1j); (0, 0) when j is outside.
  K2dCoords column(int j) const { return inside(0, j) ? K2dCoords(m_a[2 * j], m_a[1 + 2 * j]) : K2dCoords(0, 0); }
  // (ai0, ai1); (0, 0) when i is outside.
  K2dCoords row(int i) const { return inside(i, 0) ? K2dCoords(m_a[i], m_a[i + 2]) : K2dCoords(0, 0); }
  // v := M v.
  void apply(K2dCoords& v) const { v = times(v); }
  K2dCoords times(const K2dCoords& v) const {
    return K2dCoords(m_a[0] * v.x() + m_a[2] * v.y(), m_a[1] * v.x() + m_a[3] * v.y());
  }
};
