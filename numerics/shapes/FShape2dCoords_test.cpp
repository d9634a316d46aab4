#include <cmath>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "containers/memory/KGrowingArray.h"
#include "core/system/KTextFile.h"
#include "numerics/shapes/FElementFaces.h"
#include "numerics/shapes/FQuadrilateral2dCoords.h"
#include "numerics/shapes/FShapeGeometry.h"
#include "numerics/shapes/FTriangle2dCoords.h"
#include "numerics/shapes/K2dCoordsPairing.h"
#include "tests/support/KScratchFolder.h"

namespace {

struct SwapLog : FShape2dClientData {
  int* log;
  explicit SwapLog(int* l) : log(l) {}
  ~SwapLog() override { *log = -1; }
  bool cornersSwapped(int count, int i, int j) override {
    *log = count * 100 + i * 10 + j;
    return false;
  }
};

const K2dCoords o(0, 0), ex(1, 0), ey(0, 1);

}  // namespace

TEST(FShape2dCoordsTest, ShapesWithoutCornersFail) {
  FTriangle2dCoords t;
  FQuadrilateral2dCoords q;
  EXPECT_EQ(t.numCoords(), 0);
  EXPECT_EQ(q.numCoords(), 0);
  EXPECT_EQ(t.coords(0), K2dCoords(0, 0));
  EXPECT_EQ(t.area(0, 0), -1.0);
  EXPECT_EQ(q.area(0, 0), -1.0);
  KSGrowingArray<K2dCoords> out;
  out.add(K2dCoords(5, 5));
  EXPECT_TRUE(t.getCoords(out));
  EXPECT_EQ(out.getCount(), 0);
  EXPECT_TRUE(t.reverse());
  EXPECT_FALSE(q.isValid());
  K2dCoords local;
  EXPECT_EQ(q.globalToLocal(o, 0.1, 1e-12, local), 1);
  int corner;
  EXPECT_EQ(t.locatePoint(o, 0.1, 1.0, corner), -1);
  EXPECT_EQ(t.shapeCode(), 1);
  EXPECT_EQ(q.shapeCode(), 2);
  EXPECT_TRUE(t.setCoords(3, ex));  // out of range: nothing changes
  EXPECT_EQ(t.numCoords(), 0);
  EXPECT_FALSE(t.setCoords(2, ex));
  EXPECT_EQ(t.numCoords(), 3);
  EXPECT_TRUE(q.setCoords(4, ex));
  EXPECT_TRUE(q.setCoords(-1, ex));
}

TEST(FShape2dCoordsTest, ReverseSwapsCornersAndTellsTheClientData) {
  int log = 0;
  {
    FTriangle2dCoords t(7, o, ex, ey);
    t.setClientData(new SwapLog(&log));
    EXPECT_EQ(t.orientation(0.0), 1);
    EXPECT_TRUE(t.isCounterClockwise());
    EXPECT_FALSE(t.reverse());
    EXPECT_EQ(log, 312);
    EXPECT_EQ(t.coords(1), ey);
    EXPECT_EQ(t.coords(2), ex);
    EXPECT_EQ(t.orientation(0.0), -1);
    EXPECT_TRUE(t.reverseQuad());
  }
  EXPECT_EQ(log, -1);  // deleted with the shape
  FQuadrilateral2dCoords q(1, o, ex, K2dCoords(1, 1), ey);
  q.setClientData(new SwapLog(&log));
  EXPECT_FALSE(q.reverse());
  EXPECT_EQ(log, 413);
  EXPECT_EQ(q.coords(1), ey);
  EXPECT_EQ(q.orientation(0.0), -1);
  std::unique_ptr<FShape2dCoordsBase> copy(q.clone());
  EXPECT_EQ(copy->coords(3), ex);
  EXPECT_EQ(copy->getId(), 1);
  EXPECT_EQ(copy->getClientData(), nullptr);
  EXPECT_EQ(std::unique_ptr<FShape2dCoordsBase>(FTriangle2dCoords().clone())->numCoords(), 0);
}

