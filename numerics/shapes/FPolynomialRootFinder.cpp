// Aberth-Ehrlich iteration with cluster refinement; the method and its
// accuracy are described in FPolynomialRootFinder.h.
#include "numerics/shapes/FPolynomialRootFinder.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kEps = std::numeric_limits<double>::epsilon();
constexpr double kPi = 3.14159265358979323846;
// Offset of the starting angles, so that no starting point is real and the
// circles of the Newton polygon do not line up.
constexpr double kStartAngle = 0.7;
// A cluster is taken as one multiple root only when its spread is below this
// fraction of the distance to the nearest approximation outside it.
constexpr double kClusterIsolation = 0.1;
// Steps in the rounding noise that do not shrink (counted over the whole
// iteration), after which an approximation stops.
constexpr int kStallLimit = 3;
// Relative tolerance of the collinearity test of the Newton polygon.
constexpr double kHullSlack = 1e-10;
int g_lastIterations = 0;

using Poly = KSSimpleArray<double>;

// p'/p at z and whether p(z) is at rounding level. Evaluates the reversed
// polynomial at 1/z when |z| > 1.
struct Evaluation {
  FComplexNumber ratio;  // p'(z) / p(z), valid when p(z) != 0
  double value = 0.0;    // |p(z)|, divided by |z|^n when |z| > 1
  double noise = 0.0;    // rounding level of value
  bool atNoise = false;
};

Evaluation evaluate(const Poly& c, long n, const FComplexNumber& z) {
  Evaluation e;
  double az = z.abs();
  FComplexNumber p, dp;
  double s;
  if (az <= 1.0) {
    p = c[n];
    s = std::fabs(c[n]);
    for (long k = n - 1; k >= 0; --k) {
      dp = dp * z + p;
      p = p * z + c[k];
      s = s * az + std::fabs(c[k]);
    }
  } else {
    FComplexNumber w = FComplexNumber(1.0) / z;
    double aw = 1.0 / az;
    p = c[0];
    s = std::fabs(c[0]);
    for (long k = 1; k <= n; ++k) {
      dp = dp * w + p;
      p = p * w + c[k];
      s = s * aw + std::fabs(c[k]);
    }
    // p(z) = z^n r(w), so p'/p = (n - w r'(w) / r(w)) w.
    e.value = p.abs();
    e.noise = 2.0 * static_cast<double>(n) * kEps * s;
    e.atNoise = e.value <= e.noise;
    if (e.value != 0.0) e.ratio = (FComplexNumber(static_cast<double>(n)) - w * dp / p) * w;
    return e;
  }
  e.value = p.abs();
  e.noise = 2.0 * static_cast<double>(n) * kEps * s;
  e.atNoise = e.value <= e.noise;
  if (e.value != 0.0) e.ratio = dp / p;
  return e;
}

// Starting points: for each edge of the upper convex hull of (k, log|ck|),
// as many points as the edge is long on a circle of the edge's radius.
void startingPoints(const Poly& c, long n, double range, KSSimpleArray<FComplexNumber>& z) {
  KSSimpleArray<long> hull;
  hull.setSize(n + 1);
  long h = 0;
  for (long k = 0; k <= n; ++k) {
    if (c[k] == 0.0) continue;
    double lk = std::log(std::fabs(c[k]));
    while (h >= 2) {
      long a = hull[h - 2], b = hull[h - 1];
      double la = std::log(std::fabs(c[a])), lb = std::log(std::fabs(c[b]));
      // b lies on or below the chord from a to k: not on the upper hull. A
      // point on the chord up to rounding goes too: kept, it would split one
      // edge into two of the same radius whose circles can start a point in
      // the same place (3 t^4 + 9 t^3 - 21 t^2 - 81 t - 54 did), and two
      // coinciding approximations end the iteration at once.
      const double slack = kHullSlack * (std::fabs(lb - la) * static_cast<double>(k - a) +
                                         std::fabs(lk - la) * static_cast<double>(b - a) + static_cast<double>(k - a));
      if ((lb - la) * static_cast<double>(k - a) <= (lk - la) * static_cast<double>(b - a) + slack)
        --h;
      else
        break;
    }
    hull[h++] = k;
  }
  long next = 0;
  for (long e = 0; e + 1 < h; ++e) {
    long a = hull[e], b = hull[e + 1];
    long count = b - a;
    double radius = std::pow(std::fabs(c[a]) / std::fabs(c[b]), 1.0 / static_cast<double>(count));
    if (range > 0.0 && radius > range) radius = range;
    for (long j = 0; j < count; ++j) {
      double angle = 2.0 * kPi * static_cast<double>(j) / static_cast<double>(count) +
                     2.0 * kPi * static_cast<double>(a) / static_cast<double>(n) + kStartAngle;
      z[next++] = FComplexNumber(radius * std::cos(angle), radius * std::sin(angle));
    }
  }
}

