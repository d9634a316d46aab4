// Block allocator against glibc malloc/free and
// std::pmr::unsynchronized_pool_resource: allocate 1,000,000 records of 32
// bytes, then release them in a shuffled order (the pattern of a large tree
// being emptied). Each run prints the time per record pair and, at the end,
// the ratio of each peer to ours.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory_resource>
#include <random>
#include <string>
#include <vector>

#include "containers/memory/KMemoryAllocator.h"

namespace {

constexpr size_t kRecords = 1000000;
constexpr size_t kRecordBytes = 32;

const std::vector<size_t>& releaseOrder() {
  static const std::vector<size_t> order = [] {
    std::vector<size_t> v(kRecords);
    for (size_t i = 0; i < kRecords; ++i) v[i] = i;
    std::shuffle(v.begin(), v.end(), std::mt19937_64(20240611));
    return v;
  }();
  return order;
}

template <class Alloc, class Free>
void run(benchmark::State& state, Alloc alloc, Free release) {
  const std::vector<size_t>& order = releaseOrder();
  std::vector<void*> slots(kRecords);
  for (auto _ : state) {
    for (size_t i = 0; i < kRecords; ++i) {
      slots[i] = alloc();
      static_cast<char*>(slots[i])[0] = 1;
    }
    for (size_t i : order) release(slots[i]);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kRecords));
}

void BM_KMemoryAllocator(benchmark::State& state) {
  KMemoryAllocator pool(kRecordBytes, 1000);
  run(state, [&] { return pool.allocate(); }, [&](void* p) { pool.release(p); });
}

void BM_Malloc(benchmark::State& state) {
  run(state, [] { return std::malloc(kRecordBytes); }, [](void* p) { std::free(p); });
}

void BM_PmrUnsynchronizedPool(benchmark::State& state) {
  std::pmr::unsynchronized_pool_resource pool;
  run(state, [&] { return pool.allocate(kRecordBytes); },
      [&](void* p) { pool.deallocate(p, kRecordBytes); });
}

BENCHMARK(BM_KMemoryAllocator)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Malloc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PmrUnsynchronizedPool)->Unit(benchmark::kMillisecond);

// Console output plus the CPU time per iteration of each benchmark (the machine is shared, so wall time is noisy), kept for the
// ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> times;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration) times[r.benchmark_name()] = r.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  double ours = reporter.times["BM_KMemoryAllocator"];
  if (ours > 0) {
    for (const char* peer : {"BM_Malloc", "BM_PmrUnsynchronizedPool"})
      if (reporter.times.count(peer))
        std::printf("%s / BM_KMemoryAllocator = %.2f\n", peer, reporter.times[peer] / ours);
  }
  benchmark::Shutdown();
  return 0;
}
