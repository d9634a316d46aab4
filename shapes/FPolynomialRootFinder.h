// FPolynomialRootFinder: all complex roots of a polynomial with real
// coefficients.
//
// Method.
//  1. Zero roots (trailing zero coefficients) are taken off exactly; what is
//     left of degree 1 is solved directly, of degree 2 by the cancellation-free
//     quadratic formula with an fma-corrected discriminant.
//  2. Higher degrees: Aberth-Ehrlich simultaneous iteration (Gauss-Seidel
//     updates) from starting points on circles whose radii come from the
//     Newton polygon of the coefficients. p and p' are evaluated by Horner's
//     rule, on the reversed polynomial at 1/z when |z| > 1 so that nothing
//     overflows. A root stops when |p(z)| falls to rounding level
//     (2 n eps sum |ck| |z|^k) or its step falls below the stopping tolerance.
//  3. Clusters: around each approximation lies a Weierstrass inclusion disk,
//     radius n (|p(z)| + rounding level) / |cn prod (z - zj)|; overlapping
//     disks form a cluster. A cluster of m approximations that lies well
//     apart from the others (its spread under a tenth of the distance to the
//     nearest outside approximation) is taken as an m-fold root: its centroid
//     is refined by Newton's method on P^(m-1), on which the root is simple,
//     and accepted when P, P', ..., P^(m-2) vanish there to rounding level.
//     Every member of an accepted cluster becomes that refined root.
//  4. Other approximations get up to four Newton steps on P, each kept only
//     when it lowers |p|.
//  5. Because the coefficients are real, a root (or cluster) whose own mirror
//     image is closer to itself than to any other approximation is real: its
//     imaginary part is set to zero and the polish runs in real arithmetic.
//
// Accuracy. Simple roots: within a few units of the backward-error bound
// n eps sum|ck||r|^k / |p'(r)|, i.e. close to full precision for
// well-conditioned roots. Multiple roots that are isolated: about the same
// relative accuracy as a simple root of P^(m-1), typically 1e-14 to 1e-12
// for double and triple roots, and exactly real where the root is real.
// Without the cluster step a double root carries an error of about
// sqrt(eps) and a triple one eps^(1/3). Clusters that are not isolated
// (ill-conditioned polynomials such as prod (t - k), k = 1..20) keep the
// accuracy the coefficients allow, which there is about 1e-3 or worse.
#pragma once
#include "foundation/memory/KSimpleArray.h"
#include "shapes/FComplexNumber.h"

class FPolynomialRootFinder {
 public:
  // Roots of c[0] + c[1] t + ... + c[degree] t^degree, c[degree] != 0, into
  // roots (resized to degree). Approximations converge when their relative
  // step drops below the smaller of tolerance (when positive) and
  // stepTolerance, or when p is at rounding level. True on failure: no
  // convergence within maxIterations sweeps, a coefficient not finite, or no
  // storage; roots is then empty. range > 0 caps the starting radii.
  static bool findRoots(const double* c, long degree, KSimpleArray<FComplexNumber>& roots, double tolerance,
                        int maxIterations, double stepTolerance, double range);

  // Number of Aberth sweeps used by the last findRoots call
  // (0 when no iteration was needed), for benchmarks and tests.
  static int lastIterationCount();
};
