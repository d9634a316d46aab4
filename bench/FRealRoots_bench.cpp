// realRoots on polynomials with known real roots: time per call and the worst
// root error, by degree, for simple roots and for sets with a double and a
// triple root. Roots are drawn from fixed seeds in [-2, 2], at least 0.05
// apart (closer random roots make the error a property of the coefficients,
// not of the finder).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "numerics/shapes/FUnivariantPolynomial.h"

namespace {

struct Problem {
  FUnivariantPolynomial<double> poly;
  std::vector<double> roots;  // ascending
};

std::vector<Problem> makeProblems(int degree, bool repeated, int count) {
  std::mt19937 rng(1234u + static_cast<unsigned>(degree) * 7u + (repeated ? 1u : 0u));
  std::uniform_real_distribution<double> u(-2.0, 2.0);
  std::vector<Problem> out;
  for (int i = 0; i < count; ++i) {
    std::vector<double> r;
    while (static_cast<int>(r.size()) < degree) {
      double x = u(rng);
      if (std::all_of(r.begin(), r.end(), [&](double y) { return std::fabs(x - y) >= 0.05; })) r.push_back(x);
    }
    if (repeated && degree >= 3) r[1] = r[0];  // a double root
    if (repeated && degree >= 6) r[3] = r[4] = r[2];  // and a triple one
    std::vector<double> c{1.0};
    for (double x : r) {
      std::vector<double> next(c.size() + 1, 0.0);
      for (size_t k = 0; k < c.size(); ++k) {
        next[k + 1] += c[k];
        next[k] -= x * c[k];
      }
      c.swap(next);
    }
    Problem p;
    p.poly.setSize(static_cast<long>(c.size()));
    for (size_t k = 0; k < c.size(); ++k) p.poly[static_cast<long>(k)] = c[k];
    std::sort(r.begin(), r.end());
    p.roots = r;
    out.push_back(std::move(p));
  }
  return out;
}

void runRealRoots(benchmark::State& state, bool repeated) {
  const int degree = static_cast<int>(state.range(0));
  std::vector<Problem> problems = makeProblems(degree, repeated, 64);
  KSSimpleArray<double> found;
  double worst = 0.0;
  long missed = 0;
  size_t next = 0;
  for (auto _ : state) {
    const Problem& p = problems[next];
    next = (next + 1) % problems.size();
    int n = realRoots(p.poly, found, 1e-12, 100, 0.0, false);
    benchmark::DoNotOptimize(found.getData());
    if (n != degree) {
      ++missed;
      continue;
    }
    for (int k = 0; k < n; ++k) worst = std::max(worst, std::fabs(found[k] - p.roots[static_cast<size_t>(k)]));
  }
  state.counters["worstError"] = worst;
  state.counters["missedSets"] = static_cast<double>(missed);
}

void BM_RealRootsSimple(benchmark::State& state) { runRealRoots(state, false); }
void BM_RealRootsRepeated(benchmark::State& state) { runRealRoots(state, true); }

}  // namespace

BENCHMARK(BM_RealRootsSimple)->DenseRange(2, 20, 3);
BENCHMARK(BM_RealRootsRepeated)->DenseRange(3, 20, 3)->Arg(20);
BENCHMARK_MAIN();
