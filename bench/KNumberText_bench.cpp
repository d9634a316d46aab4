// Number texts at full precision (how object files write reals) against the
// C library's printf and the standard library's to_chars on the same million
// random finite doubles. Prints the time ratios after the runs.
#include "storage/numbertext/KNumberText.h"

#include <benchmark/benchmark.h>

#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

const std::vector<double>& values() {
  static const std::vector<double> v = [] {
    std::vector<double> out;
    out.reserve(1000000);
    std::mt19937_64 rng(99);
    while (out.size() < 1000000) {
      double d = std::bit_cast<double>(rng());
      if (std::isfinite(d) && d != KNumberText::kUndefined) out.push_back(d);
    }
    return out;
  }();
  return v;
}

void BM_NumberToText(benchmark::State& state) {
  const auto& v = values();
  KString out;
  for (auto _ : state) {
    for (double d : v) {
      numberToText(d, out, 0, 20, -1, DBL_MIN, KQuantityCodes::kDimensionless, ".");
      benchmark::DoNotOptimize(out.GetString());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(v.size()));
}

void BM_Snprintf(benchmark::State& state) {
  const auto& v = values();
  char buf[64];
  for (auto _ : state) {
    for (double d : v) {
      std::snprintf(buf, sizeof buf, "%.19e", d);
      benchmark::DoNotOptimize(buf);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(v.size()));
}

void BM_ToChars(benchmark::State& state) {
  const auto& v = values();
  char buf[64];
  for (auto _ : state) {
    for (double d : v) {
      auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific, 19);
      benchmark::DoNotOptimize(r.ptr);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(v.size()));
}

BENCHMARK(BM_NumberToText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Snprintf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToChars)->Unit(benchmark::kMillisecond);

// Console output as usual, and the time of each run kept for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) m_times[run.benchmark_name()] = run.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> m_times;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto& t = reporter.m_times;
  if (t.count("BM_NumberToText") && t.count("BM_Snprintf") && t.count("BM_ToChars")) {
    std::printf("numberToText / snprintf(\"%%.19e\"): %.2f (target <= 0.30)\n",
                t["BM_NumberToText"] / t["BM_Snprintf"]);
    std::printf("numberToText / to_chars(scientific, 19): %.2f (target <= 1.50)\n",
                t["BM_NumberToText"] / t["BM_ToChars"]);
  }
  benchmark::Shutdown();
  return 0;
}
