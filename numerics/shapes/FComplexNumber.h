// FComplexNumber: a complex number with double real and imaginary parts, the
// value type of the polynomial root finder.
//
// A plain value: copied freely, owns nothing. Arithmetic follows IEEE rules
// (division by zero gives infinities or NaN, never a trap); division uses
// Smith's scaling so that quotients of large or small operands neither
// overflow nor underflow needlessly. abs() is the overflow-safe hypotenuse.
#pragma once
#include <cmath>

#include "core/application/KObject.h"

class FComplexNumber : public KObject {
 public:
  FComplexNumber() = default;
  FComplexNumber(double re, double im = 0.0) : m_real(re), m_imag(im) {}  // NOLINT: implicit from real
  FComplexNumber(const FComplexNumber&) = default;
  FComplexNumber& operator=(const FComplexNumber&) = default;

  double real() const { return m_real; }
  double imag() const { return m_imag; }

  // |z|, without overflow for large parts.
  double abs() const { return std::hypot(m_real, m_imag); }
  // |z|^2 (may overflow where abs() does not).
  double norm() const { return m_real * m_real + m_imag * m_imag; }
  FComplexNumber conj() const { return {m_real, -m_imag}; }
  bool isFinite() const { return std::isfinite(m_real) && std::isfinite(m_imag); }
  bool isReal() const { return m_imag == 0.0; }

  FComplexNumber operator-() const { return {-m_real, -m_imag}; }
  FComplexNumber& operator+=(const FComplexNumber& b) {
    m_real += b.m_real;
    m_imag += b.m_imag;
    return *this;
  }
  FComplexNumber& operator-=(const FComplexNumber& b) {
    m_real -= b.m_real;
    m_imag -= b.m_imag;
    return *this;
  }
  FComplexNumber& operator*=(const FComplexNumber& b) {
    double re = m_real * b.m_real - m_imag * b.m_imag;
    m_imag = m_real * b.m_imag + m_imag * b.m_real;
    m_real = re;
    return *this;
  }
  FComplexNumber& operator*=(double f) {
    m_real *= f;
    m_imag *= f;
    return *this;
  }
  FComplexNumber& operator/=(const FComplexNumber& b);
  FComplexNumber& operator/=(double f) {
    m_real /= f;
    m_imag /= f;
    return *this;
  }

  friend FComplexNumber operator+(FComplexNumber a, const FComplexNumber& b) { return a += b; }
  friend FComplexNumber operator-(FComplexNumber a, const FComplexNumber& b) { return a -= b; }
  friend FComplexNumber operator*(FComplexNumber a, const FComplexNumber& b) { return a *= b; }
  friend FComplexNumber operator*(FComplexNumber a, double f) { return a *= f; }
  friend FComplexNumber operator*(double f, FComplexNumber a) { return a *= f; }
  friend FComplexNumber operator/(FComplexNumber a, const FComplexNumber& b) { return a /= b; }
  friend FComplexNumber operator/(FComplexNumber a, double f) { return a /= f; }
  friend bool operator==(const FComplexNumber& a, const FComplexNumber& b) {
    return a.m_real == b.m_real && a.m_imag == b.m_imag;
  }
  friend bool operator!=(const FComplexNumber& a, const FComplexNumber& b) { return !(a == b); }

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

  double m_real = 0.0;
  double m_imag = 0.0;
};

// Smith's algorithm: divide through by the larger part of the divisor.
inline FComplexNumber& FComplexNumber::operator/=(const FComplexNumber& b) {
  double re, im;
  if (std::fabs(b.m_real) >= std::fabs(b.m_imag)) {
    if (b.m_real == 0.0) {  // b == 0: IEEE quotients of each part
      m_real /= 0.0;
      m_imag /= 0.0;
      return *this;
    }
    double r = b.m_imag / b.m_real;
    double d = b.m_real + b.m_imag * r;
    re = (m_real + m_imag * r) / d;
    im = (m_imag - m_real * r) / d;
  } else {
    double r = b.m_real / b.m_imag;
    double d = b.m_real * r + b.m_imag;
    re = (m_real * r + m_imag) / d;
    im = (m_imag * r - m_real) / d;
  }
  m_real = re;
  m_imag = im;
  return *this;
}
