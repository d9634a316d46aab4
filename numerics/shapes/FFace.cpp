#include "numerics/shapes/FFace.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "containers/memory/KGrowingArray.h"
#include "numerics/shapes/FTriSolutionBounds.h"

namespace {

// Newton steps that polish a candidate of the search.
constexpr int kPolishSteps = 12;
// The mapping counts as singular at the centre when its Jacobian determinant
// is below this fraction of the product of the gradient lengths.
constexpr double kSingularRatio = 1e-12;

bool isFinite(const K3dCoords& p) { return std::isfinite(p.x()) && std::isfinite(p.y()) && std::isfinite(p.z()); }

// The coefficients c0 + c1 t + c2 t^2 of the quadratic through (-1, a),
// (0, b), (1, c); exact for the dyadic values of shape functions.
void interpolate(double a, double b, double c, double out[3]) {
  out[0] = b;
  out[1] = (c - a) / 2.0;
  out[2] = (c + a) / 2.0 - b;
}

struct Derivatives {
  FBivariantPolynomial<double> fx, fy, gx, gy;
  Derivatives(const FBivariantPolynomial<double>& F, const FBivariantPolynomial<double>& G)
      : fx(F.derivative(false)), fy(F.derivative(true)), gx(G.derivative(false)), gy(G.derivative(true)) {}
};

// Newton's method on F = G = 0 from p; a step is kept only when it lowers
// |(F, G)|. beam: F and G depend on xi alone and xi is fitted by least squares.
void polish(const FBivariantPolynomial<double>& F, const FBivariantPolynomial<double>& G, const Derivatives& d,
            K2dCoords& p, bool beam) {
  double f = F.evaluate(p.x(), p.y()), g = G.evaluate(p.x(), p.y());
  double residual = std::hypot(f, g);
  for (int step = 0; step < kPolishSteps && residual > 0.0; ++step) {
    double a = d.fx.evaluate(p.x(), p.y()), b = d.fy.evaluate(p.x(), p.y());
    double c = d.gx.evaluate(p.x(), p.y()), e = d.gy.evaluate(p.x(), p.y());
    double sx, sy;
    if (beam) {
      double norm = a * a + c * c;
      if (!(norm > 0.0)) return;
      sx = (f * a + g * c) / norm;
      sy = 0.0;
    } else {
      double det = a * e - b * c;
      if (!(std::fabs(det) > 0.0)) return;
      sx = (e * f - b * g) / det;
      sy = (a * g - c * f) / det;
    }
    K2dCoords next(p.x() - sx, p.y() - sy);
    double fn = F.evaluate(next.x(), next.y()), gn = G.evaluate(next.x(), next.y());
    double r = std::hypot(fn, gn);
    if (!(r < residual)) return;
    p = next;
    f = fn;
    g = gn;
    residual = r;
  }
}

}  // namespace

bool FFace::shapeDerivatives(const K2dCoords& local, double* dXi, double* dEta) const {
  int n = nodeCount();
  for (int i = 0; i < n; ++i) {
    double unit[kMaxNodes] = {};
    unit[i] = 1.0;
    FBivariantPolynomial<double> p;
    if (coordinatePolynomial(unit, p)) return true;
    dXi[i] = p.derivative(false).evaluate(local.x(), local.y());
    dEta[i] = p.derivative(true).evaluate(local.x(), local.y());
  }
  return false;
}

bool FFace::coordinatePolynomial(const double* nodeValues, FBivariantPolynomial<double>& out) const {
  int n = nodeCount();
  if (n < 1 || n > kMaxNodes) return true;
  // The mapped value on the 3 x 3 points (-1, 0, 1)^2, then the tensor
  // interpolation: first along xi for each eta, then along eta.
  double alongXi[3][3];  // [eta point][power of xi]
  for (int b = 0; b < 3; ++b) {
    double v[3];
    for (int a = 0; a < 3; ++a) {
      double shape[kMaxNodes];
      if (shapeFunctions(K2dCoords(a - 1.0, b - 1.0), shape)) return true;
      double sum = 0.0;
      for (int i = 0; i < n; ++i) sum += shape[i] * nodeValues[i];
      v[a] = sum;
    }
    interpolate(v[0], v[1], v[2], alongXi[b]);
  }
  if (out.resize(3, 3)) return true;
  for (int i = 0; i < 3; ++i) {
    double c[3];
    interpolate(alongXi[0][i], alongXi[1][i], alongXi[2][i], c);
    for (int j = 0; j < 3; ++j) out.at(i, j) = c[j];
  }
  out.setTrigonometricForm(false);
  return out.trim(std::numeric_limits<double>::denorm_min());
}

bool FFace::localToGlobal(const K2dCoords& local, const K3dCoords* nodes, K3dCoords& global) const {
  double shape[kMaxNodes];
  if (shapeFunctions(local, shape)) return true;
  global = K3dCoords(0.0, 0.0, 0.0);
  for (int i = 0; i < nodeCount(); ++i) global += nodes[i] * shape[i];
  return false;
}

