#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <utility>

#include "geometry/matrices/K3dMatrix.h"
#include "storage/objectfile/KBinaryPersistance.h"
#include "storage/objectfile/KTextPersistance.h"
#include "geometry/matrices/K2dMatrix.h"
#include "tests/support/KOleLeakCheck.h"
#include "tests/support/KScratchFolder.h"

namespace {
using Rows = double[3][3];

// Leibniz sum over the six permutations: a second, independent determinant.
double leibniz(const K3dMatrix& m) {
  static const int perms[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}, {0, 2, 1}, {2, 1, 0}, {1, 0, 2}};
  double sum = 0.0;
  for (int p = 0; p < 6; ++p) sum += (p < 3 ? 1 : -1) * m.at(0, perms[p][0]) * m.at(1, perms[p][1]) * m.at(2, perms[p][2]);
  return sum;
}

// Gauss-Jordan with partial pivoting: a second, independent inverse.
K3dMatrix gaussJordan(const K3dMatrix& m) {
  double a[3][6];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 6; ++j) a[i][j] = j < 3 ? m.at(i, j) : (j - 3 == i ? 1.0 : 0.0);
  for (int c = 0; c < 3; ++c) {
    int p = c;
    for (int r = c + 1; r < 3; ++r)
      if (std::fabs(a[r][c]) > std::fabs(a[p][c])) p = r;
    for (int j = 0; j < 6; ++j) std::swap(a[c][j], a[p][j]);
    double pivot = a[c][c];
    for (int j = 0; j < 6; ++j) a[c][j] /= pivot;
    for (int r = 0; r < 3; ++r)
      if (r != c) {
        double f = a[r][c];
        for (int j = 0; j < 6; ++j) a[r][j] -= f * a[c][j];
      }
  }
  K3dMatrix inv;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) inv.at(i, j) = a[i][j + 3];
  return inv;
}
}  // namespace

TEST(K3dMatrixTest, ElementsAndStorageOrder) {
  K3dMatrix m(1, 2, 3, 4, 5, 6, 7, 8, 9);
  EXPECT_EQ(m.data()[1], 4.0);  // (1, 0)
  EXPECT_EQ(m.data()[3], 2.0);  // (0, 1)
  EXPECT_EQ(m.at(2, 1), 8.0);
  EXPECT_EQ(m.set(2, 1, -8), 5);
  EXPECT_EQ(m.at(2, 1), -8.0);
  EXPECT_LT(m.set(3, 0, 1), 0);
  EXPECT_EQ(&m.at(0, 3), &m.at(0, 0));
  EXPECT_EQ(m.size(), 3);
  EXPECT_EQ(m.times(K3dCoords(1, 0, -1)), K3dCoords(-2, -2, -2));
}

TEST(K3dMatrixTest, UnimodularMatricesInvertExactly) {
  K3dMatrix a(2, 3, 1, 1, 2, 1, 1, 1, 1);
  EXPECT_EQ(a.determinant(), 1.0);
  K3dMatrix inv(a);
  ASSERT_FALSE(inv.invert(-1));
  // adj(a) worked by hand: rows (1 -2 1), (0 1 -1), (-1 1 1).
  EXPECT_EQ(inv, K3dMatrix(1, -2, 1, 0, 1, -1, -1, 1, 1));
  K3dMatrix b(1, 2, 0, 0, 1, 0, 3, 0, -1);  // det -1
  EXPECT_EQ(b.determinant(), -1.0);
  K3dMatrix binv(b);
  ASSERT_FALSE(binv.invert(-1));
  EXPECT_EQ(binv, K3dMatrix(1, -2, 0, 0, 1, 0, 3, -6, -1));
  K3dMatrix diag(2, 0, 0, 0, 4, 0, 0, 0, 8);
  ASSERT_FALSE(diag.invert(0));
  EXPECT_EQ(diag, K3dMatrix(0.5, 0, 0, 0, 0.25, 0, 0, 0, 0.125));
}

