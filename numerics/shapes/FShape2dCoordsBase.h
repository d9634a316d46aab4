// FShape2dCoordsBase: a triangle or quadrilateral given by its corners in a
// plane (FTriangle2dCoords, FQuadrilateral2dCoords). Corner i + 1 follows
// corner i around the boundary; edge i runs from corner i to corner
// (i + 1) mod n.
//
// A shape answers questions about its geometry, maps between its local
// coordinates (those of the element faces FTri3Face and FQuad4Face) and the
// plane, locates points and works out mapped-mesh divisions. Until its
// corners are given (the mark is never cleared once set) every operation
// except coords, numCoords, clone and shapeCode fails: errors answer true,
// areas -1.0, counts 0, outputs are zeroed.
//
// The shape owns its client data (deleted with the shape) and tells it when
// corners are swapped. Copies (clone) take the id, the extensions and the
// corners, not the client data, which has a single owner.
#pragma once
#include "containers/memory/KExtensionList.h"
#include "containers/memory/KSimpleArray.h"
#include "geometry/coords/K2dCoords.h"
#include "numerics/shapes/FShape2dClientData.h"

class KTextFile;
class FQuadrilateral2dCoords;

class FShape2dCoordsBase : public KExtensionList {
 public:
  explicit FShape2dCoordsBase(int id = 0) : m_id(id) {}
  FShape2dCoordsBase(const FShape2dCoordsBase& other);
  FShape2dCoordsBase& operator=(const FShape2dCoordsBase&) = delete;
  ~FShape2dCoordsBase() override { delete m_pClientData; }

  // centroidAndArea's area; -1.0 when it fails.
  virtual double area(int i, int j) const = 0;
  virtual bool reverse() = 0;
  // The corners into out (sized to the corner count); emptied and an error
  // when they are not set.
  virtual bool getCoords(KSimpleArray<K2dCoords>& out) const = 0;
  // Corner i; a shared zero coordinate (not to be written) when i is outside
  // or the corners are not set.
  virtual const K2dCoords& coords(int i) const = 0;
  // One line naming the shape, then one per corner; nothing without a file.
  virtual void dump(KTextFile* file) const = 0;
  // Sets corner i and marks the corners set; an error when i is outside.
  virtual bool setCoords(int i, const K2dCoords& p) = 0;
  virtual bool centroidAndArea(int i, int j, K2dCoords& centroid, double& area) const = 0;
  virtual bool reverseQuad() = 0;
  virtual bool divisionsFromCount(long count, long minimum, long& count1, long& count2, double& size1,
                                  double& size2) const = 0;
  virtual bool divisionsFromSize(double size1, double size2, long minimum, long& count1, long& count2) const = 0;
  virtual bool isValid() const = 0;
  virtual bool edgesCross() const = 0;
  // +1 anticlockwise, -1 clockwise, 0 when degenerate within tolerance.
  virtual int orientation(double tolerance) const = 0;
  virtual bool splitIntoQuadrilaterals(FQuadrilateral2dCoords& q0, FQuadrilateral2dCoords& q1,
                                       FQuadrilateral2dCoords& q2) const = 0;
  virtual bool isCounterClockwise() const { return orientation(0.0) > 0; }
  // Interior angles in degrees at each corner (the fourth 0 for a triangle).
  virtual bool angles(double out[4]) const = 0;
  // -2 with corner set when a corner lies within snapDistance (when that is
  // not negative); else 0 when the point is inside or within margin, -1 when
  // it is outside or the shape is singular. corner is -1 unless snapped.
  virtual int locatePoint(const K2dCoords& point, double margin, double snapDistance, int& corner) const;
  virtual int numCoords() const = 0;
  virtual FShape2dCoordsBase* clone() const = 0;
  // 1 triangle, 2 quadrilateral.
  virtual int shapeCode() const = 0;
  // Local coordinates of point: 0 inside (bounds included), -1 within margin
  // outside, -2 farther; 1 when the shape is singular under tolerance.
  virtual int globalToLocal(const K2dCoords& point, double margin, double tolerance, K2dCoords& local) const = 0;
  virtual bool localToGlobal(const K2dCoords& local, K2dCoords& global) const = 0;

  int getId() const { return m_id; }
  void setId(int id) { m_id = id; }
  bool areCoordsSet() const { return m_bCoordsSet; }
  FShape2dClientData* getClientData() const { return m_pClientData; }
  // Takes ownership; the data held before is deleted.
  void setClientData(FShape2dClientData* data) {
    if (data == m_pClientData) return;
    delete m_pClientData;
    m_pClientData = data;
  }

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

 protected:
  static const K2dCoords& zeroCoords();
  // Swaps corners i and j of corners[0 .. n) and tells the client data.
  bool swapCorners(K2dCoords* corners, int n, int i, int j);
  bool copyCorners(const K2dCoords* corners, int n, KSimpleArray<K2dCoords>& out) const;
  void dumpCorners(KTextFile* file, const char* className, const K2dCoords* corners, int n) const;

  int m_id = 0;
  bool m_bCoordsSet = false;
  FShape2dClientData* m_pClientData = nullptr;
};
