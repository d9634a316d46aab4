// The common-zero search over a grid (findCommonZeros) and the polishing of
// its solutions (refineSolution); the triangle records and their subdivision
// are in FTriSolutionBounds.cpp.
#include <algorithm>
#include <cmath>

#include "containers/memory/KSimple2DArray.h"
#include "numerics/shapes/FTriSolutionBounds.h"

namespace {

// Polynomials whose coefficients all lie below this after scaling are cut off.
constexpr double kTrimLimit = 1e-08;
// Every polish steps no finer than this.
constexpr double kSmallestStep = 1e-14;
// Larger grids are refused rather than allocated.
constexpr long long kGridPointLimit = 1LL << 20;

// Scales p so that its largest coefficient magnitude is at most 1, then trims it.
bool normalise(FBivariantPolynomial<double>& p) {
  double largest = p.largestMagnitude();
  if (largest > 1.0) p.scale(1.0 / largest);
  return p.trim(kTrimLimit);
}

// Empty, constant, or with a coefficient that is not finite: a NaN would
// leave every sign test open and send the search down every triangle that
// the other polynomial's zero line crosses.
bool isUnusable(const FBivariantPolynomial<double>& p) {
  if (p.getRows() < 1 || p.getColumns() < 1 || (p.getRows() == 1 && p.getColumns() == 1)) return true;
  for (long k = 0; k < p.getCount(); ++k)
    if (!std::isfinite(p[k])) return true;
  return false;
}

// The real roots of p in [-range, range] into roots; true when the search failed.
bool rootsOf(const FUnivariantPolynomial<double>& p, double convTol, int maxIterations, double range,
             KSSimpleArray<double>& roots) {
  return realRoots(p, roots, convTol, maxIterations, range, false) < 0;
}

// F depends on x only (one column) or on y only (one row); its roots are
// placed in that coordinate. Answers -1 on failure, else the count added.
int solveSeparable(const FBivariantPolynomial<double>& F, const FBivariantPolynomial<double>& G,
                   KSimpleArray<K2dCoords>& solutions, const K2dRect& bounds, double convTol, int maxIterations) {
  bool fAlongX = F.getColumns() == 1;  // then G has one row and depends on y
  FUnivariantPolynomial<double> f = fAlongX ? F.univariate(0, true) : F.univariate(0, false);
  FUnivariantPolynomial<double> g = fAlongX ? G.univariate(0, false) : G.univariate(0, true);
  const K2dCoords &lo = bounds.getMin(), &hi = bounds.getMax();
  double range = 1.1 * std::max({std::fabs(lo.x()), std::fabs(lo.y()), std::fabs(hi.x()), std::fabs(hi.y())});
  KSSimpleArray<double> fRoots, gRoots;
  if (rootsOf(f, convTol, maxIterations, range, fRoots) || rootsOf(g, convTol, maxIterations, range, gRoots))
    return -1;
  long n = 0;
  for (long i = 0; i < fRoots.getCount(); ++i)
    for (long j = 0; j < gRoots.getCount(); ++j) {
      K2dCoords p = fAlongX ? K2dCoords(fRoots[i], gRoots[j]) : K2dCoords(gRoots[j], fRoots[i]);
      if (!bounds.contains(p)) continue;
      solutions.setAtGrow(n, p, 10);
      if (solutions.getCount() > n) ++n;
    }
  return static_cast<int>(n);
}

// Samples the domain and searches its triangles; answers -1 when the grid
// cannot be stored.
int searchGrid(const FBivariantPolynomial<double>& F, const FBivariantPolynomial<double>& G,
               const K2dRect& bounds, double convTol, double minSize, double solTol, int maxIterations,
               int gridCount, bool triangularDomain, int maxSolutions, FSolutionList& list) {
  long nx = std::max(5, gridCount), ny = nx;
  const K2dCoords &lo = bounds.getMin(), &hi = bounds.getMax();
  double width = hi.x() - lo.x(), height = hi.y() - lo.y(), x0 = lo.x(), y0 = lo.y();
  if (width < minSize) {
    x0 = lo.x() - (minSize - width) / 2.0;
    width = minSize;
    nx = 2;
  }
  if (height < minSize) {
    y0 = lo.y() - (minSize - height) / 2.0;
    height = minSize;
    ny = 2;
  }
  nx = std::max(nx, 2L);
  ny = std::max(ny, 2L);
  if (triangularDomain) nx = ny = std::max(nx, ny);
  if (static_cast<long long>(nx) * ny > kGridPointLimit) return -1;
  double dx = width / static_cast<double>(nx - 1), dy = height / static_cast<double>(ny - 1);

  KSSimple2DArray<K4dCoords> grid;
  if (grid.resize(nx, ny)) return -1;
  for (long i = 0; i < nx; ++i)
    for (long j = 0; j < ny; ++j) {
      double x = x0 + static_cast<double>(i) * dx, y = y0 + static_cast<double>(j) * dy;
      grid.at(i, j) = K4dCoords(x, y, F.evaluate(x, y), G.evaluate(x, y));
    }
  // Without a trace to write, grid triangles over which F or G keeps one sign
  // are passed over: every sub-triangle would be ignored.
  bool tracing = FTriSolutionBounds::isTracing();
  auto search = [&](long i1, long j1, long i2, long j2, long i3, long j3) {
    FTriSolutionBounds t(grid.at(i1, j1), grid.at(i2, j2), grid.at(i3, j3));
    if (!tracing && t.keepsOneSign(F, G, convTol)) return;
    t.subdivide(F, G, convTol, minSize, solTol, maxIterations, maxSolutions, list);
  };
  if (!triangularDomain) {
    for (long i = 0; i + 1 < nx; ++i)
      for (long j = 1; j < ny; ++j) {
        search(i, j - 1, i + 1, j - 1, i + 1, j);
        search(i, j - 1, i + 1, j, i, j);
      }
  } else {
    long n = nx;
    for (long i = 0; i <= n - 2; ++i)
      for (long j = 0; i + j <= n - 2; ++j) {
        if (i + j == n - 2) {
          search(i, j, i + 1, j, i, j + 1);
        } else {
          search(i, j, i + 1, j, i + 1, j + 1);
          search(i, j, i + 1, j + 1, i, j + 1);
        }
      }
  }
  return 0;
}

}  // namespace