K2dRect FFace::searchDomain() const {
  K2dRect box = domain();
  box.scaleAboutCentre(5.0);
  if (isTriangular()) {
    double extra = distance(box.getMax(), box.getMin()) * 5.0 / 100.0;
    box.getMax().x() += extra;
    box.getMax().y() += extra;
  }
  return box;
}

bool FFace::globalToLocalCandidates(const K3dCoords& target, const K3dCoords* nodes,
                                    KSimpleArray<K2dCoords>& candidates) const {
  candidates.setCount(0);
  int n = nodeCount();
  if (!nodes || n < 1 || n > kMaxNodes || !isFinite(target)) return true;
  for (int i = 0; i < n; ++i)
    if (!isFinite(nodes[i])) return true;

  FBivariantPolynomial<double> mapped[3];
  double magnitude[3];
  for (int k = 2; k >= 0; --k) {
    double values[kMaxNodes];
    for (int i = 0; i < n; ++i) values[i] = nodes[i][k];
    if (coordinatePolynomial(values, mapped[k])) return true;
    mapped[k].at(0, 0) -= target[k];
    magnitude[k] = mapped[k].largestMagnitude();
  }
  int dropped = 0;
  for (int k = 1; k < 3; ++k)
    if (magnitude[k] < magnitude[dropped]) dropped = k;
  const FBivariantPolynomial<double>& F = mapped[(dropped + 1) % 3];
  const FBivariantPolynomial<double>& G = mapped[(dropped + 2) % 3];
  bool beam = domain().size(1) == 0.0;

  Derivatives d(F, G);
  if (!beam) {
    K2dCoords c;
    centre(c);
    double a = d.fx.evaluate(c.x(), c.y()), b = d.fy.evaluate(c.x(), c.y());
    double e = d.gx.evaluate(c.x(), c.y()), h = d.gy.evaluate(c.x(), c.y());
    if (!(std::fabs(a * h - b * e) > kSingularRatio * std::hypot(a, b) * std::hypot(e, h))) return true;
  }
  int found = findCommonZeros(F, G, candidates, searchDomain(), kConvergenceTolerance, kMinimumSize,
                              kMergeDistance, kMaxIterations, kGridCount, isTriangular(), -1);
  if (found < 0) return true;
  for (long i = 0; i < candidates.getCount(); ++i) {
    if (beam) candidates[i].y() = 0.0;
    polish(F, G, d, candidates[i], beam);
  }
  return false;
}

bool FFace::globalToLocal(const K3dCoords& target, const K3dCoords* nodes, K2dCoords& local) const {
  KSSimpleArray<K2dCoords> candidates;
  if (globalToLocalCandidates(target, nodes, candidates) || candidates.getCount() == 0) return true;
  long best = 0;
  double bestOutside = distanceOutside(candidates[0]), bestResidual = -1.0;
  for (long i = 1; i < candidates.getCount(); ++i) {
    double outside = distanceOutside(candidates[i]);
    if (outside > bestOutside) continue;
    if (outside == bestOutside) {
      // Only ties need the residuals.
      K3dCoords p;
      auto residual = [&](const K2dCoords& c) {
        localToGlobal(c, nodes, p);
        return distance(p, target);
      };
      if (bestResidual < 0.0) bestResidual = residual(candidates[best]);
      double r = residual(candidates[i]);
      if (!(r < bestResidual)) continue;
      bestResidual = r;
    } else {
      bestResidual = -1.0;
    }
    best = i;
    bestOutside = outside;
  }
  local = candidates[best];
  return false;
}

double FTriFace::distanceOutside(const K2dCoords& local) const {
  return std::max({0.0, -local.x(), -local.y(), local.x() + local.y() - 1.0});
}

double FQuadFace::distanceOutside(const K2dCoords& local) const {
  return std::max({0.0, std::fabs(local.x()) - 1.0, std::fabs(local.y()) - 1.0});
}

double FBeamFace::distanceOutside(const K2dCoords& local) const {
  return std::max(0.0, std::fabs(local.x()) - 1.0);
}

bool FBeamFace::globalToLocalCandidates(const K3dCoords& target, const K3dCoords* nodes,
                                        KSimpleArray<K2dCoords>& candidates) const {
  if (FFace::globalToLocalCandidates(target, nodes, candidates)) return true;
  // The search strip has a height: one point of the beam may come back twice.
  long n = candidates.getCount();
  for (long i = 0; i < n; ++i)
    for (long j = i + 1; j < n;) {
      if (std::fabs(candidates[j].x() - candidates[i].x()) < kMergeDistance)
        candidates[j] = candidates[--n];
      else
        ++j;
    }
  candidates.setCount(n);
  return false;
}