TEST(FShape2dCoordsTest, AreasCentroidsAndAngles) {
  FTriangle2dCoords t(1, o, K2dCoords(4, 0), K2dCoords(0, 3));
  K2dCoords c;
  double a;
  ASSERT_FALSE(t.centroidAndArea(0, 0, c, a));
  EXPECT_NEAR(a, 6.0, 1e-12);
  EXPECT_NEAR(c.x(), 4.0 / 3.0, 1e-15);
  double angle[4];
  ASSERT_FALSE(t.angles(angle));
  EXPECT_NEAR(angle[0], 90.0, 1e-12);
  EXPECT_NEAR(angle[1] + angle[2], 90.0, 1e-12);
  EXPECT_NEAR(angle[1], std::atan(0.75) * 57.29577951308232, 1e-12);
  EXPECT_EQ(angle[3], 0.0);
  // An L-shaped (concave) quadrilateral: split at its reflex corner.
  FQuadrilateral2dCoords q(2, o, K2dCoords(2, 0), K2dCoords(0.5, 0.5), K2dCoords(0, 2));
  ASSERT_FALSE(q.centroidAndArea(0, 0, c, a));
  EXPECT_NEAR(a, 1.0, 1e-12);
  EXPECT_NEAR(c.x(), 0.5, 1e-12);
  EXPECT_NEAR(c.y(), 0.5, 1e-12);
  ASSERT_FALSE(q.angles(angle));
  EXPECT_NEAR(angle[0] + angle[1] + angle[2] + angle[3], 360.0, 1e-9);
  EXPECT_NEAR(angle[2], 360.0 - std::acos(-0.6) * 57.29577951308232, 1e-9);
  EXPECT_FALSE(q.isValid());  // not convex
  FQuadrilateral2dCoords clockwise(5, o, ey, K2dCoords(1, 1), ex);
  ASSERT_FALSE(clockwise.angles(angle));
  for (double v : angle) EXPECT_NEAR(v, 90.0, 1e-12);
  EXPECT_EQ(clockwise.orientation(0.0), -1);
  FQuadrilateral2dCoords sliver(6, o, K2dCoords(4, 0), K2dCoords(4.2, 0.1), K2dCoords(0.2, 0.1));
  EXPECT_EQ(sliver.orientation(0.0), 1);
  EXPECT_EQ(sliver.orientation(0.1), 0);  // the unit diagonals are nearly parallel
  FTriangle2dCoords flat(3, o, ex, K2dCoords(2, 0));
  EXPECT_EQ(flat.area(0, 0), -1.0);
  EXPECT_EQ(flat.orientation(1e-12), 0);
  FTriangle2dCoords pinched(4, o, o, ex);
  EXPECT_EQ(pinched.orientation(0.0), 0);
  ASSERT_FALSE(pinched.angles(angle));
  EXPECT_EQ(angle[0], 90.0);
  EXPECT_EQ(angle[1], 90.0);
  EXPECT_EQ(angle[2], 0.0);
  double a0, a1, a2;
  triangleAngles(o, ex, o, a0, a1, a2, -1.0);
  EXPECT_EQ(a1, 0.0);
  triangleAngles(o, ex, ex, a0, a1, a2, 0.5);
  EXPECT_EQ(a0, 0.0);
  EXPECT_EQ(triangleArea(o, ex, K2dCoords(NAN, 0)), 0.0);
}

