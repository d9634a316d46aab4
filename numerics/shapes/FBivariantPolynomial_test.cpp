#include "numerics/shapes/FBivariantPolynomial.h"

#include <cmath>
#include <random>

#include <gtest/gtest.h>

namespace {
// sum a(i, j) x^i y^j term by term, the independent reading of the array.
double directSum(const FBivariantPolynomial<double>& p, double x, double y) {
  double sum = 0.0;
  for (long i = 0; i < p.getRows(); ++i)
    for (long j = 0; j < p.getColumns(); ++j) sum += p.at(i, j) * std::pow(x, i) * std::pow(y, j);
  return sum;
}
}  // namespace

TEST(FBivariantPolynomialTest, RowsArePowersOfXAndColumnsPowersOfY) {
  FBivariantPolynomial<double> p(2, 2);
  p.at(0, 0) = 1.0;
  p.at(1, 0) = 2.0;
  p.at(0, 1) = 3.0;
  p.at(1, 1) = 4.0;
  EXPECT_DOUBLE_EQ(p.evaluate(2.0, 3.0), 38.0);
  FBivariantPolynomial<double> q(3, 1);  // 1 + 2x + 3x^2, no y
  q.at(0, 0) = 1.0;
  q.at(1, 0) = 2.0;
  q.at(2, 0) = 3.0;
  EXPECT_DOUBLE_EQ(q.evaluate(2.0, 100.0), 17.0);
  EXPECT_DOUBLE_EQ(FBivariantPolynomial<double>().evaluate(2.0, 3.0), 0.0);
}

TEST(FBivariantPolynomialTest, HornerMatchesTheTermByTermSum) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(-2.0, 2.0);
  for (int rows = 1; rows <= 4; ++rows)
    for (int columns = 1; columns <= 4; ++columns) {
      FBivariantPolynomial<double> p(rows, columns);
      for (long k = 0; k < p.getCount(); ++k) p[k] = u(rng);
      for (int n = 0; n < 5; ++n) {
        double x = u(rng), y = u(rng);
        EXPECT_NEAR(p.evaluate(x, y), directSum(p, x, y), 1e-12) << rows << "x" << columns;
      }
    }
}

TEST(FBivariantPolynomialTest, ScaleUnivariateAndDerivatives) {
  FBivariantPolynomial<double> p(2, 3);  // rows: x^0, x^1; columns: y^0 .. y^2
  double a[2][3] = {{1, 2, 3}, {4, 5, 6}};
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 3; ++j) p.at(i, j) = a[i][j];
  FUnivariantPolynomial<double> row = p.univariate(1, false), column = p.univariate(2, true);
  ASSERT_EQ(row.getCount(), 3);
  EXPECT_EQ(row[0], 4.0);
  EXPECT_EQ(row[2], 6.0);
  ASSERT_EQ(column.getCount(), 2);
  EXPECT_EQ(column[0], 3.0);
  EXPECT_EQ(column[1], 6.0);
  EXPECT_EQ(p.univariate(2, false).getCount(), 0);
  EXPECT_EQ(p.univariate(3, true).getCount(), 0);
  EXPECT_EQ(p.univariate(-1, true).getCount(), 0);
  EXPECT_EQ(p.largestMagnitude(), 6.0);

  FBivariantPolynomial<double> dx = p.derivative(false), dy = p.derivative(true);
  EXPECT_DOUBLE_EQ(dx.evaluate(0.7, -1.3), 4 + 5 * -1.3 + 6 * 1.69);
  EXPECT_DOUBLE_EQ(dy.evaluate(0.7, -1.3), 2 + 6 * -1.3 + 0.7 * (5 + 12 * -1.3));

  p.scale(-0.5);
  EXPECT_EQ(p.at(1, 2), -3.0);
  EXPECT_EQ(p.at(0, 0), -0.5);
}

TEST(FBivariantPolynomialTest, TrimDropsSmallHighColumnsThenRows) {
  FBivariantPolynomial<double> p(3, 3);
  p.at(0, 0) = 1.0;
  p.at(1, 1) = 2.0;
  p.at(2, 0) = 1e-9;   // small: the row of x^2 goes
  p.at(0, 2) = -1e-9;  // small: the column of y^2 goes
  p.at(1, 2) = 1e-8;   // not below the limit: keeps the column ...
  ASSERT_FALSE(p.trim(1e-8));
  EXPECT_EQ(p.getColumns(), 3);
  EXPECT_EQ(p.getRows(), 2);  // ... the rows are trimmed over the kept columns
  p.at(1, 2) = 0.0;
  ASSERT_FALSE(p.trim(1e-8));
  EXPECT_EQ(p.getColumns(), 2);
  EXPECT_DOUBLE_EQ(p.evaluate(3.0, 5.0), 31.0);
  FBivariantPolynomial<double> zero(2, 2);
  ASSERT_FALSE(zero.trim(1e-8));
  EXPECT_EQ(zero.getRows(), 1);
  EXPECT_EQ(zero.getColumns(), 1);
}

TEST(FBivariantPolynomialTest, TrigonometricFormReadsPowersOfCosineAndSine) {
  FBivariantPolynomial<double> p(2, 2);
  p.at(1, 0) = 1.0;
  p.at(0, 1) = 1.0;
  p.at(1, 1) = 2.0;
  EXPECT_FALSE(p.isTrigonometricForm());
  p.setTrigonometricForm(true);
  FBivariantPolynomial<double> copy(p);
  double x = 0.4, y = 1.1;
  EXPECT_DOUBLE_EQ(copy.evaluate(x, y), std::cos(x) + std::sin(y) + 2 * std::cos(x) * std::sin(y));
}
