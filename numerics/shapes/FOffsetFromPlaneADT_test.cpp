#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "numerics/shapes/FOffsetFromPlaneADT.h"
#include "numerics/shapes/FQuadrilateral2dCoords.h"
#include "numerics/shapes/FTriangle2dCoords.h"

TEST(FOffsetFromPlaneADTTest, OffsetRangeOfTheCorners) {
  FTriangle2dCoords t(1, K2dCoords(0, 0), K2dCoords(2, 0), K2dCoords(0, 3));
  double lo = -9, hi = -9;
  ASSERT_FALSE(offsetRange(&t, K3dPlane(K3dCoords(1, 1, 0), 0.0), lo, hi));
  EXPECT_DOUBLE_EQ(lo, 0.0);
  EXPECT_DOUBLE_EQ(hi, 3 / std::sqrt(2.0));
  ASSERT_FALSE(offsetRange(&t, K3dPlane(K3dCoords(0, -1, 0), 1.0), lo, hi));  // -y - 1
  EXPECT_DOUBLE_EQ(lo, -4.0);
  EXPECT_DOUBLE_EQ(hi, -1.0);
  // The corners lie at z = 0: a plane parallel to them gives one offset.
  ASSERT_FALSE(offsetRange(&t, K3dPlane(K3dCoords(0, 0, 1), -2.0), lo, hi));
  EXPECT_EQ(lo, 2.0);
  EXPECT_EQ(hi, 2.0);

  FTriangle2dCoords empty;
  lo = hi = 7;
  EXPECT_FALSE(offsetRange(&empty, K3dPlane(K3dCoords(1, 0, 0), 0.0), lo, hi));
  EXPECT_EQ(lo, 0.0);
  EXPECT_EQ(hi, 0.0);
  lo = hi = 7;
  EXPECT_TRUE(offsetRange(&t, K3dPlane(), lo, hi));
  EXPECT_EQ(lo, 0.0);
  EXPECT_TRUE(offsetRange(nullptr, K3dPlane(K3dCoords(1, 0, 0), 0.0), lo, hi));
  FTriangle2dCoords bad(2, K2dCoords(0, 0), K2dCoords(std::nan(""), 0), K2dCoords(0, 3));
  EXPECT_TRUE(offsetRange(&bad, K3dPlane(K3dCoords(1, 0, 0), 0.0), lo, hi));
  EXPECT_EQ(hi, 0.0);
}

TEST(FOffsetFromPlaneADTTest, BuildIndexesEveryShapeAndSearchesAgreeWithAScan) {
  std::mt19937 rng(4);
  std::uniform_real_distribution<double> u(-50, 50), s(0.1, 3);
  std::vector<std::unique_ptr<FShape2dCoordsBase>> shapes;
  const K3dPlane plane(K3dCoords(1, 2, 0), 5.0);
  FOffsetFromPlaneADT index(plane);
  for (int i = 0; i < 400; ++i) {
    K2dCoords a(u(rng), u(rng));
    K2dCoords b = a + K2dCoords(s(rng), 0), c = a + K2dCoords(0, s(rng));
    if (i % 3 == 0)
      shapes.push_back(std::make_unique<FQuadrilateral2dCoords>(i, a, b, b + K2dCoords(0, s(rng)), c));
    else
      shapes.push_back(std::make_unique<FTriangle2dCoords>(i, a, b, c));
    index.addShape(shapes.back().get());
  }
  ASSERT_FALSE(index.build());
  EXPECT_EQ(index.getItemCount(), 400);
  EXPECT_EQ(index.getTree().getCount(), 400);
  double lo = index.getTree().getDomain().low(), hi = index.getTree().getDomain().high();
  EXPECT_LT(lo, index.getOffsetRange().low());
  EXPECT_GT(hi, index.getOffsetRange().high());

  for (int q = 0; q < 100; ++q) {
    double a = u(rng);
    K1dLine query(a, a + s(rng));
    for (int kind = 0; kind < 3; ++kind) {
      KHSimpleArray<F1dAdtShape2d*> results;
      long n = index.search(query, results, kind);
      std::vector<int> got, want;
      for (long i = 0; i < n; ++i) {
        got.push_back(results[i]->getId());
        EXPECT_EQ(results[i]->getShape()->getId(), results[i]->getId());
      }
      for (const auto& shape : shapes) {
        double l, h;
        ASSERT_FALSE(offsetRange(shape.get(), plane, l, h));
        bool pass = kind == 0 ? (l >= query.low() && h <= query.high())
                  : kind == 1 ? (h >= query.low() && query.high() >= l)
                              : (h > query.low() && query.high() > l);
        if (pass) want.push_back(shape->getId());
      }
      std::sort(got.begin(), got.end());
      ASSERT_EQ(got, want) << q << " kind " << kind;
    }
  }
  // Building again replaces the index.
  index.clearShapes();
  index.addShape(shapes[0].get());
  ASSERT_FALSE(index.build());
  EXPECT_EQ(index.getItemCount(), 1);
  EXPECT_EQ(index.getTree().getCount(), 1);
}