int findCommonZeros(const FBivariantPolynomial<double>& F, const FBivariantPolynomial<double>& G,
                    KSimpleArray<K2dCoords>& solutions, const K2dRect& bounds, double convTol, double minSize,
                    double solTol, int maxIterations, int gridCount, bool triangularDomain, int maxSolutions) {
  solutions.setCount(0);
  if (!bounds.isValid()) return -1;
  FBivariantPolynomial<double> f(F), g(G);
  if (f.getRows() != F.getRows() || g.getRows() != G.getRows()) return -1;
  if (normalise(f) || normalise(g) || isUnusable(f) || isUnusable(g)) return -1;

  long n = 0;
  if ((f.getRows() == 1 && g.getColumns() == 1) || (f.getColumns() == 1 && g.getRows() == 1)) {
    int found = solveSeparable(f, g, solutions, bounds, convTol, maxIterations);
    if (found < 0) {
      solutions.setCount(0);
      return -1;
    }
    n = found;
  } else {
    FSolutionList list;
    if (searchGrid(f, g, bounds, convTol, minSize, solTol, maxIterations, gridCount, triangularDomain,
                   maxSolutions, list))
      return -1;
    if (list.getCount() == 0) return 0;
    solutions.setCount(list.getCount());
    n = std::min(list.getCount(), solutions.getValidCount());
    for (long i = 0; i < n; ++i) solutions[i] = K2dCoords(list[i].x(), list[i].y());
  }

  if (maxSolutions < 1 || n <= maxSolutions) {
    double stepTol = minSize / 100.0;
    if (!(stepTol >= kSmallestStep)) stepTol = kSmallestStep;
    for (long i = n - 1; i >= 0; --i) refineSolution(F, G, solutions[i], bounds, convTol, stepTol, maxIterations);
  }

  for (long i = 0; i < n; ++i) {
    long j = i + 1;
    while (j < n) {
      if (distance(solutions[j], solutions[i]) < solTol) {
        if (j != n - 1) solutions[j] = solutions[n - 1];
        --n;
      } else {
        ++j;
      }
    }
  }
  solutions.setCount(n);
  return static_cast<int>(n);
}

void refineSolution(const FBivariantPolynomial<double>& F, const FBivariantPolynomial<double>& G, K2dCoords& point,
                    const K2dRect& bounds, double convTol, double stepTol, int maxIterations) {
  const double kRootTwo = 1.4142135623730951;
  double f = F.evaluate(point.x(), point.y()), g = G.evaluate(point.x(), point.y());
  double best = std::hypot(f, g);
  if (std::fabs(f) < convTol && std::fabs(g) < convTol) return;
  double hx = bounds.size(0) / 1000.0, hy = bounds.size(1) / 1000.0;
  int failures = 0;
  long sweeps = 0;
  do {
    double dx = hx / kRootTwo, dy = hy / kRootTwo;
    const double steps[8][2] = {{hx, 0.0}, {dx, dy},  {0.0, hy},  {-dx, dy},
                                {-hx, 0.0}, {-dx, -dy}, {0.0, -hy}, {dx, -dy}};
    double x0 = point.x(), y0 = point.y();
    double bestX = x0, bestY = y0, bestF = f, bestG = g;
    bool improved = false;
    for (const auto& step : steps) {
      double x = x0 + step[0], y = y0 + step[1];
      double fn = F.evaluate(x, y), gn = G.evaluate(x, y);
      double norm = std::hypot(fn, gn);
      if (norm < best) {
        best = norm;
        bestX = x;
        bestY = y;
        bestF = fn;
        bestG = gn;
        improved = true;
      }
    }
    if (!improved) {
      if (std::hypot(hx, hy) < stepTol) break;
      hx /= 2.0;
      hy /= 2.0;
      ++failures;
    } else {
      point.x() = bestX;
      point.y() = bestY;
      f = bestF;
      g = bestG;
      if (std::fabs(f) < convTol && std::fabs(g) < convTol) break;
      failures = 0;
    }
  } while (failures < maxIterations && ++sweeps < kRefineSweepLimit);
}
