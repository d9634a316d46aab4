#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "geometry/matrices/K3dPlane.h"
#include "geometry/matrices/KGeometryTestApp.h"
#include "storage/objectfile/KTextPersistance.h"
#include "tests/support/KScratchFolder.h"

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();

void expectInvalid(const K3dPlane& p) {
  EXPECT_FALSE(p.isValid());
  EXPECT_EQ(p.normal(), K3dCoords(0, 0, 0));
  EXPECT_EQ(p.offset(), 0.0);
}
}  // namespace

TEST(K3dPlaneTest, ConstructorsNormaliseOrGiveTheInvalidPlane) {
  expectInvalid(K3dPlane());
  K3dPlane p(K3dCoords(0, 0, 2), 6.0);
  EXPECT_EQ(p.normal(), K3dCoords(0, 0, 1));
  EXPECT_EQ(p.offset(), 3.0);
  K3dPlane raw(0, 0, 2, 6);
  EXPECT_EQ(raw.normal(), K3dCoords(0, 0, 2));
  EXPECT_EQ(raw.signedDistance(K3dCoords(0, 0, 4)), 2.0);
  K3dPlane np(K3dCoords(3, 0, 4), K3dCoords(1, 1, 1));
  EXPECT_EQ(np.normal(), K3dCoords(0.6, 0, 0.8));
  EXPECT_DOUBLE_EQ(np.offset(), 1.4);
  K3dPlane seg = K3dPlane::fromSegment(K3dCoords(1, 2, 3), K3dCoords(1, 2, 5));
  EXPECT_EQ(seg.normal(), K3dCoords(0, 0, 1));
  EXPECT_EQ(seg.offset(), 3.0);
  K3dPlane copy(seg);
  EXPECT_EQ(copy.signedDistance(K3dCoords(0, 0, 0)), -3.0);

  expectInvalid(K3dPlane(K3dCoords(0, 0, 1e-9), 1.0));
  expectInvalid(K3dPlane(K3dCoords(0, 0, 1e-8), 1.0));  // must exceed the tolerance
  EXPECT_TRUE(K3dPlane(K3dCoords(0, 0, 2e-8), 1.0).isValid());
  expectInvalid(K3dPlane(K3dCoords(kNaN, 0, 1), 1.0));
  K3dPlane failed;
  EXPECT_TRUE(failed.set(K3dCoords(0, 0, 0), K3dCoords(1, 1, 1)));
  expectInvalid(failed);
  expectInvalid(K3dPlane::fromSegment(K3dCoords(1, 1, 1), K3dCoords(1, 1, 1)));
  EXPECT_FALSE(K3dPlane(0, 0, 1e-8, 0).isValid());
}

TEST(K3dPlaneTest, ThroughThreePoints) {
  K3dPlane p(K3dCoords(0, 0, 0), K3dCoords(1, 0, 0), K3dCoords(0, 1, 0));
  EXPECT_EQ(p.normal(), K3dCoords(0, 0, 1));
  EXPECT_EQ(p.offset(), 0.0);
  EXPECT_EQ(p.signedDistance(K3dCoords(0, 0, 5)), 5.0);
  EXPECT_EQ(p.signedDistance(K3dCoords(0, 0, -5)), -5.0);
  K3dPlane flipped(K3dCoords(0, 0, 0), K3dCoords(0, 1, 0), K3dCoords(1, 0, 0));
  EXPECT_EQ(flipped.normal(), K3dCoords(0, 0, -1));
  K3dPlane tilted(K3dCoords(1, 0, 0), K3dCoords(0, 1, 0), K3dCoords(0, 0, 1));
  double third = 1 / std::sqrt(3.0);
  EXPECT_NEAR(tilted.normal().x(), third, 1e-15);
  EXPECT_NEAR(tilted.offset(), third, 1e-15);
  EXPECT_NEAR(tilted.signedDistance(K3dCoords(0, 0, 0)), -third, 1e-15);

  expectInvalid(K3dPlane(K3dCoords(0, 0, 0), K3dCoords(1, 1, 1), K3dCoords(2, 2, 2)));
  expectInvalid(K3dPlane(K3dCoords(0, 0, 0), K3dCoords(0, 0, 0), K3dCoords(0, 1, 0)));
  expectInvalid(K3dPlane(K3dCoords(0, 0, 0), K3dCoords(1, 0, 0), K3dCoords(0, 0, 0)));
  expectInvalid(K3dPlane(K3dCoords(0, 0, 0), K3dCoords(kNaN, 0, 0), K3dCoords(0, 1, 0)));
  K3dPlane reused(K3dCoords(0, 0, 0), K3dCoords(1, 0, 0), K3dCoords(0, 1, 0));
  EXPECT_TRUE(reused.setThroughPoints(K3dCoords(0, 0, 0), K3dCoords(1, 0, 0), K3dCoords(2, 0, 0)));
  expectInvalid(reused);
}

