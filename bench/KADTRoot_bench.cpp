// The alternating digital tree against boost::geometry::index::rtree (packed
// by its range constructor, quadratic<16>) and against a brute-force scan, on
// the same intervals: n = 10^5 and 10^6 intervals of random position in
// [0, 1] and length up to 2e-5, and 10^5 overlap queries (kind 1) of the
// same kind of interval. Brute force runs 10^3 queries and is scaled to
// 10^5. Prints CPU times and the ratios ours / peer after the table.
#include <benchmark/benchmark.h>

#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>
#include <boost/iterator/function_output_iterator.hpp>

#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/KBenchRatios.h"
#include "geometry/coords/K1dLine.h"
#include "numerics/shapes/KADTRoot.h"

namespace {
namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;
using Point = bg::model::point<double, 1, bg::cs::cartesian>;
using Box = bg::model::box<Point>;
using Value = std::pair<Box, unsigned>;
using RTree = bgi::rtree<Value, bgi::quadratic<16>>;

constexpr long kQueries = 100000;
constexpr long kBruteQueries = 1000;
constexpr double kMaxLength = 2e-5;

struct Item : KADTItem<Item, K1dLine, double> {
  Item() = default;
  explicit Item(const K1dLine& k) : m_keys(k) {}
  const K1dLine& keys() const { return m_keys; }
  K1dLine m_keys;
};
using Tree = KADTRoot<Item, K1dLine, double>;

struct Data {
  std::vector<K1dLine> keys;
  std::vector<std::unique_ptr<Item>> items;
  std::vector<Value> values;
  std::vector<K1dLine> queries;
  K1dLine domain{0.0, 1.0 + kMaxLength};
};

std::vector<K1dLine> intervals(long n, unsigned seed) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> at(0, 1), length(0, kMaxLength);
  std::vector<K1dLine> v;
  v.reserve(n);
  for (long i = 0; i < n; ++i) {
    double a = at(rng);
    v.emplace_back(a, a + length(rng));
  }
  return v;
}

const Data& data(long n) {
  static std::map<long, Data> cache;
  Data& d = cache[n];
  if (d.items.empty()) {
    unsigned i = 0;
    d.keys = intervals(n, 17);
    for (const K1dLine& k : d.keys) {
      d.items.push_back(std::make_unique<Item>(k));
      d.values.emplace_back(Box(Point(k.low()), Point(k.high())), i++);
    }
    d.queries = intervals(kQueries, 99);
  }
  return d;
}

// The index as a builder makes it: the items created in one block in the
// tree's path order, then inserted in that order.
struct Index {
  std::unique_ptr<Item[]> items;
  Tree tree{1, true};
  explicit Index(const Data& d) {
    tree.reset(d.domain);
    std::vector<long> order;
    long n = static_cast<long>(d.keys.size());
    tree.pathOrder(d.keys.data(), n, order);
    items.reset(new Item[static_cast<size_t>(n)]);
    for (long i = 0; i < n; ++i) {
      items[i].m_keys = d.keys[order[i]];
      tree.insert(&items[i]);
    }
  }
};

