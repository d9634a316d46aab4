// Paged compressed files (pages compressed by libdeflate) against zlib used
// directly on the same 32000-byte pages: writing (compress2 and a plain write
// of a page header and the stream) and cold reading (uncompress of each
// page), at levels 1 and 6; libdeflate used directly the same way (at the
// libdeflate level that serves each of our levels) shows what the paged file
// adds to the codec. Also re-reading pages that sit in the
// page cache against memcpy. 20 MB of model-like data (mesh coordinates with
// structure, element connectivity and short labels); files live in /dev/shm
// when it exists, so that the disk does not blur the comparison. Prints the
// ratios of CPU times and of file sizes after the runs (on a shared machine
// the wall clock mostly measures the neighbours).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <libdeflate.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/KBenchRatios.h"
#include "storage/paged/KBinaryCompressedFile.h"
#include "storage/paged/KPageCompress.h"

namespace {

constexpr size_t kBytes = 20u << 20;
constexpr int kPage = KCompressedFile::kPageSize;
constexpr int kHeader = 200;

const std::vector<char>& modelData() {
  static const std::vector<char> data = [] {
    std::vector<char> out;
    out.reserve(kBytes);
    auto put = [&](const void* p, size_t n) {
      const char* c = static_cast<const char*>(p);
      out.insert(out.end(), c, c + n);
    };
    for (int node = 0; out.size() < kBytes; ++node) {
      double xyz[3] = {(node % 100) * 0.125, (node / 100 % 100) * 0.125, std::sin(node * 0.001) * 2.0};
      put(xyz, sizeof xyz);
      int32_t element[4] = {node, node + 1, node + 101, node + 100};
      put(element, sizeof element);
      if (node % 16 == 0) put(node % 32 ? "PLATE   " : "BEAM    ", 8);
    }
    out.resize(kBytes);
    return out;
  }();
  return data;
}

std::string path(const char* name) {
  return std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/quelm-bench-" + name;
}

// File sizes by writer and level ("paged/1").
std::map<std::string, long long> g_sizes;

void recordSize(benchmark::State& state, const char* writer, const std::string& file) {
  struct stat st;
  if (stat(file.c_str(), &st) == 0)
    g_sizes[std::string(writer) + "/" + std::to_string(state.range(0))] = static_cast<long long>(st.st_size);
}

void writePaged(const std::string& file, int level, const std::vector<char>& data) {
  KBinaryCompressedFile out(true);
  out.m_file.Open(file.c_str(), CFile::modeCreate | CFile::modeWrite);
  out.SetHeaderSize(kHeader);
  out.SetCompressionLevel(level);
  out.WriteBinaryHeader(0, nullptr, 0);
  for (size_t at = 0; at < data.size(); at += 4096)
    out.Write(data.data() + at, static_cast<UINT>(std::min<size_t>(4096, data.size() - at)));
  out.Close();
}

void BM_PagedWrite(benchmark::State& state) {
  const auto& data = modelData();
  std::string file = path("paged.dat");
  for (auto _ : state) writePaged(file, static_cast<int>(state.range(0)), data);
  recordSize(state, "paged", file);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(data.size()));
}

// Pages through `compress` (into the room after an 8-byte page header, answering
// the stream's size), written with a plain write each, as the paged file does.
template <class Compress>
void writeRawPages(benchmark::State& state, const char* writer, Compress&& compress) {
  std::string file = path((std::string(writer) + ".dat").c_str());
  const auto& data = modelData();
  std::vector<char> packed(compressBound(kPage) + 8);
  for (auto _ : state) {
    int fd = ::open(file.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    char header[kHeader] = {};
    if (::write(fd, header, kHeader) != kHeader) state.SkipWithError("write");
    for (size_t at = 0; at < data.size(); at += kPage) {
      size_t size = std::min<size_t>(kPage, data.size() - at);
      size_t n = compress(packed.data() + 8, packed.size() - 8, data.data() + at, size);
      int32_t counts[2] = {static_cast<int32_t>(n), static_cast<int32_t>(size)};
      std::memcpy(packed.data(), counts, 8);
      if (::write(fd, packed.data(), n + 8) != static_cast<ssize_t>(n + 8)) state.SkipWithError("write");
    }
    ::fsync(fd);
    ::close(fd);
  }
  recordSize(state, writer, file);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(data.size()));
}

void BM_ZlibWrite(benchmark::State& state) {
  int level = static_cast<int>(state.range(0));
  writeRawPages(state, "zlib", [&](char* out, size_t room, const char* in, size_t size) {
    uLongf n = room;
    compress2(reinterpret_cast<Bytef*>(out), &n, reinterpret_cast<const Bytef*>(in), size, level);
    return static_cast<size_t>(n);
  });
}

void BM_LibdeflateWrite(benchmark::State& state) {
  int level = PageLibdeflateLevel(static_cast<int>(state.range(0)), kBinaryPages);
  libdeflate_compressor* compressor = libdeflate_alloc_compressor(level);
  writeRawPages(state, "libdeflate", [&](char* out, size_t room, const char* in, size_t size) {
    return libdeflate_zlib_compress(compressor, in, size, out, room);
  });
  libdeflate_free_compressor(compressor);
}

