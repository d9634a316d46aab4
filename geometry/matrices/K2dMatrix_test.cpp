#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "geometry/matrices/K2dMatrix.h"
#include "geometry/matrices/KGeometryTestApp.h"

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
}

TEST(K2dMatrixTest, StorageIsByColumnAndOutsideIndicesAreNoElement) {
  K2dMatrix m(1, 2, 3, 4);
  EXPECT_EQ(m.data()[0], 1.0);
  EXPECT_EQ(m.data()[1], 3.0);
  EXPECT_EQ(m.data()[2], 2.0);
  EXPECT_EQ(m.at(0, 1), 2.0);
  EXPECT_EQ(m.at(1, 0), 3.0);
  EXPECT_EQ(m.size(), 2);
  EXPECT_EQ(&m.at(5, 0), &m.at(0, 0));
  EXPECT_EQ(&m.at(0, -1), &m.at(0, 0));
  EXPECT_EQ(&m.at(2, 2), &m.at(0, 0));
  EXPECT_LT(m.set(5, 0, 9.0), 0);
  EXPECT_LT(m.set(-1, 1, 9.0), 0);
  EXPECT_LT(m.set(1, 2, 9.0), 0);
  EXPECT_EQ(m, K2dMatrix(1, 2, 3, 4));
  EXPECT_EQ(m.set(1, 0, 7.0), 1);
  EXPECT_EQ(m.set(0, 1, 8.0), 2);
  EXPECT_EQ(m.set(1, 1, 6.0), 3);
  EXPECT_EQ(m, K2dMatrix(1, 8, 7, 6));
  K2dMatrix zero;
  EXPECT_EQ(zero, K2dMatrix(0, 0, 0, 0));
  zero.fill(2.5);
  EXPECT_EQ(zero, K2dMatrix(2.5, 2.5, 2.5, 2.5));
}

TEST(K2dMatrixTest, RowsColumnsAndApply) {
  K2dMatrix m(1, 2, 3, 4);
  EXPECT_EQ(m.column(0), K2dCoords(1, 3));
  EXPECT_EQ(m.column(1), K2dCoords(2, 4));
  EXPECT_EQ(m.column(2), K2dCoords(0, 0));
  EXPECT_EQ(m.row(0), K2dCoords(1, 2));
  EXPECT_EQ(m.row(1), K2dCoords(3, 4));
  EXPECT_EQ(m.row(2), K2dCoords(0, 0));
  K2dCoords v(5, 6);
  m.apply(v);
  EXPECT_EQ(v, K2dCoords(17, 39));
  EXPECT_EQ(K2dMatrix::fromColumns(K2dCoords(1, 3), K2dCoords(2, 4)), m);
  EXPECT_EQ(m.transposed(), K2dMatrix(1, 3, 2, 4));
}

TEST(K2dMatrixTest, InversionOfExactCases) {
  K2dMatrix d(2, 0, 0, 4);
  EXPECT_FALSE(d.invert(-1));
  EXPECT_EQ(d, K2dMatrix(0.5, 0, 0, 0.25));
  EXPECT_EQ(K2dMatrix(1, 2, 3, 4).determinant(), -2.0);
  K2dMatrix g(1, 2, 3, 4);  // inverse (1/-2)[4 -2; -3 1]
  EXPECT_FALSE(g.invert(-1));
  EXPECT_EQ(g, K2dMatrix(-2, 1, 1.5, -0.5));
  K2dMatrix singular(1, 2, 2, 4);
  EXPECT_TRUE(singular.invert(-1));
  EXPECT_EQ(singular, K2dMatrix(1, 2, 2, 4));
  K2dMatrix withNaN(1, kNaN, 0, 1);
  EXPECT_TRUE(withNaN.invert(-1));
  EXPECT_TRUE(std::isnan(withNaN.at(0, 1)));
  K2dMatrix huge(1e300, 0, 0, 1e300);  // determinant overflows
  EXPECT_TRUE(huge.invert(-1));
  EXPECT_EQ(huge.at(0, 0), 1e300);
}