void BM_ADTBuild(benchmark::State& state) {
  const Data& d = data(state.range(0));
  for (auto _ : state) {
    Index index(d);
    benchmark::DoNotOptimize(index.tree.getRoot());
  }
}
// Items made one by one in input order, inserted in that order.
void BM_ADTBuildUnordered(benchmark::State& state) {
  const Data& d = data(state.range(0));
  for (auto _ : state) {
    Tree tree(1, true);
    tree.reset(d.domain);
    for (const auto& item : d.items) tree.insert(item.get());
    benchmark::DoNotOptimize(tree.getRoot());
  }
}
void BM_RTreeBuild(benchmark::State& state) {
  const Data& d = data(state.range(0));
  for (auto _ : state) {
    RTree tree(d.values.begin(), d.values.end());
    benchmark::DoNotOptimize(tree.size());
  }
}
long runQueries(const Data& d, const Tree& tree, KHSimpleArray<Item*>& results) {
  long found = 0;
  for (const K1dLine& q : d.queries) found += tree.search(q, results, kADTOverlaps);
  return found;
}
void BM_ADTQueries(benchmark::State& state) {
  const Data& d = data(state.range(0));
  Index index(d);
  KHSimpleArray<Item*> results;
  results.setSize(static_cast<long>(d.items.size()));
  long found = 0;
  for (auto _ : state) found += runQueries(d, index.tree, results);
  state.counters["hits/query"] = static_cast<double>(found) / static_cast<double>(state.iterations() * kQueries);
}
void BM_ADTQueriesUnordered(benchmark::State& state) {
  const Data& d = data(state.range(0));
  Tree tree(1, true);
  tree.reset(d.domain);
  for (const auto& item : d.items) tree.insert(item.get());
  KHSimpleArray<Item*> results;
  results.setSize(static_cast<long>(d.items.size()));
  long found = 0;
  for (auto _ : state) found += runQueries(d, tree, results);
  state.counters["hits/query"] = static_cast<double>(found) / static_cast<double>(state.iterations() * kQueries);
}
void BM_RTreeQueries(benchmark::State& state) {
  const Data& d = data(state.range(0));
  RTree tree(d.values.begin(), d.values.end());
  long found = 0;
  auto count = boost::make_function_output_iterator([&found](const Value&) { ++found; });
  for (auto _ : state)
    for (const K1dLine& q : d.queries) tree.query(bgi::intersects(Box(Point(q.low()), Point(q.high()))), count);
  state.counters["hits/query"] = static_cast<double>(found) / static_cast<double>(state.iterations() * kQueries);
}
// kBruteQueries queries; the ratio below scales the time to kQueries.
void BM_BruteQueries(benchmark::State& state) {
  const Data& d = data(state.range(0));
  long found = 0;
  for (auto _ : state)
    for (long qi = 0; qi < kBruteQueries; ++qi) {
      const K1dLine& q = d.queries[qi];
      for (const auto& item : d.items) found += item->keys().high() >= q.low() && q.high() >= item->keys().low();
    }
  benchmark::DoNotOptimize(found);
}

BENCHMARK(BM_ADTBuild)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ADTBuildUnordered)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RTreeBuild)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ADTQueries)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ADTQueriesUnordered)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RTreeQueries)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BruteQueries)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Keeps the CPU time per iteration of every run by name.
}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  KRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const char* n : {"100000", "1000000"}) {
    auto t = [&](const char* name) { return reporter.time(std::string(name) + "/" + n); };
    double brute = t("BM_BruteQueries") * (static_cast<double>(kQueries) / kBruteQueries);
    if (t("BM_ADTBuild") > 0 && t("BM_RTreeBuild") > 0)
      std::printf("n=%s build: ours / packed rtree = %.2f\n", n, t("BM_ADTBuild") / t("BM_RTreeBuild"));
    if (t("BM_ADTQueries") > 0 && t("BM_RTreeQueries") > 0)
      std::printf("n=%s 1e5 queries: ours / rtree = %.2f\n", n, t("BM_ADTQueries") / t("BM_RTreeQueries"));
    if (t("BM_ADTBuildUnordered") > 0 && t("BM_RTreeBuild") > 0)
      std::printf("n=%s build, items unordered: ours / packed rtree = %.2f\n", n,
                  t("BM_ADTBuildUnordered") / t("BM_RTreeBuild"));
    if (t("BM_ADTQueriesUnordered") > 0 && t("BM_RTreeQueries") > 0)
      std::printf("n=%s 1e5 queries, items unordered: ours / rtree = %.2f\n", n,
                  t("BM_ADTQueriesUnordered") / t("BM_RTreeQueries"));
    if (t("BM_ADTQueries") > 0 && brute > 0)
      std::printf("n=%s 1e5 queries: brute force / ours = %.0f\n", n, brute / t("BM_ADTQueries"));
  }
  benchmark::Shutdown();
  return 0;
}