TEST(FOffsetFromPlaneADTTest, ShapesAtOneOffsetStillGetAWideDomain) {
  FTriangle2dCoords t1(1, K2dCoords(0, 0), K2dCoords(1, 0), K2dCoords(0, 1));
  FTriangle2dCoords t2(2, K2dCoords(5, 5), K2dCoords(6, 5), K2dCoords(5, 6));
  FOffsetFromPlaneADT index(K3dPlane(K3dCoords(0, 0, 1), 0.0));
  index.addShape(&t1);
  index.addShape(&t2);
  ASSERT_FALSE(index.build());
  const K1dLine& domain = index.getTree().getDomain();
  EXPECT_GE(domain.high() - domain.low(), 0.001);
  EXPECT_DOUBLE_EQ(domain.low(), -0.001);
  EXPECT_DOUBLE_EQ(domain.high(), 0.001);
  KHSimpleArray<F1dAdtShape2d*> results;
  EXPECT_EQ(index.search(K1dLine(0, 0), results, kADTOverlaps), 2);
  EXPECT_EQ(index.search(K1dLine(0, 0), results, kADTOverlapsStrictly), 0);

  // A wide spread widens by 1/100000 of its width.
  FTriangle2dCoords far(3, K2dCoords(0, 0), K2dCoords(1000, 0), K2dCoords(0, 1));
  FOffsetFromPlaneADT wide(K3dPlane(K3dCoords(1, 0, 0), 0.0));
  wide.addShape(&far);
  ASSERT_FALSE(wide.build());
  EXPECT_DOUBLE_EQ(wide.getTree().getDomain().high(), 1000.01);
  EXPECT_DOUBLE_EQ(wide.getTree().getDomain().low(), -0.01);
}

TEST(FOffsetFromPlaneADTTest, FailedBuildsLeaveAnEmptyIndex) {
  FOffsetFromPlaneADT index(K3dPlane(K3dCoords(1, 0, 0), 0.0));
  EXPECT_TRUE(index.build());  // no shapes
  KHSimpleArray<F1dAdtShape2d*> results;
  EXPECT_EQ(index.search(K1dLine(-1e9, 1e9), results, kADTOverlaps), 0);

  FTriangle2dCoords good(1, K2dCoords(0, 0), K2dCoords(1, 0), K2dCoords(0, 1));
  FTriangle2dCoords bad(2, K2dCoords(0, 0), K2dCoords(INFINITY, 0), K2dCoords(0, 1));
  index.addShape(&good);
  ASSERT_FALSE(index.build());
  EXPECT_EQ(index.getItemCount(), 1);
  index.addShape(&bad);
  EXPECT_TRUE(index.build());
  EXPECT_EQ(index.getItemCount(), 0);
  EXPECT_EQ(index.getTree().getCount(), 0);
  EXPECT_FALSE(index.getOffsetRange().isValid());
  EXPECT_EQ(index.search(K1dLine(-1e9, 1e9), results, kADTOverlaps), 0);

  index.clearShapes();
  index.addShape(&good);
  index.setPlane(K3dPlane());
  EXPECT_TRUE(index.build());
  // A shape without corners sits at offset 0.
  FTriangle2dCoords blank;
  index.setPlane(K3dPlane(K3dCoords(1, 0, 0), -3.0));
  index.clearShapes();
  index.addShape(&blank);
  index.addShape(&good);
  ASSERT_FALSE(index.build());
  EXPECT_EQ(index.search(K1dLine(0, 0), results, kADTOverlaps), 1);
  EXPECT_EQ(results[0]->getShape(), &blank);
}
