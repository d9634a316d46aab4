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
//     overflows. An approximation stops when its step falls below the
//     stopping tolerance, or when |p(z)| is at rounding level
//     (2 n eps sum |ck| |z|^k) and its step has failed to shrink three times:
//     that bound is pessimistic, and stopping at it alone leaves
//     ill-conditioned roots far off.
//  3. Clusters: around each approximation lies a Weierstrass inclusion disk,
//     radius n (|p(z)| + rounding level) / |cn prod (z - zj)|; overlapping
//     disks form groups. Within a group, an approximation and its m - 1
//     nearest neighbours (largest m first) are tried as one m-fold root: they
//     must lie well apart from all other approximations (spread under a tenth
//     of the distance to the nearest outside one), Newton's method on
//     P^(m-1), on which the root is simple, refines their centroid, and
//     P, P', ..., P^(m-2) must vanish there to rounding level. Every member of
//     an accepted cluster becomes that refined root.
//  4. Other approximations get up to four Newton steps on P, each kept only
//     when it lowers |p|.
//  5. Because the coefficients are real, a root (or cluster) whose own mirror
//     image is closer to itself than to any other approximation is real: its
//     imaginary part is set to zero and the refinement runs in real
//     arithmetic.
//
// Accuracy (measured on roots in [-2, 2] at least 0.05 apart, degrees 2 to
// 20). Simple roots: within a few units of the backward-error bound
// n eps sum|ck||r|^k / |p'(r)|, i.e. 1e-15 for well-conditioned roots and up
// to about 1e-8 at degree 20. Isolated double and triple roots: about the
// accuracy of a simple root of P^(m-1), 1e-15 to 1e-12 in small degrees, and
// exactly real where the root is real; without the cluster step a double root
// carries an error of about sqrt(eps) and a triple one eps^(1/3). A cluster
// with a near neighbour that is not isolated enough keeps the Aberth
// accuracy (worst seen: 1.4e-5 for a triple root at degree 20). prod (t - k),
// k = 1..20, comes out with every root real and a worst error of 8e-3, about
// what its rounded coefficients allow.
#pragma once
#include "containers/memory/KSimpleArray.h"
#include "numerics/shapes/FComplexNumber.h"

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