TEST(FShape2dCoordsTest, IntersectionsAndPointsInTriangles) {
  K2dCoords p;
  double s, t;
  ASSERT_FALSE(lineIntersection(o, K2dCoords(2, 2), K2dCoords(0, 2), K2dCoords(2, 0), p, s, t));
  EXPECT_EQ(p, K2dCoords(1, 1));
  EXPECT_EQ(s, 0.5);
  ASSERT_FALSE(lineIntersection(o, ex, K2dCoords(3, -1), K2dCoords(3, 1), p, s, t));
  EXPECT_EQ(s, 3.0);  // beyond the segment
  EXPECT_TRUE(lineIntersection(o, ex, ey, K2dCoords(1, 1), p, s, t));  // parallel
  EXPECT_TRUE(lineIntersection(o, o, ey, ex, p, s, t));                // no length
  EXPECT_TRUE(lineIntersection(o, ex, ey, K2dCoords(1, 1), p, s, s));  // one variable for both
  FQuadrilateral2dCoords bowTie(1, o, K2dCoords(1, 1), ex, ey);
  EXPECT_TRUE(bowTie.edgesCross());
  EXPECT_FALSE(bowTie.isValid());
  FQuadrilateral2dCoords square(2, o, ex, K2dCoords(1, 1), ey);
  EXPECT_FALSE(square.edgesCross());
  EXPECT_TRUE(square.isValid());
  EXPECT_FALSE(segmentsCross(o, K2dCoords(1, 1), ex, ey, 0.0));  // edges b->c and d->a are parallel
  EXPECT_TRUE(segmentsCross(ey, o, K2dCoords(1, 1), ex, 0.0));
  EXPECT_FALSE(segmentsCross(ey, o, K2dCoords(1, 1), ex, 0.5));  // the crossing is at s = t = 0.5

  EXPECT_TRUE(pointInTriangle(K2dCoords(0.25, 0.25), o, ex, ey, 0.0));
  EXPECT_FALSE(pointInTriangle(K2dCoords(0.5, 0.0), o, ex, ey, 0.0));  // on an edge
  EXPECT_FALSE(pointInTriangle(K2dCoords(0.25, 0.25), o, ex, ey, 0.25));
  EXPECT_FALSE(pointInTriangle(K2dCoords(0.1, 0.1), o, ex, K2dCoords(2, 0), 0.0));  // degenerate
  EXPECT_EQ(nearestCount(2.5), 3);
  EXPECT_EQ(nearestCount(-2.5), -3);
  EXPECT_EQ(nearestCount(3e9), 0);
  EXPECT_EQ(nearestCount(NAN), 0);
}

TEST(FShape2dCoordsTest, TriangleGlobalToLocalAndLocatePoint) {
  FTriangle2dCoords t(1, o, ex, ey);
  K2dCoords local;
  EXPECT_EQ(t.globalToLocal(K2dCoords(0.25, 0.25), 0.1, 1e-12, local), 0);
  EXPECT_EQ(local, K2dCoords(0.5, 0.25));
  EXPECT_EQ(t.globalToLocal(K2dCoords(1.05, 0), 0.1, 1e-12, local), -1);
  EXPECT_NEAR(local.x(), -0.05, 1e-15);
  EXPECT_NEAR(local.y(), 1.05, 1e-15);
  EXPECT_EQ(t.globalToLocal(K2dCoords(1.05, 0), 0.01, 1e-12, local), -2);
  EXPECT_EQ(t.globalToLocal(K2dCoords(0.5, 0.5), 0.0, 1e-12, local), 0);  // on the edge: bounds included
  EXPECT_EQ(FTriangle2dCoords(2, o, ex, K2dCoords(3, 0)).globalToLocal(ex, 0.1, 1e-12, local), 1);
  EXPECT_EQ(t.globalToLocal(K2dCoords(NAN, 0), 0.1, 1e-12, local), -2);
  int corner;
  EXPECT_EQ(t.locatePoint(K2dCoords(1, 0.005), 0.0, 0.01, corner), -2);
  EXPECT_EQ(corner, 1);
  EXPECT_EQ(t.locatePoint(K2dCoords(1, 0.005), 0.0, -1.0, corner), -1);  // no snapping: outside
  EXPECT_EQ(corner, -1);
  EXPECT_EQ(t.locatePoint(K2dCoords(1, 0.005), 0.01, -1.0, corner), 0);
  EXPECT_EQ(t.locatePoint(K2dCoords(0.2, 0.2), 0.0, 0.01, corner), 0);
  EXPECT_EQ(FTriangle2dCoords(3, o, o, o).locatePoint(ex, 0.1, -1.0, corner), -1);
}

