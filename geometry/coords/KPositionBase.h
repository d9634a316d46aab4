// KPositionBase and KndPosition: the common root of the coordinate values
// K1dCoords ... K4dCoords.
//
// A coordinate is a small polymorphic value: N doubles stored consecutively in
// index order (so that component i is addressable by index), copied member by
// member, owning no heap memory. The virtual table exists so that persistence
// and the invalid-number repair can be reached through one interface; its
// order is fixed (other modules rely on it):
//   KPositionBase: 0 destructor, 1 positionQuery
//   KndPosition:   2 readPersistent, 3 writePersistent, 4 hasInvalidValue,
//                  5 clearInvalidValues (the same for every dimension, so
//                  implemented here once)
//
// An invalid number is a NaN, an infinity or a subnormal value; zero (of
// either sign) and normal values are valid.
#pragma once
#include <cmath>

#include "geometry/coords/KPersistReals.h"

// True for NaN, infinities and subnormals.
inline bool isInvalidNumber(double value) { return !(std::isnormal(value) || value == 0.0); }

class KPositionBase {
 public:
  virtual ~KPositionBase() = default;
  // A three-argument query kept for the virtual-table layout; 0 for every
  // coordinate class.
  virtual long positionQuery(long a, long b, long c) const {
    (void)a; (void)b; (void)c;
    return 0;
  }
};

// Base, the derived coordinate class D, the component type T and the highest
// component index. Arithmetic answers D by value.
template <class Base, class D, class T, int MaxIndex>
class KndPosition : public Base {
 public:
  static constexpr int kCount = MaxIndex + 1;

  // Component i is set to stored value i when the stream holds exactly
  // kCount reals under `tag`; otherwise every component is copied from
  // `fallback` (a partial or oversized record is never half-read). Format
  // errors of the file layer propagate as CFileException.
  virtual void readPersistent(KPersistance& stream, int tag, const D& fallback) {
    if (readRealGroup(stream, tag, kCount, m_v))
      for (int i = 0; i < kCount; ++i) m_v[i] = fallback.m_v[i];
  }
  // Writes the components as one array of kCount reals under `tag`.
  virtual void writePersistent(KPersistance& stream, int tag) const { writeRealGroup(stream, tag, kCount, m_v); }
  // True when any component is an invalid number.
  virtual bool hasInvalidValue() const {
    for (int i = 0; i < kCount; ++i)
      if (isInvalidNumber(m_v[i])) return true;
    return false;
  }
  // Sets every invalid component to 0.0; answers 0.
  virtual int clearInvalidValues() {
    for (int i = 0; i < kCount; ++i)
      if (isInvalidNumber(m_v[i])) m_v[i] = 0.0;
    return 0;
  }

  T& operator[](int i) { return m_v[i]; }
  const T& operator[](int i) const { return m_v[i]; }
  const T* data() const { return m_v; }
  T* data() { return m_v; }

  // Components by name, as far as the type has them.
  T& x() { return m_v[0]; }
  T x() const { return m_v[0]; }
  T& y() requires(MaxIndex >= 1) { return m_v[1]; }
  T y() const requires(MaxIndex >= 1) { return m_v[1]; }
  T& z() requires(MaxIndex >= 2) { return m_v[2]; }
  T z() const requires(MaxIndex >= 2) { return m_v[2]; }
  T& w() requires(MaxIndex >= 3) { return m_v[3]; }
  T w() const requires(MaxIndex >= 3) { return m_v[3]; }

  D operator+(const D& b) const { return combine(b, [](T p, T q) { return p + q; }); }
  D operator-(const D& b) const { return combine(b, [](T p, T q) { return p - q; }); }
  D operator*(T s) const { return combine(self(), [s](T p, T) { return p * s; }); }
  friend D operator*(T s, const D& a) { return a * s; }
  // Plain componentwise division: a zero divisor gives infinities or NaN.
  D operator/(T s) const { return combine(self(), [s](T p, T) { return p / s; }); }
  D operator-() const { return combine(self(), [](T p, T) { return -p; }); }
  D& operator+=(const D& b) {
    for (int i = 0; i < kCount; ++i) m_v[i] += b.m_v[i];
    return static_cast<D&>(*this);
  }
  D& operator-=(const D& b) {
    for (int i = 0; i < kCount; ++i) m_v[i] -= b.m_v[i];
    return static_cast<D&>(*this);
  }
  D& operator*=(T s) {
    for (int i = 0; i < kCount; ++i) m_v[i] *= s;
    return static_cast<D&>(*this);
  }
  // Divides each component by s; a divisor of exactly 0.0 leaves the value
  // unchanged.
  D& operator/=(T s) {
    if (s != 0.0)
      for (int i = 0; i < kCount; ++i) m_v[i] /= s;
    return static_cast<D&>(*this);
  }
  // Friends taking the derived type on both sides, so that C++20's reversed
  // candidates find the same function instead of an ambiguous pair.
  friend bool operator==(const D& a, const D& b) {
    for (int i = 0; i < kCount; ++i)
      if (a.m_v[i] != b.m_v[i]) return false;
    return true;
  }

  T dot(const D& b) const {
    T sum = T();
    for (int i = 0; i < kCount; ++i) sum += m_v[i] * b.m_v[i];
    return sum;
  }
  T length() const { return std::sqrt(dot(self())); }
  friend T distance(const D& a, const D& b) { return (a - b).length(); }
  friend void swap(D& a, D& b) {
    D t(a);
    a = b;
    b = t;
  }

 protected:
  KndPosition() = default;
  KndPosition(const KndPosition&) = default;
  KndPosition& operator=(const KndPosition&) = default;
  ~KndPosition() override = default;

  const D& self() const { return static_cast<const D&>(*this); }
  template <class F>
  D combine(const D& b, F f) const {
    D r(self());
    for (int i = 0; i < kCount; ++i) r.m_v[i] = f(m_v[i], b.m_v[i]);
    return r;
  }

  T m_v[kCount] = {};
};