TEST(K3dMatrixTest, RandomMatricesAgreeWithASecondMethod) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> u(-10, 10);
  for (int n = 0; n < 300; ++n) {
    K3dMatrix m;
    for (int k = 0; k < 9; ++k) m.at(k % 3, k / 3) = u(rng);
    double det = m.determinant();
    EXPECT_NEAR(det, leibniz(m), 1e-10 * 1000);
    if (std::fabs(det) < 1.0) continue;
    K3dMatrix inv(m), ref = gaussJordan(m);
    ASSERT_FALSE(inv.invert(-1));
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) EXPECT_NEAR(inv.at(i, j), ref.at(i, j), 1e-9) << n;
    // Symmetric variant on m + m^T.
    K3dMatrix s(m);
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) s.at(i, j) = m.at(i, j) + m.at(j, i);
    if (std::fabs(s.determinant()) < 1.0) continue;
    K3dMatrix general(s), symmetric(s);
    ASSERT_FALSE(general.invert(-1));
    ASSERT_FALSE(symmetric.invertSymmetric(-1));
    for (int k = 0; k < 9; ++k) EXPECT_NEAR(general.data()[k], symmetric.data()[k], 1e-12) << n;
  }
}

TEST(K3dMatrixTest, SingularAndBorderlineMatricesAreRefusedUnchanged) {
  K3dMatrix singular(1, 2, 3, 4, 5, 6, 7, 8, 9);
  EXPECT_TRUE(singular.invert(-1));
  EXPECT_EQ(singular, K3dMatrix(1, 2, 3, 4, 5, 6, 7, 8, 9));
  EXPECT_TRUE(singular.invertSymmetric(-1));
  EXPECT_EQ(singular, K3dMatrix(1, 2, 3, 4, 5, 6, 7, 8, 9));
  K3dMatrix tiny(1e-13, 0, 0, 0, 1, 0, 0, 0, 1);
  EXPECT_TRUE(tiny.invert(-1));
  K3dMatrix fine(1e-11, 0, 0, 0, 1, 0, 0, 0, 1);
  EXPECT_FALSE(fine.invert(-1));
  K3dMatrix withNaN(1, 0, 0, 0, std::nan(""), 0, 0, 0, 1);
  EXPECT_TRUE(withNaN.invert(-1));
  EXPECT_TRUE(std::isnan(withNaN.at(1, 1)));
  K3dMatrix zero;
  EXPECT_TRUE(zero.invert(0.0));
}

TEST(K3dMatrixTest, OrthogonalityOfRotationsAndScalings) {
  double c = std::cos(M_PI / 6), s = std::sin(M_PI / 6);
  EXPECT_TRUE(K3dMatrix(c, -s, 0, s, c, 0, 0, 0, 1).isOrthogonal(1e-9));
  EXPECT_TRUE(K3dMatrix(0, 0, 1, 1, 0, 0, 0, 1, 0).isOrthogonal(0));
  EXPECT_FALSE(K3dMatrix(2, 0, 0, 0, 2, 0, 0, 0, 2).isOrthogonal(1e-9));
  EXPECT_FALSE(K3dMatrix(1, 0, 0, 0, 1, 1, 0, 0, 1).isOrthogonal(1e-9));
  EXPECT_FALSE(K3dMatrix().isOrthogonal(1e9));
}

TEST(K3dMatrixTest, InvalidElementsAndMultiplication) {
  K3dMatrix m(1, 2, 3, 4, 5, 6, 7, 8, 9);
  EXPECT_EQ(m.clearInvalidValues(), -1);
  m.at(2, 2) = std::numeric_limits<double>::infinity();
  EXPECT_TRUE(m.hasInvalidValue());
  EXPECT_EQ(m.clearInvalidValues(), 0);
  EXPECT_EQ(m.at(2, 2), 0.0);
  EXPECT_FALSE(m.hasInvalidValue());

  K3dMatrix a(2, 3, 1, 1, 2, 1, 1, 1, 1), inv(a);
  ASSERT_FALSE(inv.invert(-1));
  KHSimple2DArray<double> b(3, 3);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) b.at(i, j) = inv.at(i, j);
  KHSimple2DArray<double> right = a.multiplyRight(b), left = a.multiplyLeft(b);
  ASSERT_EQ(right.getRows(), 3);
  ASSERT_EQ(left.getColumns(), 3);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      EXPECT_EQ(right.at(i, j), i == j ? 1.0 : 0.0);
      EXPECT_EQ(left.at(i, j), i == j ? 1.0 : 0.0);
    }
  KHSimple2DArray<double> column(3, 1);
  column[0] = 1;
  column[1] = 0;
  column[2] = -1;
  KHSimple2DArray<double> r = a.multiplyRight(column);
  ASSERT_EQ(r.getColumns(), 1);
  EXPECT_EQ(r[0], 1.0);
  EXPECT_EQ(r[1], 0.0);
  EXPECT_EQ(r[2], 0.0);
  EXPECT_EQ(a.multiplyLeft(column).getCount(), 0);
}