TEST(FShape2dCoordsTest, MappedMeshDivisions) {
  FQuadrilateral2dCoords r(1, o, K2dCoords(10, 0), K2dCoords(10, 2), K2dCoords(0, 2));
  long c1, c2;
  double s1, s2;
  ASSERT_FALSE(r.divisionsFromCount(4, 1, c1, c2, s1, s2));
  EXPECT_EQ(c1, 4);
  EXPECT_EQ(c2, 1);
  EXPECT_EQ(s1, 2.5);
  EXPECT_EQ(s2, 2.0);
  ASSERT_FALSE(r.divisionsFromCount(4, 3, c1, c2, s1, s2));
  EXPECT_EQ(c2, 3);
  ASSERT_FALSE(r.divisionsFromCount(4, 0, c1, c2, s1, s2));
  EXPECT_EQ(c2, 1);  // never 0: the size would be infinite
  EXPECT_TRUE(r.divisionsFromCount(0, 0, c1, c2, s1, s2));
  EXPECT_TRUE(r.divisionsFromCount(2, 3, c1, c2, s1, s2));
  FQuadrilateral2dCoords tall(2, o, K2dCoords(2, 0), K2dCoords(2, 10), K2dCoords(0, 10));
  ASSERT_FALSE(tall.divisionsFromCount(5, 1, c1, c2, s1, s2));
  EXPECT_EQ(c2, 5);
  EXPECT_EQ(c1, 1);
  ASSERT_FALSE(r.divisionsFromSize(3.0, 0.5, 2, c1, c2));
  EXPECT_EQ(c1, 3);
  EXPECT_EQ(c2, 4);
  ASSERT_FALSE(r.divisionsFromSize(4.0, 5.0, 2, c1, c2));
  EXPECT_EQ(c1, 3);  // 2.5 rounds away from zero
  EXPECT_EQ(c2, 2);
  EXPECT_TRUE(r.divisionsFromSize(0.0, 1.0, 1, c1, c2));
  EXPECT_TRUE(r.divisionsFromSize(1.0, NAN, 1, c1, c2));
  EXPECT_TRUE(FTriangle2dCoords(1, o, ex, ey).divisionsFromSize(1, 1, 1, c1, c2));
}

TEST(FShape2dCoordsTest, TriangleSplitsIntoThreeValidQuadrilaterals) {
  FTriangle2dCoords t(1, o, K2dCoords(3, 0), K2dCoords(0, 3));
  FQuadrilateral2dCoords q[3];
  ASSERT_FALSE(t.splitIntoQuadrilaterals(q[0], q[1], q[2]));
  double total = 0.0;
  for (auto& quad : q) {
    EXPECT_TRUE(quad.isValid());
    total += quad.area(0, 0);
  }
  EXPECT_NEAR(total, 4.5, 1e-12);
  EXPECT_EQ(q[1].coords(0), K2dCoords(3, 0));
  EXPECT_EQ(q[1].coords(1), K2dCoords(1.5, 1.5));
  EXPECT_EQ(q[1].coords(2), K2dCoords(1, 1));
  EXPECT_EQ(q[1].coords(3), K2dCoords(1.5, 0));
  EXPECT_TRUE(FTriangle2dCoords(2, o, ex, K2dCoords(2, 0)).splitIntoQuadrilaterals(q[0], q[1], q[2]));
}

TEST(FShape2dCoordsTest, DumpWritesOneLinePerCorner) {
  KScratchFolder folder("shapes");
  std::string path = folder.file("dump.txt");
  {
    KTextFile file;
    ASSERT_FALSE(file.open(path.c_str()));
    FTriangle2dCoords(12, o, ex, K2dCoords(-2.5, 1e-7)).dump(&file);
    FQuadrilateral2dCoords().dump(&file);
    FQuadrilateral2dCoords().dump(nullptr);
  }
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  EXPECT_EQ(s.str(),
            "FTriangle2dCoords 12 nCoords 3 \n"
            "1 :    0.00000e+00    0.00000e+00 \n"
            "2 :    1.00000e+00    0.00000e+00 \n"
            "3 :   -2.50000e+00    1.00000e-07 \n"
            "FQuadrilateral2dCoords 0 nCoords 0 \n");
}

TEST(FShape2dCoordsTest, PairingsOwnTheirObject) {
  int log = 0;
  {
    K2dCoordsPairing pairing(ex, true);
    EXPECT_TRUE(pairing.getFlag());
    EXPECT_EQ(pairing.getCoords(), ex);
    pairing.setObject(new SwapLog(&log));
    EXPECT_NE(pairing.getObject(), nullptr);
  }
  EXPECT_EQ(log, -1);
  K2dCoordsPairing empty;
  EXPECT_FALSE(empty.getFlag());
  EXPECT_EQ(empty.getObject(), nullptr);
  std::unique_ptr<KObject> kept;
  {
    K2dCoordsPairing pairing(ey, false);
    pairing.setObject(new SwapLog(&log));
    kept.reset(pairing.releaseObject());
    log = 5;
  }
  EXPECT_EQ(log, 5);
}