TEST(K2dMatrixTest, TheDefaultToleranceIsTheClassOption) {
  K2dMatrix small(1e-13, 0, 0, 1);
  EXPECT_TRUE(small.invert(-1));
  K2dMatrix fine(1e-11, 0, 0, 1);
  EXPECT_FALSE(fine.invert(-1));
  EXPECT_DOUBLE_EQ(fine.at(0, 0), 1e11);
  K2dMatrix explicitTolerance(1e-11, 0, 0, 1);
  EXPECT_TRUE(explicitTolerance.invert(1e-10));
  K2dMatrix atTolerance(1e-12, 0, 0, 1);  // |det| must exceed the tolerance
  EXPECT_TRUE(atTolerance.invert(1e-12));

  KGeometryTestApp app;
  app.setReal("matInvertTol", 1e-10);
  EXPECT_DOUBLE_EQ(K2dMatrix().inversionTolerance(), 1e-10);
  K2dMatrix now(1e-11, 0, 0, 1);
  EXPECT_TRUE(now.invert(-1));
}

TEST(K2dMatrixTest, OrthogonalityComparesTheTransposeWithTheInverse) {
  double c = std::cos(M_PI / 6), s = std::sin(M_PI / 6);
  EXPECT_TRUE(K2dMatrix(c, -s, s, c).isOrthogonal(1e-9));
  EXPECT_TRUE(K2dMatrix(0, 1, 1, 0).isOrthogonal(0.0));
  EXPECT_FALSE(K2dMatrix(2, 0, 0, 2).isOrthogonal(1e-9));
  EXPECT_FALSE(K2dMatrix(1, 1, 0, 1).isOrthogonal(1e-9));  // shear: det 1, not orthogonal
  EXPECT_FALSE(K2dMatrix(0, 0, 0, 0).isOrthogonal(1e9));
  EXPECT_TRUE(K2dMatrix(c, -s, s, c).isOrthogonal(1e-9));
  EXPECT_FALSE(K2dMatrix(1.001, 0, 0, 1).isOrthogonal(1e-4));
  EXPECT_TRUE(K2dMatrix(1.001, 0, 0, 1).isOrthogonal(1e-2));
}

TEST(K2dMatrixTest, InvalidElementsAreFoundAndCleared) {
  K2dMatrix m(1, 2, 3, 4);
  EXPECT_FALSE(m.hasInvalidValue());
  EXPECT_EQ(m.clearInvalidValues(), -1);
  m.at(1, 1) = std::numeric_limits<double>::denorm_min();
  EXPECT_TRUE(m.hasInvalidValue());
  EXPECT_EQ(m.clearInvalidValues(), 0);
  EXPECT_EQ(m, K2dMatrix(1, 2, 3, 0));
}

TEST(K2dMatrixTest, MultiplicationWithArraysChecksTheShape) {
  K2dMatrix m(1, 2, 3, 4);
  KHSimple2DArray<double> b(2, 3);  // [[1 0 2] [0 1 -1]]
  double values[6] = {1, 0, 2, 0, 1, -1};
  for (int k = 0; k < 6; ++k) b[k] = values[k];
  KHSimple2DArray<double> r = m.multiplyRight(b);
  ASSERT_EQ(r.getRows(), 2);
  ASSERT_EQ(r.getColumns(), 3);
  double expected[6] = {1, 2, 0, 3, 4, 2};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(r[k], expected[k]) << k;
  EXPECT_EQ(m.multiplyLeft(b).getCount(), 0);  // b has 3 columns

  KHSimple2DArray<double> left(3, 2);  // [[1 1] [0 2] [-1 0]]
  double lv[6] = {1, 1, 0, 2, -1, 0};
  for (int k = 0; k < 6; ++k) left[k] = lv[k];
  KHSimple2DArray<double> l = m.multiplyLeft(left);
  ASSERT_EQ(l.getRows(), 3);
  ASSERT_EQ(l.getColumns(), 2);
  double le[6] = {4, 6, 6, 8, -1, -2};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(l[k], le[k]) << k;
  EXPECT_EQ(m.multiplyRight(left).getCount(), 0);  // 3 rows
  EXPECT_EQ(m.multiplyRight(KHSimple2DArray<double>()).getCount(), 0);
}
