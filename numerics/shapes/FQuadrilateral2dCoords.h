// FQuadrilateral2dCoords: a quadrilateral of four corners with the bilinear
// mapping of FQuad4Face: local (xi, eta) in [-1, 1]^2, corner 0 at
// (-1, -1), then anticlockwise in local coordinates. See FShape2dCoordsBase
// for the contract of each operation.
//
// globalToLocal inverts the bilinear mapping without iteration: writing it
// as X = a0 + a1 xi + a2 eta + a3 xi eta, crossing the equation with
// (a2 + a3 xi) leaves the quadratic (a1 x a3) xi^2 + (a1 x a2 - d x a3) xi
// - d x a2 = 0 for d = X - a0, solved without cancellation; eta follows by
// projection onto a2 + a3 xi. When that direction vanishes (a collapsed
// edge) the roles of xi and eta are exchanged. Roots strictly between -2 and
// 2 are candidates; the one nearest the square wins.
#pragma once
#include "numerics/shapes/FShape2dCoordsBase.h"

class FQuadrilateral2dCoords : public FShape2dCoordsBase {
 public:
  FQuadrilateral2dCoords() = default;
  FQuadrilateral2dCoords(int id, const K2dCoords& a, const K2dCoords& b, const K2dCoords& c, const K2dCoords& d);
  FQuadrilateral2dCoords(const FQuadrilateral2dCoords& other);

  double area(int i, int j) const override;
  // Calls reverseQuad.
  bool reverse() override { return reverseQuad(); }
  bool getCoords(KSimpleArray<K2dCoords>& out) const override { return copyCorners(m_corners, 4, out); }
  const K2dCoords& coords(int i) const override {
    return m_bCoordsSet && i >= 0 && i < 4 ? m_corners[i] : zeroCoords();
  }
  void dump(KTextFile* file) const override { dumpCorners(file, "FQuadrilateral2dCoords", m_corners, 4); }
  bool setCoords(int i, const K2dCoords& p) override;
  // Split into two triangles at the corner of the largest angle; the area is
  // their sum and the centroid their area-weighted mean.
  bool centroidAndArea(int i, int j, K2dCoords& centroid, double& area) const override;
  // Swaps corners 1 and 3.
  bool reverseQuad() override;
  // Divisions of a mapped mesh: the longer pair of opposite edges (0 and 2,
  // or 1 and 3) gets count, the other pair the nearest count of the same
  // size, at least minimum and at least 1. An error when count < 1 or
  // minimum > count.
  bool divisionsFromCount(long count, long minimum, long& count1, long& count2, double& size1,
                          double& size2) const override;
  // Counts nearest to the mean edge lengths over the sizes, at least
  // minimum; an error when a size is not positive.
  bool divisionsFromSize(double size1, double size2, long minimum, long& count1, long& count2) const override;
  // Corners set, no opposite edges crossing, and each diagonal separating the
  // other two corners (so the quadrilateral is convex and not degenerate).
  bool isValid() const override;
  bool edgesCross() const override;
  // From the unit diagonals: their cross product, +1, -1 or 0.
  int orientation(double tolerance) const override;
  // Not available for quadrilaterals: answers an error.
  bool splitIntoQuadrilaterals(FQuadrilateral2dCoords& q0, FQuadrilateral2dCoords& q1,
                               FQuadrilateral2dCoords& q2) const override;
  bool angles(double out[4]) const override;
  int numCoords() const override { return m_bCoordsSet ? 4 : 0; }
  FShape2dCoordsBase* clone() const override { return new FQuadrilateral2dCoords(*this); }
  int shapeCode() const override { return 2; }
  // tolerance: the mapping is singular (result 1) when the Jacobian
  // determinant at the centre, a1 x a2, is not above it.
  int globalToLocal(const K2dCoords& point, double margin, double tolerance, K2dCoords& local) const override;
  bool localToGlobal(const K2dCoords& local, K2dCoords& global) const override;

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

 private:
  K2dCoords m_corners[4];
};
