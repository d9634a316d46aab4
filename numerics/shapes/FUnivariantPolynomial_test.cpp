#include "numerics/shapes/FUnivariantPolynomial.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "numerics/shapes/FPolynomialRootFinder.h"
#include "containers/memory/KGrowingArray.h"

namespace {

// The polynomial prod (t - r) for the given roots.
FUnivariantPolynomial<double> fromRoots(const std::vector<double>& roots) {
  std::vector<double> c{1.0};
  for (double r : roots) {
    std::vector<double> next(c.size() + 1, 0.0);
    for (size_t k = 0; k < c.size(); ++k) {
      next[k + 1] += c[k];
      next[k] -= r * c[k];
    }
    c.swap(next);
  }
  FUnivariantPolynomial<double> p;
  p.setSize(static_cast<long>(c.size()));
  for (size_t k = 0; k < c.size(); ++k) p[static_cast<long>(k)] = c[k];
  return p;
}

std::vector<double> roots(const FUnivariantPolynomial<double>& p, bool complexParts = false) {
  KSSimpleArray<double> out;
  int n = realRoots(p, out, 1e-12, 100, 0.0, complexParts);
  EXPECT_EQ(n, out.getCount());
  std::vector<double> v;
  for (long i = 0; i < out.getCount(); ++i) v.push_back(out[i]);
  return v;
}

// Largest distance between the found roots and the expected ones (sorted);
// infinite when the counts differ.
double worstError(std::vector<double> expected, const std::vector<double>& found) {
  if (expected.size() != found.size()) return INFINITY;
  std::sort(expected.begin(), expected.end());
  double worst = 0.0;
  for (size_t i = 0; i < found.size(); ++i) worst = std::max(worst, std::fabs(found[i] - expected[i]));
  return worst;
}

}  // namespace

TEST(FUnivariantPolynomialTest, EvaluateScaleAndDegree) {
  FUnivariantPolynomial<double> p{1.0, -3.0, 2.0, 0.0, 0.0};  // 1 - 3t + 2t^2
  EXPECT_DOUBLE_EQ(p.evaluate(2.0), 3.0);
  EXPECT_DOUBLE_EQ(p.evaluate(0.0), 1.0);
  EXPECT_EQ(p.degree(), 2);
  p.scale(-2.0);
  EXPECT_DOUBLE_EQ(p.evaluate(2.0), -6.0);
  p.trim();
  EXPECT_EQ(p.getCount(), 3);
  FUnivariantPolynomial<double> empty;
  EXPECT_EQ(empty.degree(), -1);
  EXPECT_DOUBLE_EQ(empty.evaluate(5.0), 0.0);
  FUnivariantPolynomial<double> copy(p);
  EXPECT_DOUBLE_EQ(copy.evaluate(2.0), -6.0);
}

TEST(FUnivariantPolynomialTest, RootsOfQuadraticsAscendOrAreComplex) {
  EXPECT_EQ(roots({-1.0, 0.0, 1.0}), (std::vector<double>{-1.0, 1.0}));
  EXPECT_TRUE(roots({1.0, 0.0, 1.0}).empty());
  EXPECT_EQ(roots({1.0, 0.0, 1.0}, true), (std::vector<double>{0.0, 0.0}));
  // Coefficients as an expression writes them, highest first: 1, 0, -4 and 1, 0, 4.
  EXPECT_EQ(roots({-4.0, 0.0, 1.0}), (std::vector<double>{-2.0, 2.0}));
  EXPECT_TRUE(roots({4.0, 0.0, 1.0}).empty());
  // No cancellation for widely separated roots: t^2 - 1e8 t + 1.
  std::vector<double> r = roots({1.0, -1e8, 1.0});
  ASSERT_EQ(r.size(), 2u);
  EXPECT_NEAR(r[0], 1e-8, 1e-22);
  EXPECT_NEAR(r[1], 1e8, 1e-7);
}

TEST(FUnivariantPolynomialTest, ZeroAndConstantPolynomialsHaveNoRoots) {
  KSSimpleArray<double> out;
  out.setSize(3);
  EXPECT_EQ(realRoots(FUnivariantPolynomial<double>{0.0, 0.0, 0.0}, out, 1e-12, 100, 0.0, false), 0);
  EXPECT_EQ(out.getCount(), 0);
  EXPECT_EQ(realRoots(FUnivariantPolynomial<double>(), out, 1e-12, 100, 0.0, false), 0);
  EXPECT_EQ(realRoots(FUnivariantPolynomial<double>{5.0, 0.0}, out, 1e-12, 100, 0.0, false), 0);
}

TEST(FUnivariantPolynomialTest, LeadingZerosAreTrimmedAndZeroRootsExact) {
  EXPECT_EQ(roots({6.0, -5.0, 1.0, 0.0, 0.0}), (std::vector<double>{2.0, 3.0}));
  EXPECT_EQ(roots({0.0, 0.0, -1.0, 0.0, 1.0}), (std::vector<double>{-1.0, 0.0, 0.0, 1.0}));
  EXPECT_EQ(roots({3.0, 2.0}), (std::vector<double>{-1.5}));
}

