// KMatrixBase and KndMatrix: small dense square matrices (K2dMatrix,
// K3dMatrix) held inline, column by column: element (i, j) (row i, column j)
// is at position i + N*j. Plain values; no heap memory except the arrays the
// multiplications answer.
//
// An index pair outside 0 ... N-1 is "no element": reference access yields
// element (0, 0) and set() refuses with a negative index.
//
// Virtual-table order (other modules rely on it; the two open slots are not
// present here):
//   KMatrixBase: 0 destructor, 1 size, 2 set, 3 at, 4 at const, 5 toVariant,
//                6 fill, 7 matrixSizeOfThis, 8 determinant, 9 invert,
//                10 matrixQuery, 11 inversionTolerance, 12 multiplyRight,
//                13 multiplyLeft
//   concrete:    14 hasInvalidValue, 15 clearInvalidValues, 16 isOrthogonal
#pragma once
#include <cmath>

#include "containers/memory/KSimple2DArray.h"
#include "platform/KOleAuto.h"

template <class T>
class KMatrixBase {
 public:
  virtual ~KMatrixBase() = default;
  // Rows (= columns).
  virtual int size() const { return 0; }
  // Sets element (i, j) and answers its storage index; a negative index and
  // no change when (i, j) is outside.
  virtual int set(int i, int j, T value) = 0;
  // Element (i, j); element (0, 0) when (i, j) is outside.
  virtual T& at(int i, int j) = 0;
  virtual const T& at(int i, int j) const = 0;
  // The matrix as a script value: a two-dimensional array of N x N reals
  // (VT_ARRAY | VT_R8, both dimensions from 0), element (i, j) at index
  // (i, j). `variant` is cleared first; true (error) and an empty variant
  // when the array cannot be made.
  virtual bool toVariant(VARIANT* variant) const = 0;
  virtual void fill(T value) = 0;
  virtual long matrixSizeOfThis() const = 0;
  virtual T determinant() const = 0;
  // Replaces the matrix by its inverse when |determinant| > tolerance (a
  // negative tolerance means inversionTolerance()). True (error) and the
  // matrix unchanged otherwise, also when the determinant is not finite.
  virtual bool invert(T tolerance) = 0;
  // A two-argument query kept for the virtual-table layout; answers 0.0.
  virtual T matrixQuery(long a, long b) const {
    (void)a; (void)b;
    return T();
  }
  virtual T inversionTolerance() const { return 1e-12; }
  // this x B for B of N rows and m columns: N x m. Empty when B does not have
  // N rows (or the result cannot be allocated).
  virtual KHSimple2DArray<T> multiplyRight(const KSimple2DArray<T>& b) const = 0;
  // B x this for B of m rows and N columns: m x N. Empty when B does not have
  // N columns.
  virtual KHSimple2DArray<T> multiplyLeft(const KSimple2DArray<T>& b) const = 0;
};

// Base, the derived class D, the element type and the highest row and column
// index.
template <class Base, class D, class T, int MaxRow, int MaxColumn>
class KndMatrix : public Base {
  static_assert(MaxRow == MaxColumn, "square matrices only");

 public:
  static constexpr int kN = MaxRow + 1;

  int size() const override { return kN; }
  int set(int i, int j, T value) override {
    if (!inside(i, j)) return -1;
    m_a[i + kN * j] = value;
    return i + kN * j;
  }
  T& at(int i, int j) override { return m_a[inside(i, j) ? i + kN * j : 0]; }
  const T& at(int i, int j) const override { return m_a[inside(i, j) ? i + kN * j : 0]; }
  bool toVariant(VARIANT* variant) const override {
    if (!variant) return true;
    VariantClear(variant);
    const SAFEARRAYBOUND bounds[2] = {{kN, 0}, {kN, 0}};
    SAFEARRAY* array = SafeArrayCreate(VT_R8, 2, bounds);
    if (!array) return true;
    for (LONG i = 0; i < kN; ++i)
      for (LONG j = 0; j < kN; ++j) {
        const LONG index[2] = {i, j};
        const double value = static_cast<double>(m_a[i + kN * j]);
        if (FAILED(SafeArrayPutElement(array, index, &value))) {
          SafeArrayDestroy(array);
          return true;
        }
      }
    variant->vt = VT_ARRAY | VT_R8;
    variant->parray = array;
    return false;
  }
  void fill(T value) override {
    for (T& a : m_a) a = value;
  }
  long matrixSizeOfThis() const override { return static_cast<long>(sizeof(D)); }

  KHSimple2DArray<T> multiplyRight(const KSimple2DArray<T>& b) const override {
    KHSimple2DArray<T> r;
    long m = b.getColumns();
    if (b.getRows() != kN || m <= 0 || r.resize(kN, m)) return r;
    for (int i = 0; i < kN; ++i)
      for (long c = 0; c < m; ++c) {
        T sum = T();
        for (int k = 0; k < kN; ++k) sum += m_a[i + kN * k] * b.at(k, c);
        r.at(i, c) = sum;
      }
    return r;
  }
  KHSimple2DArray<T> multiplyLeft(const KSimple2DArray<T>& b) const override {
    KHSimple2DArray<T> r;
    long m = b.getRows();
    if (b.getColumns() != kN || m <= 0 || r.resize(m, kN)) return r;
    for (long row = 0; row < m; ++row)
      for (int j = 0; j < kN; ++j) {
        T sum = T();
        for (int k = 0; k < kN; ++k) sum += b.at(row, k) * m_a[k + kN * j];
        r.at(row, j) = sum;
      }
    return r;
  }

  bool operator==(const D& b) const {
    for (int k = 0; k < kN * kN; ++k)
      if (m_a[k] != b.m_a[k]) return false;
    return true;
  }
  // The transpose.
  D transposed() const {
    D t(static_cast<const D&>(*this));
    for (int i = 0; i < kN; ++i)
      for (int j = 0; j < kN; ++j) t.m_a[i + kN * j] = m_a[j + kN * i];
    return t;
  }
  // Storage in column order, kN*kN values.
  const T* data() const { return m_a; }

 protected:
  KndMatrix() = default;
  KndMatrix(const KndMatrix&) = default;
  KndMatrix& operator=(const KndMatrix&) = default;

  static bool inside(int i, int j) {
    return static_cast<unsigned>(i) < static_cast<unsigned>(kN) && static_cast<unsigned>(j) < static_cast<unsigned>(kN);
  }
  // Shared bodies of the concrete classes' operations.
  bool anyInvalid() const;
  int zeroInvalid();
  bool orthogonalWithin(T tolerance) const {
    D inverse(static_cast<const D&>(*this));
    if (inverse.invert(1e-12)) return false;
    for (int i = 0; i < kN; ++i)
      for (int j = 0; j < kN; ++j)
        if (!(std::fabs(m_a[j + kN * i] - inverse.m_a[i + kN * j]) <= tolerance)) return false;
    return true;
  }

  T m_a[kN * kN] = {};
};

#include "geometry/coords/KPositionBase.h"

template <class Base, class D, class T, int R, int C>
bool KndMatrix<Base, D, T, R, C>::anyInvalid() const {
  for (T a : m_a)
    if (isInvalidNumber(a)) return true;
  return false;
}

template <class Base, class D, class T, int R, int C>
int KndMatrix<Base, D, T, R, C>::zeroInvalid() {
  int answer = -1;
  for (T& a : m_a)
    if (isInvalidNumber(a)) {
      a = T();
      answer = 0;
    }
  return answer;
}
