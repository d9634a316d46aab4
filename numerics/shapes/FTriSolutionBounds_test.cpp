#include "numerics/shapes/FTriSolutionBounds.h"

#include <cerrno>
#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "containers/memory/KGrowingArray.h"
#include "platform/KFaultFileSystem.h"
#include "tests/support/KScratchFolder.h"

namespace {

typedef FBivariantPolynomial<double> Poly;

// a00 + a10 x + a01 y + a11 x y.
Poly bilinear(double a00, double a10, double a01, double a11) {
  Poly p(2, 2);
  p.at(0, 0) = a00;
  p.at(1, 0) = a10;
  p.at(0, 1) = a01;
  p.at(1, 1) = a11;
  return p;
}

// Polynomial of one row (in y) or one column (in x) from its coefficients.
Poly univariateIn(bool inX, std::initializer_list<double> c) {
  long n = static_cast<long>(c.size());
  Poly p(inX ? n : 1, inX ? 1 : n);
  long k = 0;
  for (double v : c) p[k++] = v;
  return p;
}

struct Search {
  KSGrowingArray<K2dCoords> out;
  int count = 0;
  int run(const Poly& F, const Poly& G, const K2dRect& box, double convTol = 1e-9, double minSize = 1e-9,
          double solTol = 1e-6, int maxIterations = 100, int grid = 8, bool triangular = false, int maxSol = -1) {
    count = findCommonZeros(F, G, out, box, convTol, minSize, solTol, maxIterations, grid, triangular, maxSol);
    return count;
  }
};

// The trace written while fn runs.
template <class Fn>
std::string traced(const KScratchFolder& folder, Fn fn) {
  EXPECT_FALSE(FTriSolutionBounds::startTrace(folder.path().c_str()));
  std::string path = FTriSolutionBounds::tracePath().GetString();
  fn();
  FTriSolutionBounds::stopTrace();
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

long occurrences(const std::string& text, const std::string& what) {
  long n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

TEST(FTriSolutionBoundsTest, VerticesWrapAndTheCentroidAveragesAllComponents) {
  FTriSolutionBounds t(K4dCoords(0, 0, 3, 6), K4dCoords(3, 0, 0, 0), K4dCoords(0, 4, 0, 3));
  EXPECT_EQ(t.vertex(4).x(), 3.0);
  EXPECT_EQ(t.vertex(-1).x(), 0.0);  // a negative remainder selects vertex 0
  EXPECT_EQ(t.vertex(-2).y(), 0.0);
  EXPECT_EQ(t.edgeLength(1, 2), 5.0);
  EXPECT_EQ(t.edgeLength(2, 5), 0.0);
  K4dCoords c = t.centroid();
  EXPECT_EQ(c, K4dCoords(1, 4.0 / 3.0, 1, 3));
  FTriSolutionBounds empty;
  EXPECT_EQ(empty.vertex(2), K4dCoords(0, 0, 0, 0));
  EXPECT_EQ(empty.query(5), 0);
}

TEST(FTriSolutionBoundsTest, CloseCandidatesKeepTheBetterOne) {
  FSolutionList list;
  const double tol = 0.125;  // binary fractions keep the distances exact
  EXPECT_TRUE(FTriSolutionBounds::addSolution(tol, K4dCoords(0, 0, 0.3, 0.4), list));
  EXPECT_FALSE(FTriSolutionBounds::addSolution(tol, K4dCoords(0.0625, 0, 0.3, 0.3), list));  // better: replaces
  ASSERT_EQ(list.getCount(), 1);
  EXPECT_EQ(list[0].x(), 0.0625);
  EXPECT_FALSE(FTriSolutionBounds::addSolution(tol, K4dCoords(0.0, 0.0, 0.3, 0.4), list));  // worse: dropped
  EXPECT_EQ(list[0].x(), 0.0625);
  EXPECT_TRUE(FTriSolutionBounds::addSolution(tol, K4dCoords(0.1875, 0, 0, 0), list));  // exactly solTol away
  EXPECT_EQ(list.getCount(), 2);

  FTriSolutionBounds near(K4dCoords(0.0625, 0.125, 0, 0), K4dCoords(0.0625, 0, 0, 0), K4dCoords(0.1875, 0, 0, 0));
  EXPECT_TRUE(near.isNearSolution(tol, list));  // within solTol, bounds included
  FTriSolutionBounds far(K4dCoords(0.0625, 0.13, 0, 0), K4dCoords(0.0625, 0, 0, 0), K4dCoords(0.1875, 0, 0, 0));
  EXPECT_FALSE(far.isNearSolution(tol, list));
}

TEST(FTriSolutionBoundsTest, SeparablePolynomialsAreSolvedByTheirRoots) {
  Search s;
  ASSERT_EQ(s.run(univariateIn(true, {-0.3, 1.0}), univariateIn(false, {0.7, 1.0}), K2dRect(-1, -1, 1, 1)), 1);
  EXPECT_NEAR(s.out[0].x(), 0.3, 1e-15);
  EXPECT_NEAR(s.out[0].y(), -0.7, 1e-15);
  // F = y^2 - 0.16 (a row), G = x^2 - 0.25 (a column): F roots outer, G roots inner.
  ASSERT_EQ(s.run(univariateIn(false, {-0.16, 0.0, 1.0}), univariateIn(true, {-0.25, 0.0, 1.0}),
                  K2dRect(-1, -1, 1, 1), 1e-12, 1e-9, 1e-9),
            4);
  const double expected[4][2] = {{-0.5, -0.4}, {0.5, -0.4}, {-0.5, 0.4}, {0.5, 0.4}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(s.out[i].x(), expected[i][0], 1e-14) << i;
    EXPECT_NEAR(s.out[i].y(), expected[i][1], 1e-14) << i;
  }
  // Roots outside the bounds are left out; a bound on a root keeps it.
  EXPECT_EQ(s.run(univariateIn(false, {-0.16, 0.0, 1.0}), univariateIn(true, {-0.25, 0.0, 1.0}),
                  K2dRect(0, -1, 0.5, 0.4), 1e-12, 1e-9, 1e-9),
            2);
}

TEST(FTriSolutionBoundsTest, InvalidInputAnswersMinusOne) {
  Search s;
  Poly F = bilinear(-0.5, 1, 0.2, 0.1), G = bilinear(-0.2, 0.1, 1, 0.3);
  s.out.add(K2dCoords(9, 9));
  EXPECT_EQ(s.run(F, G, K2dRect()), -1);  // empty bounds
  EXPECT_EQ(s.out.getCount(), 0);
  K2dRect nan(0, 0, 1, 1);
  nan.getMax().x() = NAN;
  EXPECT_EQ(s.run(F, G, nan), -1);
  EXPECT_EQ(s.run(bilinear(0, 0, 0, 0), G, K2dRect(0, 0, 1, 1)), -1);  // zero is constant too
  EXPECT_EQ(s.run(F, bilinear(2, 1e-12, 0, 0), K2dRect(0, 0, 1, 1)), -1);  // constant after trimming
  EXPECT_EQ(s.run(F, Poly(), K2dRect(0, 0, 1, 1)), -1);
  EXPECT_EQ(s.run(F, G, K2dRect(0, 0, 1, 1), 1e-9, 1e-9, 1e-6, 100, 5000), -1);  // grid too large
  Poly bad = F;
  bad.at(1, 1) = NAN;
  EXPECT_EQ(s.run(bad, G, K2dRect(0, 0, 1, 1)), -1);
  bad.at(1, 1) = -INFINITY;
  EXPECT_EQ(s.run(G, bad, K2dRect(0, 0, 1, 1)), -1);
  EXPECT_EQ(s.run(univariateIn(true, {NAN, 1.0}), univariateIn(false, {0.5, 1.0}), K2dRect(-1, -1, 1, 1)), -1);
}

TEST(FTriSolutionBoundsTest, RandomSystemsFindTheirConstructedRoot) {
  // F and G vanish at (a, b) by construction; every other solution reported
  // must satisfy both equations, and (a, b) must be among them.
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> u(-1.0, 1.0), inside(-0.9, 0.9);
  for (int n = 0; n < 200; ++n) {
    double a = inside(rng), b = inside(rng);
    double f1 = u(rng), f2 = u(rng), f3 = u(rng), g1 = u(rng), g2 = u(rng), g3 = u(rng);
    if (std::fabs(f1 * g2 - f2 * g1) < 0.1) continue;  // keep the root simple
    // alpha (x - a) + beta (y - b) + gamma (x - a)(y - b)
    auto make = [&](double al, double be, double ga) {
      return bilinear(-al * a - be * b + ga * a * b, al - ga * b, be - ga * a, ga);
    };
    Poly F = make(f1, f2, f3), G = make(g1, g2, g3);
    Search s;
    ASSERT_GE(s.run(F, G, K2dRect(-1, -1, 1, 1)), 1) << n;
    bool found = false;
    for (long i = 0; i < s.out.getCount(); ++i) {
      const K2dCoords& p = s.out[i];
      EXPECT_LT(std::fabs(F.evaluate(p.x(), p.y())), 1e-8) << n;
      EXPECT_LT(std::fabs(G.evaluate(p.x(), p.y())), 1e-8) << n;
      for (long j = 0; j < i; ++j) EXPECT_GE(distance(p, s.out[j]), 1e-6) << n;
      if (distance(p, K2dCoords(a, b)) < 1e-7) found = true;
    }
    EXPECT_TRUE(found) << n << ": " << a << ", " << b;
  }
}

TEST(FTriSolutionBoundsTest, CircleAndLineMeetWhereExpected) {
  Poly circle(3, 3);  // x^2 + y^2 - 1
  circle.at(0, 0) = -1.0;
  circle.at(2, 0) = 1.0;
  circle.at(0, 2) = 1.0;
  Poly line = bilinear(0.0, 1.0, -1.0, 0.0);  // x - y
  Search s;
  ASSERT_EQ(s.run(circle, line, K2dRect(-2, -2, 2, 2)), 2);
  double r = std::sqrt(0.5);
  for (long i = 0; i < 2; ++i) {
    EXPECT_NEAR(std::fabs(s.out[i].x()), r, 1e-8);
    EXPECT_NEAR(s.out[i].x(), s.out[i].y(), 1e-8);
  }
  EXPECT_LT(s.out[0].x() * s.out[1].x(), 0.0);
  // The triangle under the anti-diagonal of [0, 1]^2 holds neither root (x + y = 1.41).
  EXPECT_EQ(s.run(circle, line, K2dRect(0, 0, 1, 1), 1e-9, 1e-9, 1e-6, 100, 8, true), 0);
  EXPECT_EQ(s.run(circle, line, K2dRect(0, 0, 1.5, 1.5), 1e-9, 1e-9, 1e-6, 100, 8, true), 1);
}

TEST(FTriSolutionBoundsTest, ARootOnAGridPointIsFoundOnce) {
  // F = x + 0.1 x y, G = y - 0.2 x y vanish at the grid point (0, 0) of [-1, 1]^2 sampled 5 x 5.
  KScratchFolder folder("solver");
  Search s;
  std::string text = traced(folder, [&] {
    s.run(bilinear(0, 1, 0, 0.1), bilinear(0, 0, 1, -0.2), K2dRect(-1, -1, 1, 1), 1e-9, 1e-9, 1e-6, 100, 4);
  });
  ASSERT_EQ(s.count, 1);
  EXPECT_EQ(s.out[0].x(), 0.0);
  EXPECT_EQ(s.out[0].y(), 0.0);
  EXPECT_EQ(occurrences(text, "subdivide on entry \n"), 32);  // 5 x 5 points even for gridCount 4
  EXPECT_GE(occurrences(text, " single converged \n"), 2);
  EXPECT_EQ(occurrences(text, "new solution "), 1);
}

TEST(FTriSolutionBoundsTest, TraceLinesFollowTheSearch) {
  KScratchFolder folder("solver");
  Search s;
  std::string text = traced(folder, [&] {
    s.run(bilinear(-0.3, 1, 0.01, 0.1), bilinear(-0.4, 0.02, 1, 0), K2dRect(0, 0, 1, 1), 1e-9, 1e-9, 1e-6, 100, 5,
          true);
  });
  EXPECT_EQ(s.count, 1);
  EXPECT_EQ(text.rfind(". \nsubdivide on entry \nsubdivideWrapped on entry \n"
                       "coords :         x               y           F(x,y)          G(x,y) \n"
                       "       1 :    0.00000e+00     0.00000e+00    -3.00000e-01    -4.00000e-01 \n"
                       "       2 :    2.50000e-01     0.00000e+00    -5.00000e-02    -3.95000e-01 \n",
                       0),
            0u);
  EXPECT_EQ(occurrences(text, "subdivide on entry \n"), 16);  // the triangle's (n - 1)^2 cells
  EXPECT_EQ(occurrences(text, "subdivide on exit \n. \n"), 16);
  EXPECT_NE(text.find(" new subtriangle 4 \n"), std::string::npos);
  EXPECT_NE(text.find(" number positive  F "), std::string::npos);
  EXPECT_NE(text.find(" tooSmall to subdivide = F \n"), std::string::npos);
  EXPECT_NE(text.find(" F all negative, ignore triangle \n"), std::string::npos);
  EXPECT_NE(text.find(" subdividing triangle \n"), std::string::npos);
  EXPECT_NE(text.find("new solution 1 : x "), std::string::npos);
  EXPECT_NE(text.find(" ignoring triangle too close to existing solution \n"), std::string::npos);
}

TEST(FTriSolutionBoundsTest, RecursionLimitAbandonsOnlyTheDeeperTriangles) {
  KScratchFolder folder("solver");
  Search s;
  Poly F = bilinear(-0.31, 1, 0.01, 0.1), G = bilinear(-0.43, 0.02, 1, 0);
  std::string text = traced(folder, [&] { s.run(F, G, K2dRect(0, 0, 1, 1), 1e-9, 1e-9, 1e-6, 0); });
  EXPECT_EQ(s.count, 0);
  EXPECT_GT(occurrences(text, "maxIterations exceeded \n"), 0);
  EXPECT_EQ(occurrences(text, "subdivideWrapped on entry \n") - occurrences(text, "maxIterations exceeded \n"),
            occurrences(text, "subdivide on entry \n"));  // only the outermost calls proceed
  EXPECT_EQ(s.run(F, G, K2dRect(0, 0, 1, 1), 1e-9, 1e-9, 1e-6, 100), 1);
  EXPECT_EQ(s.run(F, G, K2dRect(0, 0, 1, 1), 1e-9, 1e-9, 1e-6, 1 << 30), 1);  // deep limits stay bounded
}

TEST(FTriSolutionBoundsTest, ANarrowRectangleIsWidenedAndSampledWithTwoColumns) {
  KScratchFolder folder("solver");
  Search s;
  // F = (x - 0.5)(1 + y), G = y - 0.5 + 0.1 (x - 0.5): the root (0.5, 0.5) is a
  // midpoint of the widened grid; subdividing further is refused (minSize).
  Poly F = bilinear(-0.5, 1, -0.5, 1), G = bilinear(-0.55, 0.1, 1, 0);
  std::string text = traced(folder, [&] { s.run(F, G, K2dRect(0.5, 0, 0.5, 1), 1e-9, 1e-3, 1e-6, 100, 8); });
  ASSERT_EQ(s.count, 1);
  EXPECT_NEAR(s.out[0].x(), 0.5, 1e-9);
  EXPECT_NEAR(s.out[0].y(), 0.5, 1e-9);
  EXPECT_EQ(occurrences(text, "subdivide on entry \n"), 2 * 7);  // 2 x 8 points
  EXPECT_NE(text.find("    4.99500e-01 "), std::string::npos);  // x0 = 0.5 - 1e-3 / 2
}

TEST(FTriSolutionBoundsTest, TooManySolutionsStopTheSearchAndSkipPolishing) {
  // F = (x - 0.1)(x - 0.35)(x - 0.6)(x - 0.85)(1 + y/10), G = y - 0.5 + x/100.
  double r[4] = {0.1, 0.35, 0.6, 0.85};
  Poly F(5, 2);
  double c[5] = {1, 0, 0, 0, 0};
  for (double root : r)
    for (int k = 4; k >= 0; --k) c[k] = (k ? c[k - 1] : 0.0) - root * c[k];
  for (int k = 0; k < 5; ++k) {
    F.at(k, 0) = c[k];
    F.at(k, 1) = c[k] / 10.0;
  }
  Poly G = bilinear(-0.5, 0.01, 1, 0);
  Search s;
  ASSERT_EQ(s.run(F, G, K2dRect(0, 0, 1, 1)), 4);
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(s.out[i].x(), r[i], 1e-7);  // |F'| is about 0.1
  int limited = s.run(F, G, K2dRect(0, 0, 1, 1), 1e-9, 1e-9, 1e-6, 100, 8, false, 1);
  EXPECT_GE(limited, 2);
  EXPECT_LE(limited, 4);
}

TEST(FTriSolutionBoundsTest, PolishingUsesTheCallersPolynomialsAndMergesNeighbours) {
  // A loose convTol leaves the search's candidates rough; the polish brings them to convTol.
  Poly F = bilinear(-0.3, 1, 0.01, 0.1), G = bilinear(-0.4, 0.02, 1, 0);
  K2dCoords p(0.31, 0.39);
  refineSolution(F, G, p, K2dRect(0, 0, 1, 1), 1e-10, 1e-14, 100);
  EXPECT_LT(std::fabs(F.evaluate(p.x(), p.y())), 1e-10);
  EXPECT_LT(std::fabs(G.evaluate(p.x(), p.y())), 1e-10);
  K2dCoords fixed(0.31, 0.39);
  refineSolution(F, G, fixed, K2dRect(0, 0, 0, 0), 1e-10, 1e-14, 100);  // no step to take
  EXPECT_EQ(fixed, K2dCoords(0.31, 0.39));
  // Candidates within a large solTol collapse into one.
  Poly circle(3, 3);
  circle.at(0, 0) = -0.01;
  circle.at(2, 0) = 1.0;
  circle.at(0, 2) = 1.0;
  Search s;
  EXPECT_EQ(s.run(circle, bilinear(0, 1, -1, 0), K2dRect(-1, -1, 1, 1)), 2);
  EXPECT_EQ(s.run(circle, bilinear(0, 1, -1, 0), K2dRect(-1, -1, 1, 1), 1e-9, 1e-9, 0.5), 1);
}

TEST(FTriSolutionBoundsTest, AFailingTraceEndsTracingButNotTheSearch) {
  KScratchFolder folder("solver");
  Poly F = bilinear(-0.3, 1, 0.01, 0.1), G = bilinear(-0.4, 0.02, 1, 0);
  Search plain;
  ASSERT_EQ(plain.run(F, G, K2dRect(0, 0, 1, 1)), 1);
  KFaultFileSystem faults(KFileSystem::Default());
  KFileSystem::SetCurrent(&faults);
  for (long n = 1; n <= 3; ++n) {
    ASSERT_FALSE(FTriSolutionBounds::startTrace(folder.path().c_str()));
    faults.failNth(KFaultFileSystem::kWrite, n, ENOSPC);
    Search s;
    ASSERT_EQ(s.run(F, G, K2dRect(0, 0, 1, 1)), 1);
    EXPECT_EQ(s.out[0], plain.out[0]);
    EXPECT_TRUE(faults.fired());
    EXPECT_FALSE(FTriSolutionBounds::isTracing());
    FTriSolutionBounds::stopTrace();
  }
  faults.failNth(KFaultFileSystem::kOpen, 1, EACCES);
  EXPECT_TRUE(FTriSolutionBounds::startTrace(folder.path().c_str()));
  EXPECT_FALSE(FTriSolutionBounds::isTracing());
  KFileSystem::SetCurrent(nullptr);
}

TEST(FTriSolutionBoundsTest, RootsBetweenSamplesOfOneSignAreFound) {
  // F = (x - 0.55)^2 - 0.0016 is positive at every sample (0, 0.25, ...) yet
  // vanishes at 0.51 and 0.59; G = y - 0.3 + 0.01 x y.
  Poly F(3, 1);
  F.at(0, 0) = 0.55 * 0.55 - 0.0016;
  F.at(1, 0) = -1.1;
  F.at(2, 0) = 1.0;
  Poly G = bilinear(-0.3, 0, 1, 0.01);
  Search s;
  ASSERT_EQ(s.run(F, G, K2dRect(0, 0, 1, 1), 1e-8, 1e-10, 1e-6, 100, 5), 2);
  for (long i = 0; i < 2; ++i) {
    double x = s.out[i].x(), y = 0.3 / (1.0 + 0.01 * x);
    EXPECT_NEAR(std::min(std::fabs(x - 0.51), std::fabs(x - 0.59)), 0.0, 1e-6);  // |F'| = 0.08
    EXPECT_NEAR(s.out[i].y(), y, 1e-7);
  }
  EXPECT_GT(std::fabs(s.out[0].x() - s.out[1].x()), 0.07);
}

TEST(FTriSolutionBoundsTest, ACurveOfCommonZerosEndsAtTheCandidateLimit) {
  // F = x - 0.7 y - 0.1 and G = -2 F vanish together along a whole line.
  Search s;
  int n = s.run(bilinear(-0.1, 1, -0.7, 0), bilinear(0.2, -2, 1.4, 0), K2dRect(0, 0, 1, 1), 1e-9, 1e-9, 1e-6);
  EXPECT_GT(n, 100);
  // Each grid triangle (98) still visited after the limit may add one before it stops.
  EXPECT_LE(n, FTriSolutionBounds::kCandidateLimit + 98);
  for (long i = 0; i < s.out.getCount(); ++i) EXPECT_NEAR(s.out[i].x(), 0.7 * s.out[i].y() + 0.1, 1e-8);
}