void BM_PagedColdRead(benchmark::State& state) {
  const auto& data = modelData();
  std::string file = path("paged.dat");
  writePaged(file, static_cast<int>(state.range(0)), data);
  std::vector<char> dest(data.size());
  for (auto _ : state) {
    KBinaryCompressedFile in(false);
    in.m_file.Open(file.c_str(), CFile::modeRead);
    in.SetHeaderSize(kHeader);
    in.SetCompressionLevel(static_cast<int>(state.range(0)));
    if (in.Read(dest.data(), static_cast<UINT>(dest.size())) != dest.size()) state.SkipWithError("short read");
    in.Close();
  }
  if (dest != data) state.SkipWithError("data differs");
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(data.size()));
}

// Reads the pages of a paged file one by one with a read of the page header
// and of the stream, and inflates each through `inflate` (answering the
// bytes produced).
template <class Inflate>
void readRawPages(benchmark::State& state, Inflate&& inflate) {
  const auto& data = modelData();
  std::string file = path("paged.dat");
  writePaged(file, static_cast<int>(state.range(0)), data);
  std::vector<char> dest(data.size()), packed(KCompressedFile::kCompressedRoom);
  for (auto _ : state) {
    int fd = ::open(file.c_str(), O_RDONLY);
    ::lseek(fd, kHeader, SEEK_SET);
    size_t at = 0;
    int32_t counts[2];
    while (::read(fd, counts, 8) == 8) {
      if (::read(fd, packed.data(), counts[0]) != counts[0]) break;
      at += inflate(dest.data() + at, dest.size() - at, packed.data(), static_cast<size_t>(counts[0]));
    }
    ::close(fd);
  }
  if (dest != data) state.SkipWithError("data differs");
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(data.size()));
}

void BM_ZlibColdRead(benchmark::State& state) {
  readRawPages(state, [](char* out, size_t room, const char* in, size_t size) {
    uLongf n = room;
    uncompress(reinterpret_cast<Bytef*>(out), &n, reinterpret_cast<const Bytef*>(in), size);
    return static_cast<size_t>(n);
  });
}

void BM_LibdeflateColdRead(benchmark::State& state) {
  libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
  readRawPages(state, [&](char* out, size_t room, const char* in, size_t size) {
    size_t n = 0;
    libdeflate_zlib_decompress(decompressor, in, size, out, room, &n);
    return n;
  });
  libdeflate_free_decompressor(decompressor);
}

// Twenty pages, all in the cache after the first pass.
constexpr size_t kCachedBytes = size_t(KCompressedFile::kCacheLimit) * kPage;

void BM_CachedReread(benchmark::State& state) {
  std::vector<char> data(modelData().begin(), modelData().begin() + kCachedBytes);
  std::string file = path("cached.dat");
  writePaged(file, 1, data);
  KBinaryCompressedFile in(false);
  in.m_file.Open(file.c_str(), CFile::modeRead);
  in.SetHeaderSize(kHeader);
  std::vector<char> dest(kCachedBytes);
  in.Read(dest.data(), static_cast<UINT>(dest.size()));
  for (auto _ : state) {
    in.Seek(0, CFile::begin);
    in.Read(dest.data(), static_cast<UINT>(dest.size()));
    benchmark::DoNotOptimize(dest.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kCachedBytes));
}

void BM_Memcpy(benchmark::State& state) {
  std::vector<char> data(modelData().begin(), modelData().begin() + kCachedBytes), dest(kCachedBytes);
  for (auto _ : state) {
    std::memcpy(dest.data(), data.data(), kCachedBytes);
    benchmark::DoNotOptimize(dest.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kCachedBytes));
}

BENCHMARK(BM_PagedWrite)->Arg(1)->Arg(6)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ZlibWrite)->Arg(1)->Arg(6)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LibdeflateWrite)->Arg(1)->Arg(6)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PagedColdRead)->Arg(1)->Arg(6)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ZlibColdRead)->Arg(1)->Arg(6)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LibdeflateColdRead)->Arg(1)->Arg(6)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CachedReread)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMicrosecond)->UseRealTime();

void printRatios(const KRatioReporter& reporter) {
  auto ratio = [&](const char* ours, const char* peer) {
    if (double r = reporter.ratio(ours, peer); r > 0) std::printf("%-28s / %-28s = %.3f\n", ours, peer, r);
  };
  auto name = [](const char* bench, const char* level) { return std::string(bench) + level + "/real_time"; };
  for (const char* level : {"1", "6"}) {
    for (const char* peer : {"BM_ZlibWrite/", "BM_LibdeflateWrite/"})
      ratio(name("BM_PagedWrite/", level).c_str(), name(peer, level).c_str());
    for (const char* peer : {"BM_ZlibColdRead/", "BM_LibdeflateColdRead/"})
      ratio(name("BM_PagedColdRead/", level).c_str(), name(peer, level).c_str());
    auto ours = g_sizes.find(std::string("paged/") + level), zlib = g_sizes.find(std::string("zlib/") + level);
    if (ours != g_sizes.end() && zlib != g_sizes.end() && zlib->second > 0)
      std::printf("file size at level %s: paged %lld, zlib %lld bytes = %.3f\n", level, ours->second,
                  zlib->second, static_cast<double>(ours->second) / static_cast<double>(zlib->second));
  }
  ratio("BM_CachedReread/real_time", "BM_Memcpy/real_time");
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  KRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  printRatios(reporter);
  for (const char* name : {"paged.dat", "zlib.dat", "libdeflate.dat", "cached.dat"}) std::remove(path(name).c_str());
  return 0;
}
