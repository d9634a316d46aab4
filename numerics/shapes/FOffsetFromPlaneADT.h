// FOffsetFromPlaneADT: indexes two-dimensional shapes by the range of signed
// distances of their corners from a plane, so that the shapes near an offset
// (or a band of offsets) are found without testing them all.
//
// The shapes (not owned) are listed with addShape; build() makes one
// F1dAdtShape2d item per shape (owned here, deleted with the index or the
// next build) and links them into the tree. The tree's domain is the overall
// offset range widened on both sides by 1/100000 of its width, at least
// 0.001, so that every item lies inside it.
#pragma once
#include <memory>
#include <vector>

#include "geometry/matrices/K3dPlane.h"
#include "numerics/shapes/F1dAdtShape2d.h"
#include "numerics/shapes/KADTRoot.h"

// The smallest and largest signed distance from `plane` of the corners of
// `shape`, taken as (x, y, 0); both 0.0 for a shape without corners. True
// (error, both 0.0) when there is no shape, the plane is not valid or a
// distance is not a finite number.
bool offsetRange(const FShape2dCoordsBase* shape, const K3dPlane& plane, double& min, double& max);

class FOffsetFromPlaneADT : public KObject {
 public:
  using Tree = KADTRoot<F1dAdtShape2d, K1dLine, double>;

  explicit FOffsetFromPlaneADT(const K3dPlane& plane) : m_plane(plane) {}
  FOffsetFromPlaneADT(const FOffsetFromPlaneADT&) = delete;
  FOffsetFromPlaneADT& operator=(const FOffsetFromPlaneADT&) = delete;
  ~FOffsetFromPlaneADT() override { m_tree.clear(); }
  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

  // The plane for the next build.
  void setPlane(const K3dPlane& plane) { m_plane = plane; }
  const K3dPlane& getPlane() const { return m_plane; }
  // Lists a shape for the next build (not owned; it must outlive the index).
  void addShape(FShape2dCoordsBase* shape) { m_shapes.push_back(shape); }
  void clearShapes() { m_shapes.clear(); }
  long getShapeCount() const { return static_cast<long>(m_shapes.size()); }

  // Discards the previous index and indexes the listed shapes. True (error)
  // when there are none or an offset range cannot be computed; the index is
  // then left empty, so searches find nothing rather than a part.
  bool build();

  // The items whose offset range passes query kind `kind` against `query`
  // (see KADTRoot::search).
  long search(const K1dLine& query, KSimpleArray<F1dAdtShape2d*>& results, int kind) const {
    return m_tree.search(query, results, kind);
  }
  const Tree& getTree() const { return m_tree; }
  // The overall offset range of the last build, before widening; empty
  // after a failed build.
  const K1dLine& getOffsetRange() const { return m_range; }
  long getItemCount() const { return static_cast<long>(m_items.size()); }

 private:
  void discard();

  K3dPlane m_plane;
  K1dLine m_range;
  Tree m_tree{1, true};
  std::vector<std::unique_ptr<F1dAdtShape2d>> m_items;
  std::vector<FShape2dCoordsBase*> m_shapes;
};