// Aberth-Ehrlich sweeps; false when every approximation converged. An
// approximation stops when its step is below stepTol relative, or when p is at
// rounding level there and the step no longer shrinks: the rounding bound is
// pessimistic, so a shrinking step still carries information.
bool aberth(const Poly& c, long n, KSSimpleArray<FComplexNumber>& z, double stepTol, int maxIterations) {
  KSSimpleArray<bool> done;
  KSSimpleArray<double> lastStep;
  KSSimpleArray<int> stalls;
  done.setSize(n);
  lastStep.setSize(n);
  stalls.setSize(n);
  for (long i = 0; i < n; ++i) {
    done[i] = false;
    stalls[i] = 0;
    lastStep[i] = std::numeric_limits<double>::infinity();
  }
  for (int it = 1; it <= maxIterations; ++it) {
    g_lastIterations = it;
    bool all = true;
    for (long i = 0; i < n; ++i) {
      if (done[i]) continue;
      Evaluation e = evaluate(c, n, z[i]);
      if (e.value == 0.0) {
        done[i] = true;
        continue;
      }
      FComplexNumber sum;
      for (long j = 0; j < n; ++j)
        if (j != i) sum += FComplexNumber(1.0) / (z[i] - z[j]);
      FComplexNumber denom = e.ratio - sum;
      FComplexNumber step;
      if (denom == FComplexNumber()) {
        // A stationary point of the Aberth function: nudge off it.
        double nudge = 1e-3 * (1.0 + z[i].abs());
        step = FComplexNumber(nudge, nudge);
      } else {
        step = FComplexNumber(1.0) / denom;
      }
      double size = step.abs();
      if (e.atNoise && size >= lastStep[i]) {
        // Wandering in the rounding noise: after a few such steps in all,
        // keep the last point.
        if (++stalls[i] >= kStallLimit) {
          done[i] = true;
          continue;
        }
      }
      z[i] -= step;
      if (!z[i].isFinite()) return true;
      lastStep[i] = size;
      if (size <= stepTol * z[i].abs()) done[i] = true;
      else all = false;
    }
    if (all) return false;
  }
  return true;
}

// Weierstrass inclusion radius of approximation i (infinite when another
// approximation coincides with it).
double inclusionRadius(const Poly& c, long n, const KSSimpleArray<FComplexNumber>& z, long i) {
  Evaluation e = evaluate(c, n, z[i]);
  double az = z[i].abs();
  double scale = az > 1.0 ? az : 1.0;
  double prod = std::fabs(c[n]);
  for (long j = 0; j < n; ++j)
    if (j != i) prod *= (z[i] - z[j]).abs() / scale;
  if (prod == 0.0) return std::numeric_limits<double>::infinity();
  return static_cast<double>(n) * scale * (e.value + e.noise) / prod;
}

// Coefficients of the m-th derivative of c.
void derivative(const Poly& c, long n, long m, Poly& d) {
  d.setSize(n - m + 1);
  for (long j = 0; j <= n - m; ++j) {
    double f = c[j + m];
    for (long q = j + 1; q <= j + m; ++q) f *= static_cast<double>(q);
    d[j] = f;
  }
}

// Horner for a polynomial and its derivative at z, with the rounding level
// of the value.
void horner(const Poly& d, const FComplexNumber& z, FComplexNumber& p, FComplexNumber& dp, double& noise) {
  long n = d.getCount() - 1;
  double az = z.abs(), s = std::fabs(d[n]);
  p = d[n];
  dp = FComplexNumber();
  for (long k = n - 1; k >= 0; --k) {
    dp = dp * z + p;
    p = p * z + d[k];
    s = s * az + std::fabs(d[k]);
  }
  noise = 2.0 * static_cast<double>(n + 1) * kEps * s;
}

// Newton's method on d from x, keeping the real axis when real. Steps are
// taken while they shrink; answers the last point reached.
FComplexNumber newton(const Poly& d, FComplexNumber x, bool real, int maxSteps) {
  double lastStep = std::numeric_limits<double>::infinity();
  for (int s = 0; s < maxSteps; ++s) {
    FComplexNumber p, dp;
    double noise;
    horner(d, x, p, dp, noise);
    if (p.abs() <= 0.0 || dp == FComplexNumber()) break;
    FComplexNumber step = p / dp;
    if (real) step.m_imag = 0.0;
    double size = step.abs();
    if (!(size < lastStep) && s > 1) break;
    x -= step;
    lastStep = size;
    if (size <= kEps * x.abs()) break;
  }
  return x;
}