TEST(FUnivariantPolynomialTest, NonFiniteCoefficientsFail) {
  KSSimpleArray<double> out;
  FUnivariantPolynomial<double> p{1.0, NAN, 1.0};
  EXPECT_EQ(realRoots(p, out, 1e-12, 100, 0.0, false), -1);
  EXPECT_EQ(out.getCount(), 0);
}

TEST(FUnivariantPolynomialTest, RepeatedRootsComeOutRealAndAccurate) {
  struct Case {
    std::vector<double> roots;
    double bound;
  } cases[] = {
      {{1.0, 1.0}, 1e-15},
      {{1.0, 1.0, -2.0}, 1e-13},
      {{0.5, 0.5, 0.5, 3.0}, 1e-12},
      {{-1.5, -1.5, -1.5, -1.5, 2.0}, 1e-11},
      {{0.1, 0.1, 0.7, 0.7, -3.0}, 1e-12},
      {{2.0, 2.0, 2.0, -1.0, 4.0, 4.0}, 1e-11},
  };
  for (const Case& c : cases) {
    std::vector<double> found = roots(fromRoots(c.roots));
    EXPECT_LE(worstError(c.roots, found), c.bound) << "roots starting " << c.roots[0];
  }
}

TEST(FUnivariantPolynomialTest, RepeatedComplexRootsStayComplex) {
  // (t^2 + 1)^2 (t - 1): only the real root, or all five with complex parts.
  FUnivariantPolynomial<double> p{-1.0, 1.0, -2.0, 2.0, -1.0, 1.0};
  EXPECT_EQ(roots(p), (std::vector<double>{1.0}));
  std::vector<double> all = roots(p, true);
  ASSERT_EQ(all.size(), 5u);
  EXPECT_NEAR(all[0], 0.0, 1e-12);
  EXPECT_NEAR(all[3], 0.0, 1e-12);
  EXPECT_DOUBLE_EQ(all[4], 1.0);
}

TEST(FUnivariantPolynomialTest, ClusteredDistinctRootsStayApart) {
  std::vector<double> found = roots(fromRoots({1.0, 1.001}));
  EXPECT_LE(worstError({1.0, 1.001}, found), 1e-12);
  found = roots(fromRoots({1.0, 1.001, 2.0, -0.5}));
  EXPECT_LE(worstError({1.0, 1.001, 2.0, -0.5}, found), 1e-11);
  found = roots(fromRoots({1.0, 1.0 + 1e-6, 2.0}));
  EXPECT_LE(worstError({1.0, 1.0 + 1e-6, 2.0}, found), 1e-8);
}

TEST(FUnivariantPolynomialTest, DegreesOneToTwentyWithKnownRoots) {
  for (int n = 1; n <= 20; ++n) {
    // Roots k / 2 - n / 4 shifted off the integers: well separated, mixed signs.
    std::vector<double> expected;
    for (int k = 0; k < n; ++k) expected.push_back(0.5 * k - 0.25 * n + 0.1);
    std::vector<double> found = roots(fromRoots(expected));
    EXPECT_LE(worstError(expected, found), 1e-6) << "degree " << n;
  }
}

TEST(FUnivariantPolynomialTest, RandomRootsFromFixedSeedsWithinBound) {
  // Degrees 2 to 20, roots in [-2, 2] at least 0.05 apart, with a double and
  // a triple root in some; the worst error over all of them stays below 1e-7.
  double worst = 0.0;
  for (unsigned seed = 1; seed <= 5; ++seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-2.0, 2.0);
    for (int n = 2; n <= 20; ++n) {
      for (int shape = 0; shape < 3; ++shape) {
        std::vector<double> r;
        while (static_cast<int>(r.size()) < n) {
          double x = u(rng);
          bool apart = std::all_of(r.begin(), r.end(), [&](double y) { return std::fabs(x - y) >= 0.05; });
          if (apart) r.push_back(x);
        }
        if (shape >= 1 && n >= 3) r[1] = r[0];
        if (shape == 2 && n >= 4) r[2] = r[0];
        double err = worstError(r, roots(fromRoots(r)));
        EXPECT_LE(err, 1e-7) << "seed " << seed << " degree " << n << " shape " << shape;
        worst = std::max(worst, err);
      }
    }
  }
  RecordProperty("worstError", std::to_string(worst));
  std::printf("random roots, worst error %.3g\n", worst);
}

TEST(FUnivariantPolynomialTest, WilkinsonDegreeTwentyFindsEveryRoot) {
  std::vector<double> expected;
  for (int k = 1; k <= 20; ++k) expected.push_back(k);
  std::vector<double> found = roots(fromRoots(expected));
  double err = worstError(expected, found);
  // The coefficients alone (20! needs 62 bits) move these roots by about 1e-2.
  EXPECT_LE(err, 0.1);
  RecordProperty("worstError", std::to_string(err));
  std::printf("prod (t - k), k = 1..20: worst error %.3g\n", err);
}

