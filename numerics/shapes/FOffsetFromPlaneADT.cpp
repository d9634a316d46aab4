#include "numerics/shapes/FOffsetFromPlaneADT.h"

#include <cmath>

bool offsetRange(const FShape2dCoordsBase* shape, const K3dPlane& plane, double& min, double& max) {
  min = max = 0.0;
  if (!shape || !plane.isValid()) return true;
  int n = shape->numCoords();
  for (int i = 0; i < n; ++i) {
    double d = plane.signedDistance(K3dCoords(shape->coords(i)));
    if (!std::isfinite(d)) {
      min = max = 0.0;
      return true;
    }
    if (i == 0 || d < min) min = d;
    if (i == 0 || d > max) max = d;
  }
  return false;
}

void FOffsetFromPlaneADT::discard() {
  m_tree.reset(K1dLine());
  m_items.clear();
  m_range = K1dLine();
}

bool FOffsetFromPlaneADT::build() {
  discard();
  if (m_shapes.empty()) return true;
  std::vector<K1dLine> ranges;
  ranges.reserve(m_shapes.size());
  K1dLine all;
  for (FShape2dCoordsBase* shape : m_shapes) {
    double lo, hi;
    if (offsetRange(shape, m_plane, lo, hi)) {
      discard();
      return true;
    }
    ranges.emplace_back(lo, hi);
    if (!all.isValid()) {
      all = ranges.back();
    } else {
      if (lo < all.low()) all.setLow(lo);
      if (hi > all.high()) all.setHigh(hi);
    }
  }
  m_range = all;

  double pad = (all.high() - all.low()) / 100000.0;
  if (pad < 0.001) pad = 0.001;
  K1dLine domain(all.low() - pad, all.high() + pad);
  if (pad > domain.high() - domain.low()) domain = K1dLine(domain.low() - pad / 2, domain.high() + pad / 2);
  m_tree.reset(domain);

  // Items are made and linked in the tree's path order, so that they lie in
  // memory in the order searches visit them.
  std::vector<long> order;
  if (m_tree.pathOrder(ranges.data(), static_cast<long>(ranges.size()), order)) {
    discard();
    return true;
  }
  m_items.reserve(order.size());
  for (long i : order) {
    FShape2dCoordsBase* shape = m_shapes[static_cast<size_t>(i)];
    m_items.push_back(std::make_unique<F1dAdtShape2d>(shape, ranges[static_cast<size_t>(i)], shape->getId()));
    if (m_tree.insert(m_items.back().get())) {  // outside the domain: values too large to widen
      discard();
      return true;
    }
  }
  return false;
}