// Newton steps on c, each kept only when |p| drops.
FComplexNumber polish(const Poly& c, FComplexNumber x, bool real) {
  FComplexNumber p, dp;
  double noise;
  horner(c, x, p, dp, noise);
  for (int s = 0; s < 4 && p.abs() > 0.0 && dp != FComplexNumber(); ++s) {
    FComplexNumber step = p / dp;
    if (real) step.m_imag = 0.0;
    FComplexNumber y = x - step, py, dpy;
    horner(c, y, py, dpy, noise);
    if (!(py.abs() < p.abs())) break;
    x = y;
    p = py;
    dp = dpy;
  }
  return x;
}

long findRoot(KSSimpleArray<long>& parent, long i) {
  while (parent[i] != i) i = parent[i] = parent[parent[i]];
  return i;
}

// Index g among centres[0..count) nearest to the mirror image of centres[g]
// is g itself: the point (or cluster) stands for a real root.
bool selfConjugate(const KSSimpleArray<FComplexNumber>& centres, long count, long g) {
  FComplexNumber mirror = centres[g].conj();
  double own = (mirror - centres[g]).abs();
  for (long j = 0; j < count; ++j)
    if (j != g && (mirror - centres[j]).abs() < own) return false;
  return true;
}

// Tries the approximations marked in `in` as one multiple root: the cluster
// must lie well apart from the other approximations, Newton's method on
// P^(m-1) from its centroid must stay within reach of it, and P ... P^(m-2)
// must vanish there to rounding level. Answers whether it did; root is then
// the multiple root.
bool multipleRoot(const Poly& c, long n, const KSSimpleArray<FComplexNumber>& z,
                  const KSSimpleArray<double>& radius, const KSSimpleArray<bool>& in, FComplexNumber& root) {
  long m = 0;
  FComplexNumber centre;
  for (long i = 0; i < n; ++i)
    if (in[i]) {
      centre += z[i];
      ++m;
    }
  centre /= static_cast<double>(m);
  double spread = 0.0, reach = 0.0, outside = std::numeric_limits<double>::infinity();
  for (long i = 0; i < n; ++i) {
    double dist = (z[i] - centre).abs();
    if (in[i]) {
      spread = std::max(spread, dist);
      reach = std::max(reach, dist + radius[i]);
    } else {
      outside = std::min(outside, dist);
    }
  }
  if (spread > kClusterIsolation * outside) return false;
  // Real coefficients: the cluster stands for a real root when no outside
  // approximation is nearer to its mirror image than the cluster itself.
  FComplexNumber mirror = centre.conj();
  bool real = true;
  for (long i = 0; i < n && real; ++i)
    if (!in[i] && (z[i] - mirror).abs() < 2.0 * std::fabs(centre.m_imag)) real = false;
  if (real) centre.m_imag = 0.0;
  Poly d;
  derivative(c, n, m - 1, d);
  root = newton(d, centre, real, 30);
  if (!root.isFinite() || (root - centre).abs() > reach) return false;
  for (long j = 0; j + 1 < m; ++j) {
    derivative(c, n, j, d);
    FComplexNumber p, dp;
    double noise;
    horner(d, root, p, dp, noise);
    if (p.abs() > 4.0 * noise) return false;
  }
  return true;
}

