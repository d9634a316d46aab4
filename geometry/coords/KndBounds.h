// KndBounds: axis-aligned bounds of one to three dimensions (K1dLine,
// K2dRect, K3dVolume), held as two corners of the coordinate type C: first the
// maximum corner, then the minimum corner.
//
// Bounds are valid when max >= min in every coordinate. The empty state, the
// default, is min = 1.0 and max = 0.0 everywhere, which is not valid. Plain
// values with no heap memory. Virtual-table order: 0 destructor,
// 1 boundsQuery, 2 hasInvalidValue, 3 clearInvalidValues.
#pragma once
#include "geometry/coords/KPositionBase.h"

template <class D, class C, class T, int MaxIndex>
class KndBounds {
 public:
  static constexpr int kCount = MaxIndex + 1;

  virtual ~KndBounds() = default;
  // A three-argument query kept for the virtual-table layout; answers 0.
  virtual long boundsQuery(long a, long b, long c) const {
    (void)a; (void)b; (void)c;
    return 0;
  }
  // Asks the minimum corner, then the maximum corner.
  virtual bool hasInvalidValue() const { return m_min.hasInvalidValue() || m_max.hasInvalidValue(); }
  // Repairs the minimum corner, then the maximum corner. A corner answer
  // other than 0 and -1 ends the repair with 1 (minimum) or 2 (maximum);
  // otherwise the answer is 0 when a corner answered -1 and -1 when none did
  // (so -1 with coordinate corners, which always answer 0).
  virtual int clearInvalidValues() {
    bool sawMinusOne = false;
    C* corners[2] = {&m_min, &m_max};
    for (int k = 0; k < 2; ++k) {
      int answer = corners[k]->clearInvalidValues();
      if (answer != 0 && answer != -1) return k + 1;
      if (answer == -1) sawMinusOne = true;
    }
    return sawMinusOne ? 0 : -1;
  }

  // max >= min in every coordinate (false for NaN corners).
  bool isValid() const {
    for (int i = 0; i < kCount; ++i)
      if (!(m_max[i] >= m_min[i])) return false;
    return true;
  }
  const C& getMin() const { return m_min; }
  const C& getMax() const { return m_max; }
  C& getMin() { return m_min; }
  C& getMax() { return m_max; }
  // Sets both corners from two points: per coordinate the smaller value is
  // the minimum.
  void setFromPoints(const C& a, const C& b) {
    for (int i = 0; i < kCount; ++i) {
      if (a[i] > b[i]) {
        m_min[i] = b[i];
        m_max[i] = a[i];
      } else {
        m_min[i] = a[i];
        m_max[i] = b[i];
      }
    }
  }
  // Back to the empty (invalid) state.
  void setEmpty() {
    for (int i = 0; i < kCount; ++i) {
      m_min[i] = 1.0;
      m_max[i] = 0.0;
    }
  }
  bool operator==(const D& b) const { return m_min == b.m_min && m_max == b.m_max; }
  bool operator!=(const D& b) const { return !(*this == b); }

 protected:
  KndBounds() { setEmpty(); }
  KndBounds(const C& a, const C& b) { setFromPoints(a, b); }
  KndBounds(const KndBounds&) = default;
  KndBounds& operator=(const KndBounds&) = default;

  C m_max;
  C m_min;
};