TEST(K3dPlaneTest, TheNormalToleranceIsTheOption) {
  KGeometryTestApp app;
  app.setReal("minPerpTolDist", 0.5);
  expectInvalid(K3dPlane(K3dCoords(0, 0, 0.4), 1.0));
  EXPECT_TRUE(K3dPlane(K3dCoords(0, 0, 0.6), 1.0).isValid());
  K3dPlane p(0, 0, 1, 0);
  double t;
  K3dCoords at;
  EXPECT_TRUE(p.intersectLine(K3dCoords(0, 0, 0), K3dCoords(0, 0, 0.4), t, at));
  EXPECT_FALSE(p.intersectLine(K3dCoords(0, 0, 1), K3dCoords(0, 0, 0.4), t, at));
}

TEST(K3dPlaneTest, LineIntersection) {
  K3dPlane p(K3dCoords(0, 0, 1), 2.0);
  double t = -1;
  K3dCoords at;
  ASSERT_FALSE(p.intersectLine(K3dCoords(1, 1, 0), K3dCoords(1, 1, 1), t, at));
  EXPECT_EQ(t, 2.0);  // beyond the segment end: a line parameter
  EXPECT_EQ(at, K3dCoords(1, 1, 2));
  ASSERT_FALSE(p.intersectLine(K3dCoords(0, 0, 4), K3dCoords(2, 0, 0), t, at));
  EXPECT_EQ(t, 0.5);
  EXPECT_EQ(at, K3dCoords(1, 0, 2));

  t = 7;
  at = K3dCoords(7, 7, 7);
  EXPECT_TRUE(p.intersectLine(K3dCoords(0, 0, 0), K3dCoords(1, 0, 0), t, at));  // parallel
  EXPECT_EQ(t, 0.0);
  EXPECT_EQ(at, K3dCoords(0, 0, 0));
  EXPECT_TRUE(p.intersectLine(K3dCoords(0, 0, 0), K3dCoords(0, 0, 0), t, at));
  EXPECT_TRUE(K3dPlane().intersectLine(K3dCoords(0, 0, 0), K3dCoords(0, 0, 1), t, at));
  EXPECT_TRUE(p.intersectLine(K3dCoords(0, 0, kNaN), K3dCoords(0, 0, 1), t, at));
  EXPECT_EQ(at, K3dCoords(0, 0, 0));
}

TEST(K3dPlaneTest, PersistenceReadsFourValuesOrTheFallback) {
  KScratchFolder folder("plane");
  std::string path = folder.file("p");
  {
    KTextPersistance w(path.c_str(), true);
    w.beginObject("P", "p");
    K3dPlane(0, 0.6, 0.8, -2).writePersistent(w, 4);
    K3dCoords(1, 2, 3).writePersistent(w, 5);
    w.endObject();
    w.Close();
  }
  KTextPersistance r(path.c_str(), false);
  r.enterObject("P", "p");
  K3dPlane got;
  const K3dPlane fallback(1, 0, 0, 9);
  got.readPersistent(r, 4, fallback);
  EXPECT_EQ(got.normal(), K3dCoords(0, 0.6, 0.8));
  EXPECT_EQ(got.offset(), -2.0);
  got.readPersistent(r, 5, fallback);
  EXPECT_EQ(got.normal(), K3dCoords(1, 0, 0));
  EXPECT_EQ(got.offset(), 9.0);
}
