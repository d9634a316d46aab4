// K3dMatrix: a 3 x 3 matrix of doubles. Zero on default construction. See
// KndMatrix.h for storage, index rules and the virtual-table layout; this
// class adds readPersistent and writePersistent after the concrete slots.
#pragma once
#include "geometry/coords/K3dCoords.h"
#include "geometry/matrices/KndMatrix.h"

class KPersistance;

class K3dMatrix : public KndMatrix<KMatrixBase<double>, K3dMatrix, double, 2, 2> {
 public:
  K3dMatrix() = default;
  // From the elements row by row.
  K3dMatrix(double a00, double a01, double a02, double a10, double a11, double a12, double a20, double a21,
            double a22);
  K3dMatrix(const K3dMatrix&) = default;
  K3dMatrix& operator=(const K3dMatrix&) = default;

  // Expansion along row 0:
  // a00(a11 a22 - a21 a12) - a01(a22 a10 - a12 a20) + a02(a21 a10 - a11 a20).
  double determinant() const override;
  // Adjugate over determinant, formed on a copy; see KMatrixBase::invert.
  bool invert(double tolerance) override;
  // As invert() for a symmetric matrix: forms only the upper cofactors and
  // mirrors them (the lower triangle is not read).
  bool invertSymmetric(double tolerance);
  // The option "matInvertTol" (default 1e-12) of this class.
  double inversionTolerance() const override;

  virtual bool hasInvalidValue() const { return anyInvalid(); }
  virtual int clearInvalidValues() { return zeroInvalid(); }
  virtual bool isOrthogonal(double tolerance) const { return orthogonalWithin(tolerance); }
  // The 9 elements in storage order when the record under `tag` holds exactly
  // 9 reals; otherwise a copy of `fallback`.
  virtual void readPersistent(KPersistance& stream, int tag, const K3dMatrix& fallback);
  virtual void writePersistent(KPersistance& stream, int tag) const;

  // M v.
  K3dCoords times(const K3dCoords& v) const;

 private:
  // Cofactor C(i, j) = (-1)^(i+j) times the minor without row i, column j.
  double cofactor(int i, int j) const;
  bool invertFrom(const K3dMatrix& adjugate, double tolerance);
};
