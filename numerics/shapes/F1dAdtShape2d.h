// F1dAdtShape2d: a two-dimensional shape as an item of the alternating
// digital tree, keyed by an interval (its range of offsets from a plane, see
// FOffsetFromPlaneADT). The shape is not owned.
#pragma once
#include "geometry/coords/K1dLine.h"
#include "numerics/shapes/FShape2dCoordsBase.h"
#include "numerics/shapes/KADTItem.h"

class F1dAdtShape2d : public KADTItem<F1dAdtShape2d, K1dLine, double> {
 public:
  F1dAdtShape2d(FShape2dCoordsBase* shape, const K1dLine& interval, int id)
      : m_pShape(shape), m_interval(interval), m_nId(id) {}
  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

  const K1dLine& keys() const { return m_interval; }
  FShape2dCoordsBase* getShape() const { return m_pShape; }
  int getId() const { return m_nId; }

 private:
  FShape2dCoordsBase* m_pShape;
  K1dLine m_interval;
  int m_nId;
};
