// FTriangle2dCoords: a triangle of three corners. Local coordinates
// (xi, eta) are the weights of corners 0 and 1 (corner 2 has 1 - xi - eta),
// as for FTri3Face. See FShape2dCoordsBase for the contract of each
// operation.
#pragma once
#include "numerics/shapes/FShape2dCoordsBase.h"

class FTriangle2dCoords : public FShape2dCoordsBase {
 public:
  FTriangle2dCoords() = default;
  FTriangle2dCoords(int id, const K2dCoords& a, const K2dCoords& b, const K2dCoords& c);
  FTriangle2dCoords(const FTriangle2dCoords& other);

  double area(int i, int j) const override;
  // Swaps corners 1 and 2.
  bool reverse() override;
  bool getCoords(KSimpleArray<K2dCoords>& out) const override { return copyCorners(m_corners, 3, out); }
  const K2dCoords& coords(int i) const override {
    return m_bCoordsSet && i >= 0 && i < 3 ? m_corners[i] : zeroCoords();
  }
  void dump(KTextFile* file) const override { dumpCorners(file, "FTriangle2dCoords", m_corners, 3); }
  bool setCoords(int i, const K2dCoords& p) override;
  // Centroid the mean of the corners, area by Heron's formula.
  bool centroidAndArea(int i, int j, K2dCoords& centroid, double& area) const override;
  bool reverseQuad() override { return true; }
  bool divisionsFromCount(long, long, long& count1, long& count2, double& size1, double& size2) const override {
    count1 = count2 = 0;
    size1 = size2 = 0.0;
    return true;
  }
  bool divisionsFromSize(double, double, long, long& count1, long& count2) const override {
    count1 = count2 = 0;
    return true;
  }
  bool isValid() const override { return m_bCoordsSet; }
  bool edgesCross() const override { return false; }
  int orientation(double tolerance) const override;
  // Three quadrilaterals, one per corner: the corner, the midpoint of the
  // edge leaving it, the centroid and the midpoint of the edge arriving.
  bool splitIntoQuadrilaterals(FQuadrilateral2dCoords& q0, FQuadrilateral2dCoords& q1,
                               FQuadrilateral2dCoords& q2) const override;
  bool angles(double out[4]) const override;
  int numCoords() const override { return m_bCoordsSet ? 3 : 0; }
  FShape2dCoordsBase* clone() const override { return new FTriangle2dCoords(*this); }
  int shapeCode() const override { return 1; }
  int globalToLocal(const K2dCoords& point, double margin, double tolerance, K2dCoords& local) const override;
  bool localToGlobal(const K2dCoords& local, K2dCoords& global) const override;

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

 private:
  K2dCoords m_corners[3];
};
