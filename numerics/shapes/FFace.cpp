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
// |(F, G)|.
void polish(const FBivariantPolynomial<double>& F, const FBivariantPolynomial<double>& G, const Derivatives& d,
            K2dCoords& p) {
  double f = F.evaluate(p.x(), p.y()), g = G.evaluate(p.x(), p.y());
  double residual = std::hypot(f, g);
  for (int step = 0; step < kPolishSteps && residual > 0.0; ++step) {
    double a = d.fx.evaluate(p.x(), p.y()), b = d.fy.evaluate(p.x(), p.y());
    double c = d.gx.evaluate(p.x(), p.y()), e = d.gy.evaluate(p.x(), p.y());
    double det = a * e - b * c;
    if (!(std::fabs(det) > 0.0)) return;
    K2dCoords next(p.x() - (e * f - b * g) / det, p.y() - (a * g - c * f) / det);
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

bool FFace::mappedCoordinates(const K3dCoords& target, const K3dCoords* nodes,
                              FBivariantPolynomial<double> mapped[3]) const {
  int n = nodeCount();
  if (!nodes || n < 1 || n > kMaxNodes || !isFinite(target)) return true;
  for (int i = 0; i < n; ++i)
    if (!isFinite(nodes[i])) return true;
  for (int k = 2; k >= 0; --k) {
    double values[kMaxNodes];
    for (int i = 0; i < n; ++i) values[i] = nodes[i][k];
    if (coordinatePolynomial(values, mapped[k])) return true;
    mapped[k].at(0, 0) -= target[k];
  }
  return false;
}

bool FFace::globalToLocalCandidates(const K3dCoords& target, const K3dCoords* nodes,
                                    KSimpleArray<K2dCoords>& candidates) const {
  candidates.setCount(0);
  FBivariantPolynomial<double> mapped[3];
  if (mappedCoordinates(target, nodes, mapped)) return true;
  double magnitude[3];
  for (int k = 0; k < 3; ++k) magnitude[k] = mapped[k].largestMagnitude();
  int dropped = 0;
  for (int k = 1; k < 3; ++k)
    if (magnitude[k] < magnitude[dropped]) dropped = k;
  const FBivariantPolynomial<double>& F = mapped[(dropped + 1) % 3];
  const FBivariantPolynomial<double>& G = mapped[(dropped + 2) % 3];
  Derivatives d(F, G);
  K2dCoords c;
  centre(c);
  double a = d.fx.evaluate(c.x(), c.y()), b = d.fy.evaluate(c.x(), c.y());
  double e = d.gx.evaluate(c.x(), c.y()), h = d.gy.evaluate(c.x(), c.y());
  if (!(std::fabs(a * h - b * e) > kSingularRatio * std::hypot(a, b) * std::hypot(e, h))) return true;
  int found = findCommonZeros(F, G, candidates, searchDomain(), kConvergenceTolerance, kMinimumSize,
                              kMergeDistance, kMaxIterations, kGridCount, isTriangular(), -1);
  if (found < 0) return true;
  long count = candidates.getCount();
  for (long i = 0; i < count; ++i) polish(F, G, d, candidates[i]);
  // Candidates the search kept apart may polish to one point.
  for (long i = 0; i < count; ++i)
    for (long j = i + 1; j < count;) {
      if (distance(candidates[j], candidates[i]) < kMergeDistance)
        candidates[j] = candidates[--count];
      else
        ++j;
    }
  candidates.setCount(count);
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
  candidates.setCount(0);
  FBivariantPolynomial<double> coordinates[3];
  if (mappedCoordinates(target, nodes, coordinates)) return true;
  FUnivariantPolynomial<double> mapped[3];
  int main = 0;
  double mainSize = -1.0, size = 0.0;
  for (int k = 0; k < 3; ++k) {
    mapped[k] = coordinates[k].univariate(0, true);
    double variation = 0.0;
    for (long j = 1; j < mapped[k].getCount(); ++j) variation = std::max(variation, std::fabs(mapped[k][j]));
    size = std::max(size, variation);
    if (variation > mainSize) {
      mainSize = variation;
      main = k;
    }
  }
  if (!(size > 0.0)) return true;
  K2dRect box = searchDomain();
  KSSimpleArray<double> roots;
  if (realRoots(mapped[main], roots, kConvergenceTolerance, kMaxIterations, 1.1 * box.size(0) / 2.0, false) < 0)
    return true;
  long count = 0;
  for (long i = 0; i < roots.getCount(); ++i) {
    double xi = roots[i];
    if (!(box.getMin().x() <= xi && xi <= box.getMax().x())) continue;
    double miss = 0.0;
    for (int k = 0; k < 3; ++k) miss = std::max(miss, std::fabs(mapped[k].evaluate(xi)));
    if (miss > kConvergenceTolerance * size) continue;
    if (count > 0 && std::fabs(candidates[count - 1].x() - xi) < kMergeDistance) continue;
    candidates.setAtGrow(count, K2dCoords(xi, 0.0), 4);
    if (candidates.getCount() > count) ++count;
  }
  candidates.setCount(count);
  return false;
}