TEST(K3dMatrixTest, PersistenceReadsNineValuesOrTheFallback) {
  KScratchFolder folder("matrix");
  for (bool text : {true, false}) {
    std::string path = folder.file(text ? "t" : "b");
    const K3dMatrix m(1, 2, 3, 4, 5, 6, 7, 8, 9.5), fallback(9, 9, 9, 9, 9, 9, 9, 9, 9);
    {
      std::unique_ptr<KImplPersistance> w;
      if (text) w = std::make_unique<KTextPersistance>(path.c_str(), true);
      else w = std::make_unique<KBinaryPersistance>(path.c_str(), true);
      w->beginObject("M", "m");
      m.writePersistent(*w, 1);
      double eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
      w->writeR(KPersistName(2, 0), 8, eight);
      w->endObject();
      w->Close();
    }
    std::unique_ptr<KImplPersistance> r;
    if (text) r = std::make_unique<KTextPersistance>(path.c_str(), false);
    else r = std::make_unique<KBinaryPersistance>(path.c_str(), false);
    r->enterObject("M", "m");
    K3dMatrix got;
    got.readPersistent(*r, 1, fallback);
    EXPECT_EQ(got, m);
    got.readPersistent(*r, 2, fallback);
    EXPECT_EQ(got, fallback);
    got = K3dMatrix();
    got.readPersistent(*r, 3, fallback);
    EXPECT_EQ(got, fallback);
  }
}

// Scripts receive a matrix as an N x N array of reals indexed like the
// matrix itself: element (i, j) at array index (i, j), both from 0. What the
// variant held before is released.
class KMatrixVariantTest : public KOleLeakCheck {};

TEST_F(KMatrixVariantTest, ElementsKeepTheirRowAndColumn) {
  K3dMatrix m;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) m.set(i, j, 10.0 * i + j + 0.5);
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(u"replaced");
  ASSERT_FALSE(m.toVariant(&v));
  ASSERT_EQ(v.vt, VT_ARRAY | VT_R8);
  ASSERT_EQ(SafeArrayGetDim(v.parray), 2u);
  for (UINT dim : {1u, 2u}) {
    LONG low = -1, high = -1;
    ASSERT_EQ(SafeArrayGetLBound(v.parray, dim, &low), S_OK);
    ASSERT_EQ(SafeArrayGetUBound(v.parray, dim, &high), S_OK);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 2);
  }
  for (LONG i = 0; i < 3; ++i)
    for (LONG j = 0; j < 3; ++j) {
      const LONG index[2] = {i, j};
      double value = 0;
      ASSERT_EQ(SafeArrayGetElement(v.parray, index, &value), S_OK);
      EXPECT_EQ(value, 10.0 * i + j + 0.5) << i << "," << j;
    }
  EXPECT_EQ(VariantClear(&v), S_OK);

  K2dMatrix two;
  two.set(0, 1, 7.0);
  ASSERT_FALSE(two.toVariant(&v));
  LONG high = -1, index[2] = {0, 1};
  double value = 0;
  ASSERT_EQ(SafeArrayGetUBound(v.parray, 2, &high), S_OK);
  EXPECT_EQ(high, 1);
  ASSERT_EQ(SafeArrayGetElement(v.parray, index, &value), S_OK);
  EXPECT_EQ(value, 7.0);
  EXPECT_EQ(VariantClear(&v), S_OK);
  EXPECT_TRUE(two.toVariant(nullptr));
}
