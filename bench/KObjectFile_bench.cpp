// Object files against HDF5 on the same data: 10^6 reals in arrays of 1000
// and 10^5 short strings in arrays of 1000, written and read back in the
// binary form at compression level 6, and by HDF5 as chunked datasets with
// its deflate filter at level 6 (one chunk per array; strings as fixed-size
// byte strings). The text form at level 6 runs too. After the runs the
// program prints the CPU times, file sizes and ratios.
#include <benchmark/benchmark.h>
#include <hdf5.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "storage/objectfile/KBinaryPersistance.h"
#include "storage/objectfile/KTextPersistance.h"

namespace {

constexpr int kArrays = 1000;
constexpr int kReals = 1000;
constexpr int kStringArrays = 100;
constexpr int kStrings = 1000;
constexpr size_t kStringSize = 8;  // fixed size of an HDF5 string element

struct FData {
  std::vector<std::vector<double>> reals;
  std::vector<std::vector<KString>> strings;
  std::vector<std::vector<char>> fixedStrings;  // the same strings for HDF5
};

// Smooth results with noise, as a solver writes them; labels like "N12345".
const FData& data() {
  static const FData d = [] {
    FData out;
    unsigned seed = 12345;
    out.reals.resize(kArrays);
    for (int a = 0; a < kArrays; ++a) {
      out.reals[a].resize(kReals);
      for (int i = 0; i < kReals; ++i) {
        seed = seed * 1103515245u + 12345u;
        out.reals[a][i] = 1000.0 * std::sin(0.001 * (a * kReals + i)) + (seed >> 16) * 1e-6;
      }
    }
    out.strings.resize(kStringArrays);
    out.fixedStrings.resize(kStringArrays);
    for (int a = 0; a < kStringArrays; ++a) {
      out.fixedStrings[a].assign(kStrings * kStringSize, 0);
      for (int i = 0; i < kStrings; ++i) {
        KString s;
        s.Format("N%d", a * kStrings + i);
        out.strings[a].push_back(s);
        memcpy(&out.fixedStrings[a][i * kStringSize], s.GetString(), s.GetLength());
      }
    }
    return out;
  }();
  return d;
}

KString arrayName(const char* base, int i) {
  KString s;
  s.Format("%s%d", base, i);
  return s;
}

long long fileSize(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

std::string tempPath(const char* name) {
  return std::string("/tmp/quelm-bench-") + std::to_string(getpid()) + "-" + name;
}

// Best time per run (seconds) and size by label.
std::map<std::string, double> g_seconds;
std::map<std::string, long long> g_sizes;

void record(benchmark::State& state, const char* label, double seconds) {
  state.SetIterationTime(seconds);
  auto it = g_seconds.find(label);
  if (it == g_seconds.end() || seconds < it->second) g_seconds[label] = seconds;
}

// CPU time of the process (user and system: the file writes and reads count)
// rather than the wall clock, which on a shared machine mostly measures the
// neighbours. Both sides run on this one thread.
double cpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

template <class F>
double timed(F&& f) {
  double start = cpuSeconds();
  f();
  return cpuSeconds() - start;
}

template <class Stream>
void writeQuelm(const std::string& path) {
  const FData& d = data();
  Stream out(path.c_str(), true, 6);
  out.beginObject("Results", "run");
  for (int a = 0; a < kArrays; ++a) out.writeR(arrayName("values", a), kReals, d.reals[a].data());
  for (int a = 0; a < kStringArrays; ++a) out.writeS(arrayName("labels", a), kStrings, d.strings[a].data());
  out.endObject();
  out.Close();
}

template <class Stream>
void readQuelm(const std::string& path) {
  Stream in(path.c_str(), false);
  in.enterObject("Results", "run");
  KHSimpleArray<double> reals;
  KHSimpleArray<KString> strings;
  double sum = 0;
  for (int a = 0; a < kArrays; ++a) {
    if (in.readReals(arrayName("values", a), reals) != kReals) std::abort();
    sum += reals[kReals - 1];
  }
  for (int a = 0; a < kStringArrays; ++a)
    if (in.readStrings(arrayName("labels", a), strings) != kStrings) std::abort();
  in.leaveObject();
  benchmark::DoNotOptimize(sum);
}

hid_t chunkedDeflate(hsize_t n) {
  hid_t plist = H5Pcreate(H5P_DATASET_CREATE);
  H5Pset_chunk(plist, 1, &n);
  H5Pset_deflate(plist, 6);
  return plist;
}

void writeHdf5(const std::string& path) {
  const FData& d = data();
  hid_t file = H5Fcreate(path.c_str(), H5F_ACC_TRUNC, H5P_DEFAULT, H5P_DEFAULT);
  hsize_t n = kReals;
  hid_t space = H5Screate_simple(1, &n, nullptr);
  hid_t plist = chunkedDeflate(n);
  for (int a = 0; a < kArrays; ++a) {
    hid_t set = H5Dcreate2(file, arrayName("values", a), H5T_IEEE_F64LE, space, H5P_DEFAULT, plist, H5P_DEFAULT);
    H5Dwrite(set, H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT, d.reals[a].data());
    H5Dclose(set);
  }
  hid_t str = H5Tcopy(H5T_C_S1);
  H5Tset_size(str, kStringSize);
  H5Tset_strpad(str, H5T_STR_NULLPAD);
  for (int a = 0; a < kStringArrays; ++a) {
    hid_t set = H5Dcreate2(file, arrayName("labels", a), str, space, H5P_DEFAULT, plist, H5P_DEFAULT);
    H5Dwrite(set, str, H5S_ALL, H5S_ALL, H5P_DEFAULT, d.fixedStrings[a].data());
    H5Dclose(set);
  }
  H5Tclose(str);
  H5Pclose(plist);
  H5Sclose(space);
  H5Fclose(file);
}

void readHdf5(const std::string& path) {
  hid_t file = H5Fopen(path.c_str(), H5F_ACC_RDONLY, H5P_DEFAULT);
  std::vector<double> reals(kReals);
  std::vector<char> strings(kStrings * kStringSize);
  double sum = 0;
  for (int a = 0; a < kArrays; ++a) {
    hid_t set = H5Dopen2(file, arrayName("values", a), H5P_DEFAULT);
    H5Dread(set, H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT, reals.data());
    H5Dclose(set);
    sum += reals[kReals - 1];
  }
  hid_t str = H5Tcopy(H5T_C_S1);
  H5Tset_size(str, kStringSize);
  for (int a = 0; a < kStringArrays; ++a) {
    hid_t set = H5Dopen2(file, arrayName("labels", a), H5P_DEFAULT);
    H5Dread(set, str, H5S_ALL, H5S_ALL, H5P_DEFAULT, strings.data());
    H5Dclose(set);
  }
  H5Tclose(str);
  H5Fclose(file);
  benchmark::DoNotOptimize(sum);
}

template <void (*Write)(const std::string&), void (*Read)(const std::string&)>
void runPair(benchmark::State& state, const char* form, const char* file) {
  std::string path = tempPath(file);
  data();
  for (auto _ : state) {
    double w = timed([&] { Write(path); });
    record(state, (std::string(form) + " write").c_str(), w);
    double r = timed([&] { Read(path); });
    record(state, (std::string(form) + " read").c_str(), r);
    state.SetIterationTime(w + r);
  }
  g_sizes[form] = fileSize(path);
  std::remove(path.c_str());
}

void BM_QuelmBinary(benchmark::State& s) {
  runPair<writeQuelm<KBinaryPersistance>, readQuelm<KBinaryPersistance>>(s, "binary", "bin");
}
void BM_QuelmText(benchmark::State& s) {
  runPair<writeQuelm<KTextPersistance>, readQuelm<KTextPersistance>>(s, "text", "txt");
}
void BM_Hdf5(benchmark::State& s) { runPair<writeHdf5, readHdf5>(s, "hdf5", "h5"); }

BENCHMARK(BM_QuelmBinary)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Hdf5)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuelmText)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

