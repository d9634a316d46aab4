// Expression engine against muparser on what an entry field does: parse once
// and evaluate once; and evaluation alone of an already parsed expression.
// Ratios: compare the per-expression times of the Ours and MuParser rows.
#include "numerics/expr/KExpr.h"
#include "numerics/expr/KExprValues.h"

#include <benchmark/benchmark.h>
#include <muParser.h>

#include <string>
#include <vector>

namespace {
struct Case {
  const char* ours;
  const char* mu;  // null where muparser has no equivalent syntax
  int lengthMode;
};

// Twenty typical entry-field texts.
const Case kCases[] = {
    {"1.5e-3", "1.5e-3", 0},
    {"2*PI*r", "2*PI*r", 0},
    {"2.5E+3/4", "2.5E+3/4", 0},
    {"(a+b)*(a-b)", "(a+b)*(a-b)", 0},
    {"sind(30)*len", "sin(30*_pi/180)*len", 0},
    {"if(a>b, a, b)", "a>b ? a : b", 0},
    {"pwl(r, 0, 0, 10, 100)", nullptr, 0},
    {"((((r+1)*2)-3)/4)", "((((r+1)*2)-3)/4)", 0},
    {"5'6\"", nullptr, 2},
    {"12'", nullptr, 1},
    {"sqrt(a^2+b^2)", "sqrt(a^2+b^2)", 0},
    {"max(a, b, r)", "max(a, b, r)", 0},
    {"-r^2", "-(r^2)", 0},
    {"len/2-0.125", "len/2-0.125", 0},
    {"abs(a-b)*1e3", "abs(a-b)*1e3", 0},
    {"cosd(45)*sind(45)", "cos(45*_pi/180)*sin(45*_pi/180)", 0},
    {"exp(-r)*100", "exp(-r)*100", 0},
    {"a*b*r*len", "a*b*r*len", 0},
    {"200", "200", 0},
    {"log10(1000)+floor(2.7)", "log10(1000)+rint(2.2)", 0},
};

double g_a = 3, g_b = 4, g_r = 2, g_len = 12, g_pi = 3.141592653589793;

KExprValues& values() {
  static KExprValues* v = [] {
    auto* s = new KExprValues(true);
    s->addValue("a", g_a);
    s->addValue("b", g_b);
    s->addValue("r", g_r);
    s->addValue("len", g_len);
    return s;
  }();
  return *v;
}

void defineMu(mu::Parser& p) {
  p.DefineVar("a", &g_a);
  p.DefineVar("b", &g_b);
  p.DefineVar("r", &g_r);
  p.DefineVar("len", &g_len);
  p.DefineConst("PI", g_pi);
}

// Parses and evaluates the cases once per iteration; onlyShared keeps to the
// cases muparser also takes, so that both sides do the same work.
void parseEvaluate(benchmark::State& state, bool onlyShared) {
  int n = 0;
  for (auto _ : state) {
    for (const Case& c : kCases) {
      if (onlyShared && !c.mu) continue;
      KExpr e;
      e.parse(c.ours, false, c.lengthMode);
      double v = 0;
      KString error;
      e.evaluate(&values(), &v, error);
      benchmark::DoNotOptimize(v);
      ++n;
    }
  }
  state.counters["ns_per_expr"] = benchmark::Counter(static_cast<double>(n), benchmark::Counter::kIsRate |
                                                                                benchmark::Counter::kInvert);
}
void BM_Ours_ParseEvaluate(benchmark::State& state) { parseEvaluate(state, true); }
BENCHMARK(BM_Ours_ParseEvaluate);
void BM_Ours_ParseEvaluateAllTwenty(benchmark::State& state) { parseEvaluate(state, false); }
BENCHMARK(BM_Ours_ParseEvaluateAllTwenty);

void BM_MuParser_ParseEvaluate(benchmark::State& state) {
  mu::Parser p;
  defineMu(p);
  int n = 0;
  for (auto _ : state) {
    for (const Case& c : kCases) {
      if (!c.mu) continue;
      p.SetExpr(c.mu);
      double v = p.Eval();
      benchmark::DoNotOptimize(v);
      ++n;
    }
  }
  state.counters["ns_per_expr"] = benchmark::Counter(static_cast<double>(n), benchmark::Counter::kIsRate |
                                                                                benchmark::Counter::kInvert);
}
BENCHMARK(BM_MuParser_ParseEvaluate);

// Evaluation only, of "2*PI*r+sqrt(a^2+b^2)".
void BM_Ours_EvaluateOnly(benchmark::State& state) {
  KExpr e;
  e.parse("2*PI*r+sqrt(a^2+b^2)", false, 0);
  for (auto _ : state) {
    double v = 0;
    KString error;
    e.evaluate(&values(), &v, error);
    benchmark::DoNotOptimize(v);
  }
}
BENCHMARK(BM_Ours_EvaluateOnly);

void BM_MuParser_EvaluateOnly(benchmark::State& state) {
  mu::Parser p;
  defineMu(p);
  p.SetExpr("2*PI*r+sqrt(a^2+b^2)");
  for (auto _ : state) {
    double v = p.Eval();
    benchmark::DoNotOptimize(v);
  }
}
BENCHMARK(BM_MuParser_EvaluateOnly);
}  // namespace

BENCHMARK_MAIN();