// Refines clusters and polishes the rest, in place. Candidate clusters are
// an approximation with its nearest neighbours inside one group of
// overlapping inclusion disks, largest first.
void refine(const Poly& c, long n, KSSimpleArray<FComplexNumber>& z) {
  KSSimpleArray<double> radius;
  KSSimpleArray<long> parent;
  radius.setSize(n);
  parent.setSize(n);
  for (long i = 0; i < n; ++i) {
    radius[i] = inclusionRadius(c, n, z, i);
    parent[i] = i;
  }
  for (long i = 0; i < n; ++i)
    for (long j = i + 1; j < n; ++j)
      if ((z[i] - z[j]).abs() <= radius[i] + radius[j]) parent[findRoot(parent, i)] = findRoot(parent, j);

  KSSimpleArray<FComplexNumber> refined;
  KSSimpleArray<bool> settled, in;
  KSSimpleArray<long> near;
  refined.setSize(n);
  settled.setSize(n);
  in.setSize(n);
  near.setSize(n);
  for (long i = 0; i < n; ++i) settled[i] = false;
  for (long i = 0; i < n; ++i) {
    if (settled[i]) continue;
    // Unsettled members of i's group, nearest to z[i] first.
    long count = 0;
    for (long j = 0; j < n; ++j)
      if (!settled[j] && findRoot(parent, j) == findRoot(parent, i)) near[count++] = j;
    if (count < 2) continue;
    std::sort(near.getData(), near.getData() + count,
              [&](long a, long b) { return (z[a] - z[i]).abs() < (z[b] - z[i]).abs(); });
    for (long m = count; m >= 2; --m) {
      for (long j = 0; j < n; ++j) in[j] = false;
      for (long k = 0; k < m; ++k) in[near[k]] = true;
      FComplexNumber root;
      if (!multipleRoot(c, n, z, radius, in, root)) continue;
      for (long k = 0; k < m; ++k) {
        refined[near[k]] = root;
        settled[near[k]] = true;
      }
      break;
    }
  }
  KSSimpleArray<FComplexNumber> approx;
  approx.setSize(n);
  for (long i = 0; i < n; ++i) approx[i] = z[i];
  for (long i = 0; i < n; ++i) {
    if (settled[i]) {
      z[i] = refined[i];
      continue;
    }
    bool real = selfConjugate(approx, n, i);
    FComplexNumber x = approx[i];
    if (real) x.m_imag = 0.0;
    z[i] = polish(c, x, real);
  }
}

// a t^2 + b t + c with c != 0, without cancellation: the larger root from
// the formula, the smaller from the product of the roots.
void quadratic(double a, double b, double c, FComplexNumber* out) {
  // Discriminant with the rounding error of both products recovered by fma.
  double bb = b * b, ac4 = 4.0 * a * c;
  double disc = (bb - ac4) + (std::fma(b, b, -bb) - std::fma(4.0 * a, c, -ac4));
  if (disc >= 0.0) {
    double q = -0.5 * (b + std::copysign(std::sqrt(disc), b));
    out[0] = FComplexNumber(q / a);
    out[1] = FComplexNumber(c / q);
  } else {
    double re = -b / (2.0 * a), im = std::sqrt(-disc) / std::fabs(2.0 * a);
    out[0] = FComplexNumber(re, im);
    out[1] = FComplexNumber(re, -im);
  }
}

}  // namespace

int FPolynomialRootFinder::lastIterationCount() { return g_lastIterations; }

bool FPolynomialRootFinder::findRoots(const double* coefficients, long degree, KSimpleArray<FComplexNumber>& roots,
                                      double tolerance, int maxIterations, double stepTolerance, double range) {
  g_lastIterations = 0;
  roots.setCount(0);
  if (degree < 0 || coefficients[degree] == 0.0) return true;
  double largest = 0.0;
  for (long k = 0; k <= degree; ++k) {
    if (!std::isfinite(coefficients[k])) return true;
    largest = std::max(largest, std::fabs(coefficients[k]));
  }
  roots.setCount(degree);
  if (roots.getValidCount() != degree) {
    roots.setCount(0);
    return true;
  }
  long zeros = 0;
  while (coefficients[zeros] == 0.0) roots[zeros++] = FComplexNumber();
  long n = degree - zeros;
  if (n == 0) return false;
  // Work on the coefficients above the zero roots, scaled by a power of two
  // (exactly) to a largest magnitude near 1, which keeps overflow away.
  Poly c;
  c.setSize(n + 1);
  if (c.getCount() != n + 1) {
    roots.setCount(0);
    return true;
  }
  for (long k = 0; k <= n; ++k) c[k] = std::ldexp(coefficients[k + zeros], -std::ilogb(largest));
  FComplexNumber* out = roots.getData() + zeros;
  if (n == 1) {
    out[0] = FComplexNumber(-c[0] / c[1]);
    return false;
  }
  if (n == 2) {
    quadratic(c[2], c[1], c[0], out);
    return false;
  }
  KSSimpleArray<FComplexNumber> z;
  z.setSize(n);
  if (z.getCount() != n) {
    roots.setCount(0);
    return true;
  }
  startingPoints(c, n, range, z);
  double stepTol = tolerance > 0.0 ? std::min(tolerance, stepTolerance) : stepTolerance;
  if (aberth(c, n, z, stepTol, maxIterations > 0 ? maxIterations : 100)) {
    roots.setCount(0);
    return true;
  }
  refine(c, n, z);
  for (long i = 0; i < n; ++i) out[i] = z[i];
  return false;
}
