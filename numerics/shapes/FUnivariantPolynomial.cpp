#include "numerics/shapes/FUnivariantPolynomial.h"

#include <algorithm>
#include <cmath>

#include "numerics/shapes/FPolynomialRootFinder.h"

// Approximations steps below this relative size end the iteration whatever
// tolerance the caller asks for.
static constexpr double kRootStepTolerance = 1e-6;
// Roots whose imaginary part is smaller than this are real.
static constexpr double kRealRootImaginaryLimit = 1e-7;

int realRoots(const FUnivariantPolynomial<double>& p, KSimpleArray<double>& roots, double tolerance,
              int maxIterations, double range, bool includeComplexParts) {
  FUnivariantPolynomial<double> work(p);
  work.trim();
  long degree = work.degree();
  roots.setCount(0);
  if (degree < 0) return 0;
  KSSimpleArray<FComplexNumber> found;
  if (FPolynomialRootFinder::findRoots(work.getData(), degree, found, tolerance, maxIterations,
                                       kRootStepTolerance, range))
    return -1;
  long count = 0;
  for (long i = 0; i < found.getCount(); ++i)
    if (includeComplexParts || std::fabs(found[i].imag()) < kRealRootImaginaryLimit) ++count;
  roots.setCount(count);
  if (roots.getValidCount() != count) {
    roots.setCount(0);
    return -1;
  }
  long next = 0;
  for (long i = found.getCount() - 1; i >= 0; --i)
    if (includeComplexParts || std::fabs(found[i].imag()) < kRealRootImaginaryLimit) roots[next++] = found[i].real();
  if (count >= 2) std::sort(roots.getData(), roots.getData() + count);
  return static_cast<int>(count);
}
