// FBivariantPolynomial<T>: a polynomial in two variables held as a 2D array of
// coefficients, one row per power of the first variable and one column per
// power of the second: P(x, y) = sum a(i, j) x^i y^j with a(i, j) = at(i, j).
// An array without rows or columns is the zero polynomial.
//
// The form flag selects the alternative (trigonometric-power) reading, in
// which the variables are angles and the powers are those of cos x and sin y:
// P = sum a(i, j) cos^i(x) sin^j(y). The plain form is the default.
#pragma once
#include <algorithm>
#include <cmath>

#include "containers/memory/KSimple2DArray.h"
#include "numerics/shapes/FUnivariantPolynomial.h"

template <class T>
class FBivariantPolynomial : public KHSimple2DArray<T> {
 public:
  FBivariantPolynomial() = default;
  // rows x columns zero coefficients.
  FBivariantPolynomial(long rows, long columns) : KHSimple2DArray<T>(rows, columns) {}
  FBivariantPolynomial(const FBivariantPolynomial& other)
      : KHSimple2DArray<T>(other), m_trigonometricForm(other.m_trigonometricForm) {}
  FBivariantPolynomial& operator=(const FBivariantPolynomial& other) {
    this->copy2D(other);
    m_trigonometricForm = other.m_trigonometricForm;
    return *this;
  }

  bool isTrigonometricForm() const { return m_trigonometricForm; }
  void setTrigonometricForm(bool on) { m_trigonometricForm = on; }

  // P(x, y); 0 for the empty polynomial.
  T evaluate(T x, T y) const {
    if (m_trigonometricForm) return evaluatePlain(std::cos(x), std::sin(y));
    return evaluatePlain(x, y);
  }

  // Horner's rule in x for each column, then in y over the column sums.
  T evaluatePlain(T x, T y) const {
    long rows = this->m_nRows, columns = this->m_nColumns;
    if (rows <= 0 || columns <= 0) return T();
    const T* a = this->m_pData;
    T sum = T();
    for (long j = columns - 1; j >= 0; --j) {
      T column = T();
      for (long i = rows - 1; i >= 0; --i) column = column * x + a[i * columns + j];
      sum = sum * y + column;
    }
    return sum;
  }

  // Multiplies every coefficient by factor.
  void scale(T factor) {
    for (long k = 0; k < this->storageSize(); ++k) this->m_pData[k] *= factor;
  }

  // The largest coefficient magnitude; 0 for the empty polynomial.
  T largestMagnitude() const {
    T largest = T();
    for (long k = 0; k < this->storageSize(); ++k) largest = std::max(largest, T(std::fabs(this->m_pData[k])));
    return largest;
  }

  // The partial derivative with respect to y (withRespectToY) or x, in the
  // plain form; a polynomial of one row (or column) less, at least 1 x 1.
  FBivariantPolynomial derivative(bool withRespectToY) const {
    long rows = this->m_nRows, columns = this->m_nColumns;
    if (rows <= 0 || columns <= 0) return FBivariantPolynomial();
    long outRows = withRespectToY ? rows : std::max(rows - 1, 1L);
    long outColumns = withRespectToY ? std::max(columns - 1, 1L) : columns;
    FBivariantPolynomial d(outRows, outColumns);
    if (d.getRows() != outRows) return FBivariantPolynomial();
    for (long i = 0; i < rows; ++i)
      for (long j = 0; j < columns; ++j) {
        long power = withRespectToY ? j : i;
        if (power == 0) continue;
        T term = this->at(i, j) * static_cast<T>(power);
        if (withRespectToY)
          d.at(i, j - 1) = term;
        else
          d.at(i - 1, j) = term;
      }
    return d;
  }

  // Row index (a polynomial in y) when alongColumns is false, column index
  // (a polynomial in x) when it is true; empty when index is outside.
  FUnivariantPolynomial<T> univariate(long index, bool alongColumns) const {
    FUnivariantPolynomial<T> out;
    long rows = this->m_nRows, columns = this->m_nColumns;
    if (index < 0 || (alongColumns ? index >= columns : index >= rows)) return out;
    out.setSize(alongColumns ? rows : columns);
    for (long k = 0; k < out.getCount(); ++k) out[k] = alongColumns ? this->at(k, index) : this->at(index, k);
    return out;
  }

  // Drops trailing columns (highest powers of y first), then trailing rows,
  // whose coefficients are all below limit in magnitude (strictly); at least
  // one row and one column remain. True when storage could not be had.
  bool trim(T limit) {
    long rows = this->m_nRows, columns = this->m_nColumns;
    if (rows <= 0 || columns <= 0) return false;
    auto small = [&](long i, long j) { return std::fabs(this->at(i, j)) < limit; };
    long keepColumns = columns;
    while (keepColumns > 1) {
      bool allSmall = true;
      for (long i = 0; i < rows && allSmall; ++i) allSmall = small(i, keepColumns - 1);
      if (!allSmall) break;
      --keepColumns;
    }
    long keepRows = rows;
    while (keepRows > 1) {
      bool allSmall = true;
      for (long j = 0; j < keepColumns && allSmall; ++j) allSmall = small(keepRows - 1, j);
      if (!allSmall) break;
      --keepRows;
    }
    if (keepRows == rows && keepColumns == columns) return false;
    FBivariantPolynomial<T> cut(keepRows, keepColumns);
    if (cut.getRows() != keepRows) return true;
    for (long i = 0; i < keepRows; ++i)
      for (long j = 0; j < keepColumns; ++j) cut.at(i, j) = this->at(i, j);
    cut.m_trigonometricForm = m_trigonometricForm;
    *this = cut;
    return false;
  }

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

 private:
  bool m_trigonometricForm = false;
};
