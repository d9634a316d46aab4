// Entry-field texts into numbers (textToReal, as a dialog field reads them)
// against strtod on the same plain numbers. Expressions and feet-and-inches
// texts are timed too and set against the same strtod figure. Prints the
// ratios after the runs.
#include "core/application/KApplicationAbstract.h"
#include "model/units/KConsistentUnits.h"
#include "model/units/KEntryConversion.h"
#include "storage/numbertext/KQuantityCodes.h"

#include "bench/KBenchRatios.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

class FeetApp : public KApplicationAbstract {
 public:
  FeetApp() { m_units.setFromSetName("lbf,ft,lb,s,F"); }
  int GetFeetInchesMode() override { return m_units.feetInchesMode(); }
  KConsistentUnits m_units;
};

std::vector<KString> texts(const char* kind) {
  std::vector<KString> out;
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> any(-1000.0, 1000.0);
  std::uniform_int_distribution<int> whole(0, 99);
  char buf[64];
  for (int i = 0; i < 10000; ++i) {
    std::string k(kind);
    if (k == "plain") snprintf(buf, sizeof buf, "%.6g", any(rng));
    else if (k == "expr") snprintf(buf, sizeof buf, "%d*%.3g+%d/4", whole(rng), any(rng), whole(rng));
    else snprintf(buf, sizeof buf, "%d' %.4g\"", whole(rng), std::fabs(any(rng)) / 100.0);
    out.emplace_back(buf);
  }
  return out;
}

void runTextToReal(benchmark::State& state, const char* kind, long code) {
  static FeetApp app;
  KSetApplication(&app);
  const std::vector<KString> in = texts(kind);
  KString error;
  for (auto _ : state) {
    for (const KString& t : in) {
      double v = 0.0;
      if (textToReal(t, v, error, nullptr, code)) state.SkipWithError(error.GetString());
      benchmark::DoNotOptimize(v);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(in.size()));
  KSetApplication(nullptr);
}

void BM_TextToRealPlain(benchmark::State& state) { runTextToReal(state, "plain", KQuantityCodes::kDimensionless); }
void BM_TextToRealExpression(benchmark::State& state) { runTextToReal(state, "expr", KQuantityCodes::kDimensionless); }
void BM_TextToRealFeetInches(benchmark::State& state) { runTextToReal(state, "feet", KQuantityCodes::kLength); }

void BM_StrtodPlain(benchmark::State& state) {
  const std::vector<KString> in = texts("plain");
  for (auto _ : state) {
    for (const KString& t : in) {
      char* end = nullptr;
      double v = strtod(t.GetString(), &end);
      benchmark::DoNotOptimize(v);
      benchmark::DoNotOptimize(end);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(in.size()));
}

BENCHMARK(BM_TextToRealPlain)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TextToRealExpression)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TextToRealFeetInches)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StrtodPlain)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  KRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("textToReal plain / strtod: %.2f (target <= 3)\n", reporter.ratio("BM_TextToRealPlain", "BM_StrtodPlain"));
  std::printf("textToReal expression / strtod plain: %.2f\n", reporter.ratio("BM_TextToRealExpression", "BM_StrtodPlain"));
  std::printf("textToReal feet and inches / strtod plain: %.2f\n",
              reporter.ratio("BM_TextToRealFeetInches", "BM_StrtodPlain"));
  benchmark::Shutdown();
  return 0;
}