TEST(FUnivariantPolynomialTest, NonConvergenceAnswersMinusOne) {
  KSSimpleArray<double> out;
  EXPECT_EQ(realRoots(fromRoots({1.0, 2.0, 3.0, 4.0, 5.0}), out, 1e-12, 1, 0.0, false), -1);
  EXPECT_EQ(out.getCount(), 0);
  EXPECT_EQ(realRoots(fromRoots({1.0, 2.0, 3.0, 4.0, 5.0}), out, 1e-12, 100, 0.0, false), 5);
}

TEST(FUnivariantPolynomialTest, RangeOnlyMovesTheStartingPoints) {
  KSSimpleArray<double> out;
  ASSERT_EQ(realRoots(fromRoots({-100.0, 0.5, 7.0}), out, 1e-12, 100, 1.0, false), 3);
  EXPECT_NEAR(out[0], -100.0, 1e-12);
  EXPECT_NEAR(out[2], 7.0, 1e-13);
}

TEST(FUnivariantPolynomialTest, GrowingArraysReceiveTheRoots) {
  KSGrowingArray<double> out;
  EXPECT_EQ(realRoots(fromRoots({3.0, -1.0}), out, 1e-12, 100, 0.0, false), 2);
  EXPECT_EQ(out.getCount(), 2);
  EXPECT_DOUBLE_EQ(out[0], -1.0);
  EXPECT_DOUBLE_EQ(out[1], 3.0);
}

// Scaling every coefficient by one factor leaves the roots where they are.
// Factors whose mantissa is not a power of two change every coefficient's
// rounding; 3, 1.5 and 6 once made the starting polygon put two points in
// one place and the finder report no root at all.
TEST(FUnivariantPolynomialTest, ScaledCoefficientsKeepTheirRoots) {
  const double factors[] = {1, -1, 2, 3, 1.5, 5, 6, 7, 0.1, 1000, 1e-7, 3e9, 1e300, 1e-300, -6e-300};
  FUnivariantPolynomial<double> tripled{-54, -81, -21, 9, 3};  // 3 (t + 3)(t + 2)(t + 1)(t - 3)
  EXPECT_LE(worstError({-3, -2, -1, 3}, roots(tripled)), 1e-12);
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> pick(-12, 12);
  for (int trial = 0; trial < 200; ++trial) {
    // Simple roots on a grid of quarters in [-3, 3], so that they are apart.
    const int n = 3 + trial % 6;
    std::vector<double> r;
    while (static_cast<int>(r.size()) < n) {
      double x = pick(rng) / 4.0;
      if (std::find(r.begin(), r.end(), x) == r.end()) r.push_back(x);
    }
    FUnivariantPolynomial<double> p = fromRoots(r);
    for (double f : factors) {
      FUnivariantPolynomial<double> q(p);
      q.scale(f);
      EXPECT_LE(worstError(r, roots(q)), 1e-7) << "trial " << trial << " factor " << f;
    }
  }
}

// t^2 - (2 + 2^-26) t + (1 + 2^-26): the discriminant 2^-52 is lost when b^2
// is rounded, which would make the two real roots one (or a complex pair).
TEST(FUnivariantPolynomialTest, RootsTwoToTheMinus26ApartStayTwoRealRoots) {
  const double d = std::ldexp(1.0, -26);
  FUnivariantPolynomial<double> p{1 + d, -(2 + d), 1};
  EXPECT_EQ(roots(p), (std::vector<double>{1.0, 1.0 + d}));
  KSSimpleArray<FComplexNumber> all;
  ASSERT_FALSE(FPolynomialRootFinder::findRoots(p.getData(), 2, all, 1e-12, 100, 1e-6, 0.0));
  EXPECT_EQ(all[0].imag(), 0.0);
  EXPECT_EQ(all[1].imag(), 0.0);
}

// The sweeps the iteration needs depend on the starting circles and on when
// an approximation in the rounding noise gives up; these counts pin both.
TEST(FUnivariantPolynomialTest, IterationCountsWithAndWithoutARange) {
  const double small[] = {-6e-9, 1.1e-5, -6e-3, 1};  // (t - .001)(t - .002)(t - .003)
  const double doubled[] = {-2, 5, -4, 1};            // (t - 1)^2 (t - 2)
  struct Case {
    const double* c;
    double range;
    int sweeps;
  } cases[] = {{small, 0.0, 6}, {small, 0.001, 6}, {doubled, 0.0, 22},
               {doubled, 0.001, 33}, {doubled, 1.0, 21}, {doubled, 1.2, 20}};
  for (const Case& k : cases) {
    KSSimpleArray<FComplexNumber> found;
    ASSERT_FALSE(FPolynomialRootFinder::findRoots(k.c, 3, found, 1e-12, 200, 1e-6, k.range));
    EXPECT_EQ(FPolynomialRootFinder::lastIterationCount(), k.sweeps) << k.c[0] << " range " << k.range;
  }
}
