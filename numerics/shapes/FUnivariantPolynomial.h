// FUnivariantPolynomial<T>: a polynomial in one variable held as its
// coefficients c0 ... cn (element k is the coefficient of t^k), so that
// P(t) = sum ck t^k. Polynomials of up to 50 coefficients live in the array's
// built-in buffer and need no heap.
//
// The array may carry zero leading coefficients; degree() and trim() see
// through them. An empty polynomial is the zero polynomial.
//
// realRoots() answers the real roots of a polynomial with double
// coefficients; the roots come from FPolynomialRootFinder (see its header for
// the method and its accuracy).
#pragma once
#include <initializer_list>

#include "containers/memory/KSimpleArray.h"

template <class T>
class FUnivariantPolynomial : public KSSimpleArray<T> {
 public:
  FUnivariantPolynomial() = default;
  // Coefficients from the constant term up: {c0, c1, ..., cn}.
  FUnivariantPolynomial(std::initializer_list<T> coefficients) {
    this->setSize(static_cast<long>(coefficients.size()));
    long k = 0;
    for (const T& c : coefficients) (*this)[k++] = c;
  }
  FUnivariantPolynomial(const FUnivariantPolynomial& other) : KSSimpleArray<T>() { this->copyFrom(other); }
  FUnivariantPolynomial& operator=(const FUnivariantPolynomial& other) {
    this->copyFrom(other);
    return *this;
  }

  // P(t) by Horner's rule; 0 for the empty polynomial.
  T evaluate(T t) const {
    long k = this->getCount();
    T sum = T();
    while (k > 0) sum = sum * t + (*this)[--k];
    return sum;
  }

  // Multiplies every coefficient by factor.
  void scale(T factor) {
    for (long k = 0; k < this->getCount(); ++k) (*this)[k] *= factor;
  }

  // Index of the highest coefficient that is not exactly zero; -1 for the
  // zero polynomial.
  long degree() const {
    long k = this->getCount() - 1;
    while (k >= 0 && (*this)[k] == T()) --k;
    return k;
  }

  // Drops zero leading coefficients, so that the count is degree() + 1.
  void trim() { this->setSize(degree() + 1); }

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
};

// Real roots of p, ascending, written into roots (resized to the count).
// tolerance: relative step at which an approximation stops iterating (values
// above 1e-6 count as 1e-6; non-positive ones select 1e-6); a polish follows
// either way. maxIterations bounds the simultaneous iteration (0 or less
// selects 100). range > 0 caps the radius of the starting points. A root
// counts as real when its imaginary part is below 1e-7 in magnitude; with
// includeComplexParts every root is kept and its real part written. Answers
// the number of roots written, 0 for the zero polynomial, and -1 (roots
// emptied) when the iteration does not converge or a coefficient is not
// finite.
int realRoots(const FUnivariantPolynomial<double>& p, KSimpleArray<double>& roots, double tolerance,
              int maxIterations, double range, bool includeComplexParts);