double ratio(double a, double b) { return b > 0 ? a / b : 0; }

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  printf("\n%-8s %10s %10s %12s\n", "form", "write ms", "read ms", "bytes");
  for (const char* form : {"binary", "hdf5", "text"}) {
    std::string f(form);
    if (!g_sizes.count(f)) continue;
    printf("%-8s %10.1f %10.1f %12lld\n", form, 1e3 * g_seconds[f + " write"], 1e3 * g_seconds[f + " read"],
           g_sizes[f]);
  }
  if (g_sizes.count("binary") && g_sizes.count("hdf5")) {
    printf("binary / hdf5: write %.2fx, read %.2fx, size %.3fx\n",
           ratio(g_seconds["binary write"], g_seconds["hdf5 write"]),
           ratio(g_seconds["binary read"], g_seconds["hdf5 read"]),
           ratio(static_cast<double>(g_sizes["binary"]), static_cast<double>(g_sizes["hdf5"])));
  }
  if (g_sizes.count("binary") && g_sizes.count("text")) {
    printf("text / binary: write %.2fx, read %.2fx, size %.3fx\n",
           ratio(g_seconds["text write"], g_seconds["binary write"]),
           ratio(g_seconds["text read"], g_seconds["binary read"]),
           ratio(static_cast<double>(g_sizes["text"]), static_cast<double>(g_sizes["binary"])));
  }
  return 0;
}