TEST(FShape2dCoordsTest, QuadrilateralInversionMatchesTheFaceSearch) {
  // Random convex and mildly distorted quadrilaterals: every local point
  // inside and near the edges comes back through the analytic inversion
  // and through the face's subdivision search.
  std::mt19937 rng(99);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  FQuad4Face face;
  int tested = 0;
  for (int n = 0; n < 60; ++n) {
    double size = std::exp(3.0 * u(rng)), distortion = n < 30 ? 0.15 : 0.4, angle = 3.2 * u(rng);
    K2dCoords shift(1000.0 * u(rng), 1000.0 * u(rng));
    const double square[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    K2dCoords p[4];
    K3dCoords nodes[4];
    for (int i = 0; i < 4; ++i) {
      double x = (square[i][0] + distortion * u(rng)) * size, y = (square[i][1] + distortion * u(rng)) * size;
      p[i] = shift + K2dCoords(std::cos(angle) * x - std::sin(angle) * y, std::sin(angle) * x + std::cos(angle) * y);
      nodes[i] = K3dCoords(p[i]);
    }
    FQuadrilateral2dCoords q(n, p[0], p[1], p[2], p[3]);
    if (!q.isValid()) continue;
    ++tested;
    for (double xi : {-1.03, -1.0, -0.999999, -0.6, 0.0, 0.35, 0.999999, 1.0, 1.03})
      for (double eta : {-1.03, -1.0, -0.7, 0.0, 0.5, 1.0 - 1e-10, 1.0, 1.03}) {
        K2dCoords global, back;
        ASSERT_FALSE(q.localToGlobal(K2dCoords(xi, eta), global));
        int where = q.globalToLocal(global, 0.05, 1e-300, back);
        bool inside = std::fabs(xi) < 1.0 && std::fabs(eta) < 1.0, edge = std::max(std::fabs(xi), std::fabs(eta)) == 1.0;
        if (edge) {
          EXPECT_TRUE(where == 0 || where == -1) << n;  // rounding decides on the edge
        } else {
          EXPECT_EQ(where, inside ? 0 : -1) << n << ": " << xi << ", " << eta;
        }
        EXPECT_NEAR(back.x(), xi, 1e-10) << n << ": " << xi << ", " << eta;
        EXPECT_NEAR(back.y(), eta, 1e-10) << n << ": " << xi << ", " << eta;
        K2dCoords searched;
        ASSERT_FALSE(face.globalToLocal(K3dCoords(global), nodes, searched))
            << n << ": " << xi << ", " << eta << " " << p[0].x() << " " << p[0].y() << " " << p[1].x() << " " << p[1].y()
            << " " << p[2].x() << " " << p[2].y() << " " << p[3].x() << " " << p[3].y();
        EXPECT_NEAR(searched.x(), xi, 1e-10) << n << ": " << xi << ", " << eta;
        EXPECT_NEAR(searched.y(), eta, 1e-10) << n << ": " << xi << ", " << eta;
      }
    K2dCoords back;
    EXPECT_EQ(q.globalToLocal(p[0] + (p[0] - p[2]), 0.05, 1e-12, back), -2);
  }
  EXPECT_GE(tested, 40);
}

TEST(FShape2dCoordsTest, DegenerateQuadrilateralsAreSingularOrLocated) {
  K2dCoords local;
  FQuadrilateral2dCoords line(1, o, ex, K2dCoords(2, 0), K2dCoords(3, 0));
  EXPECT_EQ(line.globalToLocal(ex, 0.1, 1e-12, local), 1);
  EXPECT_FALSE(line.isValid());
  FQuadrilateral2dCoords point(2, ex, ex, ex, ex);
  EXPECT_EQ(point.globalToLocal(ex, 0.1, 1e-12, local), 1);
  EXPECT_EQ(point.orientation(0.0), 0);
  FQuadrilateral2dCoords nan(3, o, ex, K2dCoords(NAN, 1), ey);
  EXPECT_EQ(nan.globalToLocal(ex, 0.1, 1e-12, local), 1);
  // A collapsed edge (corners 2 and 3 together) is a triangle in disguise.
  FQuadrilateral2dCoords folded(4, o, K2dCoords(2, 0), K2dCoords(1, 2), K2dCoords(1, 2));
  K2dCoords global;
  for (double xi : {-0.9, 0.0, 0.8})
    for (double eta : {-0.9, 0.3, 0.95}) {
      folded.localToGlobal(K2dCoords(xi, eta), global);
      ASSERT_EQ(folded.globalToLocal(global, 0.0, 1e-12, local), 0) << xi << ", " << eta;
      EXPECT_NEAR(local.x(), xi, 1e-9);
      EXPECT_NEAR(local.y(), eta, 1e-9);
    }
  // A parallelogram takes the linear path (no xi^2 term).
  FQuadrilateral2dCoords slanted(5, o, K2dCoords(2, 0), K2dCoords(3, 1), K2dCoords(1, 1));
  ASSERT_EQ(slanted.globalToLocal(K2dCoords(1.5, 0.5), 0.0, 1e-12, local), 0);
  EXPECT_NEAR(local.x(), 0.0, 1e-15);
  EXPECT_NEAR(local.y(), 0.0, 1e-15);
}

TEST(FShape2dCoordsTest, TriangleAnglesMatchDirectionAngles) {
  std::mt19937 rng(4);
  std::uniform_real_distribution<double> u(-5.0, 5.0);
  auto between = [](const K2dCoords& a, const K2dCoords& b) {
    return std::fabs(std::atan2(a.x() * b.y() - a.y() * b.x(), a.dot(b))) * 57.29577951308232;
  };
  for (int n = 0; n < 500; ++n) {
    K2dCoords p[3] = {{u(rng), u(rng)}, {u(rng), u(rng)}, {u(rng), u(rng)}};
    if (n % 5 == 0) p[2] = p[0] + (p[1] - p[0]) * 0.3 + K2dCoords(1e-3, -2e-3);  // nearly flat
    double a[3];
    triangleAngles(p[0], p[1], p[2], a[0], a[1], a[2], -1.0);
    for (int k = 0; k < 3; ++k)
      EXPECT_NEAR(a[k], between(p[(k + 1) % 3] - p[k], p[(k + 2) % 3] - p[k]), 1e-7) << n << " " << k;
  }
}

TEST(FShape2dCoordsTest, HostileCoordinatesGiveResultsNotCrashes) {
  // Corners and targets drawn from values that break naive arithmetic: both
  // inversions and the face search answer one of their documented results.
  const double values[] = {0.0, 1.0, -1.0, 0.5, 1e-300, 1e300, -1e300, NAN, INFINITY, 2.0};
  std::mt19937 rng(8);
  std::uniform_int_distribution<int> pick(0, 9);
  FQuad4Face face;
  for (int n = 0; n < 3000; ++n) {
    K2dCoords p[4];
    K3dCoords nodes[4];
    for (int i = 0; i < 4; ++i) {
      p[i] = K2dCoords(values[pick(rng)], values[pick(rng)]);
      nodes[i] = K3dCoords(p[i]);
    }
    K2dCoords target(values[pick(rng)], values[pick(rng)]), local;
    FQuadrilateral2dCoords q(n, p[0], p[1], p[2], p[3]);
    int where = q.globalToLocal(target, 0.1, 1e-12, local);
    EXPECT_TRUE(where >= -2 && where <= 1) << n;
    FTriangle2dCoords t(n, p[0], p[1], p[2]);
    where = t.globalToLocal(target, 0.1, 1e-12, local);
    EXPECT_TRUE(where >= -2 && where <= 1) << n;
    int corner;
    where = q.locatePoint(target, 0.1, 0.5, corner);
    EXPECT_TRUE(where >= -2 && where <= 0) << n;
    double a[4];
    q.angles(a);
    q.isValid();
    if (face.globalToLocal(K3dCoords(target), nodes, local) == false) {
      K3dCoords back;
      face.localToGlobal(local, nodes, back);
      EXPECT_FALSE(std::isnan(back.x())) << n;
    }
  }
}
