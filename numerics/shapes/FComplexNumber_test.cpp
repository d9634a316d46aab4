#include "numerics/shapes/FComplexNumber.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

TEST(FComplexNumberTest, ArithmeticFollowsTheFieldRules) {
  FComplexNumber a(1.0, 2.0), b(3.0, -1.0);
  EXPECT_EQ(a + b, FComplexNumber(4.0, 1.0));
  EXPECT_EQ(a - b, FComplexNumber(-2.0, 3.0));
  EXPECT_EQ(a * b, FComplexNumber(5.0, 5.0));
  FComplexNumber q = (a * b) / b;
  EXPECT_DOUBLE_EQ(q.real(), 1.0);
  EXPECT_DOUBLE_EQ(q.imag(), 2.0);
  EXPECT_EQ(-a, FComplexNumber(-1.0, -2.0));
  EXPECT_EQ(2.0 * a, FComplexNumber(2.0, 4.0));
  EXPECT_EQ(a / 2.0, FComplexNumber(0.5, 1.0));
}

TEST(FComplexNumberTest, ConjugateAndModulus) {
  FComplexNumber a(3.0, -4.0);
  EXPECT_EQ(a.conj(), FComplexNumber(3.0, 4.0));
  EXPECT_DOUBLE_EQ(a.abs(), 5.0);
  EXPECT_DOUBLE_EQ(a.norm(), 25.0);
  EXPECT_TRUE(FComplexNumber(2.0).isReal());
  EXPECT_FALSE(a.isReal());
}

TEST(FComplexNumberTest, DivisionAndModulusDoNotOverflowNeedlessly) {
  const double big = 1e300;
  FComplexNumber q = FComplexNumber(big, big) / FComplexNumber(big, -big);
  EXPECT_NEAR(q.real(), 0.0, 1e-15);
  EXPECT_NEAR(q.imag(), 1.0, 1e-15);
  EXPECT_DOUBLE_EQ(FComplexNumber(big, big).abs(), big * std::sqrt(2.0));
  FComplexNumber tiny = FComplexNumber(1e-300, 1e-300) / FComplexNumber(1e-300, 0.0);
  EXPECT_DOUBLE_EQ(tiny.real(), 1.0);
  EXPECT_DOUBLE_EQ(tiny.imag(), 1.0);
}

TEST(FComplexNumberTest, DivisionByZeroGivesNonFiniteParts) {
  FComplexNumber q = FComplexNumber(1.0, 0.0) / FComplexNumber();
  EXPECT_FALSE(q.isFinite());
  EXPECT_TRUE(FComplexNumber(1.0, 2.0).isFinite());
}
