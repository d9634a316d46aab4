// Writing and reading a store of 10,000 options in a model file (text and
// binary form) against the floor: the same 10,000 "name value" lines written
// with fprintf to a plain file and parsed back with fgets and strtod. Prints
// the ratios after the runs.
#include "model/options/KDatabaseOptions.h"
#include "storage/objectfile/KBinaryPersistance.h"
#include "storage/objectfile/KTextPersistance.h"

#include "bench/KBenchRatios.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kOptions = 10000;

class LoadingStore : public KDatabaseOptions {
 protected:
  void unknownOption(const KOption<long>& r) override { addRecord(r); }
  void unknownOption(const KOption<double>& r) override { addRecord(r); }
  void unknownOption(const KOption<KString>& r) override { addRecord(r); }
  void unknownOption(const KOption<bool>& r) override { addRecord(r); }
};

struct Data {
  std::vector<std::string> names;
  std::vector<double> values;
  KDatabaseOptions store;
};

Data& data() {
  static Data* d = [] {
    auto* x = new Data;
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> any(-1e6, 1e6);
    for (int i = 0; i < kOptions; ++i) {
      char name[32];
      snprintf(name, sizeof name, "option%05d", i);
      double v = any(rng);
      x->names.push_back(name);
      x->values.push_back(v);
      switch (i % 4) {
        case 0: x->store.setInteger(name, static_cast<long>(v), false, true); break;
        case 1: x->store.setDouble(name, v, false, true); break;
        case 2: x->store.setString(name, KString(std::to_string(v)), false, true); break;
        default: x->store.setBoolean(name, v > 0, false, true); break;
      }
    }
    return x;
  }();
  return *d;
}

std::string scratch(const char* name) {
  const char* tmp = getenv("TMPDIR");
  return std::string(tmp && *tmp ? tmp : "/tmp") + "/quelm-bench-" + std::to_string(getpid()) + "-" + name;
}

template <class Persistance>
void BM_OptionsModelFile(benchmark::State& state) {
  Data& d = data();
  const std::string path = scratch("options.qf");
  for (auto _ : state) {
    {
      Persistance w(path.c_str(), true);
      d.store.write(w, nullptr);
      w.Close();
    }
    LoadingStore loaded;
    Persistance r(path.c_str(), false);
    loaded.read(r, nullptr);
    if (loaded.getCount<double>() != kOptions / 4) state.SkipWithError("options lost");
  }
  unlink(path.c_str());
  state.SetItemsProcessed(state.iterations() * kOptions);
}

void BM_FloorFprintfStrtod(benchmark::State& state) {
  Data& d = data();
  const std::string path = scratch("options.txt");
  std::vector<double> back(kOptions);
  for (auto _ : state) {
    FILE* f = fopen(path.c_str(), "w");
    for (int i = 0; i < kOptions; ++i) fprintf(f, "%s %.17g\n", d.names[static_cast<size_t>(i)].c_str(), d.values[static_cast<size_t>(i)]);
    fclose(f);
    f = fopen(path.c_str(), "r");
    char line[128];
    int n = 0;
    while (fgets(line, sizeof line, f) && n < kOptions) {
      char* space = strchr(line, ' ');
      back[static_cast<size_t>(n++)] = space ? strtod(space + 1, nullptr) : 0.0;
    }
    fclose(f);
    benchmark::DoNotOptimize(back.data());
  }
  unlink(path.c_str());
  state.SetItemsProcessed(state.iterations() * kOptions);
}

BENCHMARK_TEMPLATE(BM_OptionsModelFile, KTextPersistance)->Name("BM_OptionsText")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_OptionsModelFile, KBinaryPersistance)->Name("BM_OptionsBinary")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorFprintfStrtod)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  // CPU time: the model save also waits for the device to hold the file (the
  // floor does not), which wall-clock time would charge to the options.
  KRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("options write+read, text form / fprintf+strtod: %.2f (target <= 3)\n",
              reporter.ratio("BM_OptionsText", "BM_FloorFprintfStrtod"));
  std::printf("options write+read, binary form / fprintf+strtod: %.2f (target <= 3)\n",
              reporter.ratio("BM_OptionsBinary", "BM_FloorFprintfStrtod"));
  benchmark::Shutdown();
  return 0;
}
