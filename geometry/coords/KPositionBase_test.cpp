#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "geometry/coords/K1dCoords.h"
#include "geometry/coords/K4dCoords.h"
#include "storage/objectfile/KTextPersistance.h"
#include "storage/objectfile/KBinaryPersistance.h"
#include "tests/support/KScratchFolder.h"

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const double kSubnormal = std::numeric_limits<double>::denorm_min();
}  // namespace

TEST(KCoordsTest, ConstructorsFillTheMissingComponentsWithZero) {
  EXPECT_EQ(K2dCoords(3.0), K2dCoords(3.0, 0.0));
  EXPECT_EQ(K3dCoords(K2dCoords(1, 2)), K3dCoords(1, 2, 0));
  EXPECT_EQ(K4dCoords(7.0), K4dCoords(7, 0, 0, 0));
  EXPECT_EQ(K4dCoords(K2dCoords(1, 2)), K4dCoords(1, 2, 0, 0));
  EXPECT_EQ(K4dCoords(K3dCoords(1, 2, 3)), K4dCoords(1, 2, 3, 0));
  K4dCoords p(1, 2, 3, 4);
  EXPECT_EQ(p[3], 4.0);
  EXPECT_EQ(p.w(), 4.0);
  p.z() = 9;
  EXPECT_EQ(p[2], 9.0);
  EXPECT_EQ(K1dCoords(5).x(), 5.0);
}

TEST(KCoordsTest, ArithmeticIsComponentwise) {
  K3dCoords a(1, 2, 3), b(4, -5, 6);
  EXPECT_EQ(a + b, K3dCoords(5, -3, 9));
  EXPECT_EQ(a - b, K3dCoords(-3, 7, -3));
  EXPECT_EQ(a * 2.0, K3dCoords(2, 4, 6));
  EXPECT_EQ(2.0 * a, K3dCoords(2, 4, 6));
  EXPECT_EQ(b / 2.0, K3dCoords(2, -2.5, 3));
  EXPECT_DOUBLE_EQ(K2dCoords(3, 4).length(), 5.0);
  EXPECT_DOUBLE_EQ(distance(K3dCoords(1, 1, 1), K3dCoords(3, 4, 7)), 7.0);
  EXPECT_DOUBLE_EQ(distance(K2dCoords(1, 1), K2dCoords(4, 5)), 5.0);
  EXPECT_EQ(K4dCoords(1, 2, 3, 4) + K4dCoords(1, 1, 1, 1), K4dCoords(2, 3, 4, 5));
}

TEST(KCoordsTest, InPlaceDivisionByZeroKeepsTheValuePlainDivisionDoesNot) {
  K2dCoords p(2, 4);
  p /= 0.0;
  EXPECT_EQ(p, K2dCoords(2, 4));
  p /= 2.0;
  EXPECT_EQ(p, K2dCoords(1, 2));
  K2dCoords q = K2dCoords(2, 4) / 0.0;
  EXPECT_TRUE(std::isinf(q.x()) && q.x() > 0);
  EXPECT_TRUE(std::isinf(q.y()) && q.y() > 0);
}

TEST(KCoordsTest, CrossProductFollowsTheRightHand) {
  EXPECT_EQ(cross(K3dCoords(1, 0, 0), K3dCoords(0, 1, 0)), K3dCoords(0, 0, 1));
  EXPECT_EQ(cross(K3dCoords(0, 1, 0), K3dCoords(1, 0, 0)), K3dCoords(0, 0, -1));
  EXPECT_EQ(cross(K3dCoords(1, 2, 3), K3dCoords(4, 5, 6)), K3dCoords(-3, 6, -3));
}

TEST(KCoordsTest, MinAndMaxIndexPreferComponentZeroThenTwoOnTies) {
  EXPECT_EQ(K3dCoords(5, 1, 1).minIndex(false), 2);
  EXPECT_EQ(K3dCoords(1, 1, 1).minIndex(false), 0);
  EXPECT_EQ(K3dCoords(1, 1, 1).maxIndex(false), 0);
  EXPECT_EQ(K3dCoords(-7, 3, 7).maxIndex(true), 0);
  EXPECT_EQ(K3dCoords(-7, 3, 7).maxIndex(false), 2);
  EXPECT_EQ(K3dCoords(-7, 3, 7).minIndex(false), 0);
  EXPECT_EQ(K3dCoords(-7, 3, 7).minIndex(true), 1);
  EXPECT_EQ(K3dCoords(0, 5, 5).maxIndex(false), 2);
  EXPECT_EQ(K3dCoords(9, 5, 4).minIndex(false), 2);
  EXPECT_EQ(K3dCoords(9, 3, 4).minIndex(false), 1);
  EXPECT_EQ(K3dCoords(0, 3, 2).maxIndex(false), 1);
}

TEST(KCoordsTest, SwapExchangesValues) {
  K2dCoords a(1, 2), b(3, 4);
  swap(a, b);
  EXPECT_EQ(a, K2dCoords(3, 4));
  EXPECT_EQ(b, K2dCoords(1, 2));
  K3dCoords c(1, 2, 3), d(4, 5, 6);
  swap(c, d);
  EXPECT_EQ(c, K3dCoords(4, 5, 6));
  EXPECT_EQ(d, K3dCoords(1, 2, 3));
}

TEST(KCoordsTest, InvalidNumbersAreNanInfinityAndSubnormalOnly) {
  EXPECT_FALSE(K3dCoords(0.0, -0.0, 1e-300).hasInvalidValue());
  EXPECT_TRUE(K3dCoords(0, 0, kNaN).hasInvalidValue());
  EXPECT_TRUE(K3dCoords(0, -kInf, 0).hasInvalidValue());
  EXPECT_TRUE(K2dCoords(kSubnormal, 0).hasInvalidValue());
  EXPECT_TRUE(K4dCoords(0, 0, 0, kNaN).hasInvalidValue());
  EXPECT_TRUE(K1dCoords(kInf).hasInvalidValue());

  K3dCoords p(kNaN, 1.0, kInf);
  EXPECT_EQ(p.clearInvalidValues(), 0);
  EXPECT_EQ(p, K3dCoords(0.0, 1.0, 0.0));
  K4dCoords q(0.0, -0.0, kSubnormal, -2.0);
  q.clearInvalidValues();
  EXPECT_EQ(q[2], 0.0);
  EXPECT_TRUE(std::signbit(q[1]));
  EXPECT_EQ(q[3], -2.0);
}

class KCoordsPersistTest : public ::testing::TestWithParam<bool> {
 protected:
  std::unique_ptr<KImplPersistance> open(bool writing) {
    std::string path = m_folder.file("coords");
    if (GetParam()) return std::make_unique<KTextPersistance>(path.c_str(), writing);
    return std::make_unique<KBinaryPersistance>(path.c_str(), writing);
  }
  KScratchFolder m_folder{"coords"};
};

TEST_P(KCoordsPersistTest, ExactCountReadsAndAnyOtherCountTakesTheFallback) {
  {
    auto w = open(true);
    w->beginObject("Geo", "g");
    K3dCoords(1.5, -2, 3e10).writePersistent(*w, 7);
    K2dCoords(4, 5).writePersistent(*w, 8);
    double four[4] = {1, 2, 3, 4};
    w->writeR(KPersistName(9, 0), 4, four);
    K4dCoords(1, 2, 3, 4).writePersistent(*w, 10);
    K1dCoords(-6).writePersistent(*w, 11);
    w->endObject();
    w->Close();
  }
  auto r = open(false);
  r->enterObject("Geo", "g");
  const K3dCoords fallback(7, 8, 9);
  K3dCoords p;
  p.readPersistent(*r, 7, fallback);
  EXPECT_EQ(p, K3dCoords(1.5, -2, 3e10));
  p.readPersistent(*r, 8, fallback);  // two values stored
  EXPECT_EQ(p, fallback);
  p = K3dCoords(0, 0, 0);
  p.readPersistent(*r, 9, fallback);  // four values stored
  EXPECT_EQ(p, fallback);
  p = K3dCoords(0, 0, 0);
  p.readPersistent(*r, 99, fallback);  // missing
  EXPECT_EQ(p, fallback);
  K2dCoords q;
  q.readPersistent(*r, 8, K2dCoords(0, 0));
  EXPECT_EQ(q, K2dCoords(4, 5));
  K4dCoords s;
  s.readPersistent(*r, 10, K4dCoords(0.0));
  EXPECT_EQ(s, K4dCoords(1, 2, 3, 4));
  K1dCoords t;
  t.readPersistent(*r, 11, K1dCoords(0));
  EXPECT_EQ(t.x(), -6.0);
  r->leaveObject();
}

INSTANTIATE_TEST_SUITE_P(Forms, KCoordsPersistTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Text" : "Binary"; });
