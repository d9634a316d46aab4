// Page compression of object files, by form and kind of content, against
// zlib at the same level: the measurement behind the level plans of
// KPageCompress. Four kinds of model data are written through
// KTextPersistance and KBinaryPersistance and read back as the logical page
// stream: solver results (reals with noise and short labels, as
// KObjectFile_bench writes them), a mesh (coordinates, quad connectivity,
// element labels), options (many small objects of named strings, flags and
// numbers) and integer arrays (node numbers, connectivity, property ids,
// scattered ids). Each is cut into 32000-byte pages and compressed page by
// page with PageCompress and with zlib's compress2 at levels 1, 6 and 9
// (timed, CPU time); afterwards the program prints, for every form, kind and
// level 1..9, the size PageCompress gives over zlib's, and the size of each
// libdeflate level 1..9 alone over zlib's at each of our levels, which is
// what the plans are chosen from (at most 10% more than zlib at that level
// on every kind of both forms).
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <unistd.h>
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/KBenchRatios.h"
#include "storage/objectfile/KBinaryPersistance.h"
#include "storage/objectfile/KTextPersistance.h"
#include "storage/paged/KPageCompress.h"
#include "storage/paged/KBinaryCompressedFile.h"
#include "storage/paged/KTextCompressedFile.h"

namespace {

constexpr int kPage = KCompressedFile::kPageSize;
constexpr int kHeader = 200;  // the object files' header before the pages

KString numbered(const char* base, int i) {
  KString s;
  s.Format("%s%d", base, i);
  return s;
}

void writeResults(KPersistance& out) {
  unsigned seed = 12345;
  std::vector<double> reals(1000);
  out.beginObject("Results", "run");
  for (int a = 0; a < 200; ++a) {
    for (int i = 0; i < 1000; ++i) {
      seed = seed * 1103515245u + 12345u;
      reals[i] = 1000.0 * std::sin(0.001 * (a * 1000 + i)) + (seed >> 16) * 1e-6;
    }
    out.writeR(numbered("values", a), 1000, reals.data());
  }
  for (int a = 0; a < 20; ++a) {
    std::vector<KString> labels;
    for (int i = 0; i < 1000; ++i) labels.push_back(numbered("N", a * 1000 + i));
    out.writeS(numbered("labels", a), 1000, labels.data());
  }
  out.endObject();
}

void writeMesh(KPersistance& out) {
  out.beginObject("Mesh", "plate");
  for (int block = 0; block < 80; ++block) {
    std::vector<double> xyz;
    std::vector<int> elements;
    std::vector<KString> labels;
    for (int node = block * 1000; node < (block + 1) * 1000; ++node) {
      xyz.insert(xyz.end(), {(node % 100) * 0.125, (node / 100 % 100) * 0.125, std::sin(node * 0.001) * 2.0});
      elements.insert(elements.end(), {node, node + 1, node + 101, node + 100});
      if (node % 16 == 0) labels.push_back(node % 32 ? "PLATE" : "BEAM");
    }
    out.writeR(numbered("xyz", block), static_cast<long>(xyz.size()), xyz.data());
    out.writeI32(numbered("elements", block), static_cast<long>(elements.size()), elements.data());
    out.writeS(numbered("labels", block), static_cast<long>(labels.size()), labels.data());
  }
  out.endObject();
}

void writeOptions(KPersistance& out) {
  const char* units[] = {"mm", "m", "in", "N", "kN", "MPa", "deg"};
  const char* kinds[] = {"Solver", "Mesher", "Display", "Report", "Material", "Load", "Support"};
  unsigned seed = 7;
  for (int o = 0; o < 15000; ++o) {
    seed = seed * 1103515245u + 12345u;
    out.beginObject(kinds[o % 7], numbered("option", o));
    out.writeString("Description", numbered(o % 3 ? "Tolerance of the iteration step " : "Path C:\\Models\\part", o));
    out.writeString("Unit", units[seed % 7]);
    out.writeString("Value", numbered("", static_cast<int>(seed >> 20)));
    out.writeBool("Enabled", seed & 1);
    out.writeInt("Order", o % 50);
    out.writeReal("Factor", 0.5 * (seed % 10));
    out.endObject();
  }
}

void writeIntegers(KPersistance& out) {
  unsigned seed = 99;
  std::vector<int> values(1000);
  out.beginObject("Topology", "ids");
  for (int a = 0; a < 800; ++a) {
    for (int i = 0; i < 1000; ++i) {
      seed = seed * 1103515245u + 12345u;
      int at = a * 1000 + i;
      int noise = static_cast<int>(seed >> 16);
      values[i] = a % 4 == 0 ? at * 3 + 1 : a % 4 == 1 ? at / 4 + noise % 200 : a % 4 == 2 ? 1 + noise % 12 : noise % 65536;
    }
    out.writeI32(numbered("ints", a), 1000, values.data());
  }
  out.endObject();
}

struct FKind {
  const char* m_name;
  void (*m_write)(KPersistance&);
};
const FKind kKinds[] = {{"results", writeResults}, {"mesh", writeMesh}, {"options", writeOptions}, {"integers", writeIntegers}};
constexpr int kKindCount = 4;

constexpr const char* kForms[] = {"text", "binary"};
constexpr int kStreams = 2 * kKindCount;  // text kinds, then binary kinds

// The logical stream of a kind in one form, as the file pages it.
template <class Writer, class Pages>
std::string logicalStream(const FKind& kind) {
  std::string file = "/tmp/quelm-bench-" + std::to_string(getpid()) + "-levels";
  {
    Writer writer(file.c_str(), true, 1);
    kind.m_write(writer);
    writer.Close();
  }
  Pages in(false);
  in.m_file.Open(file.c_str(), CFile::modeRead);
  in.SetHeaderSize(kHeader);
  in.SetCompressionLevel(1);
  std::string bytes(64u << 20, '\0');
  bytes.resize(in.Read(bytes.data(), static_cast<UINT>(bytes.size())));
  in.Close();
  std::remove(file.c_str());
  return bytes;
}

const std::string& stream(int index) {
  static std::vector<std::string> streams = [] {
    std::vector<std::string> out;
    for (const FKind& k : kKinds) out.push_back(logicalStream<KTextPersistance, KTextCompressedFile>(k));
    for (const FKind& k : kKinds) out.push_back(logicalStream<KBinaryPersistance, KBinaryCompressedFile>(k));
    return out;
  }();
  return streams[index];
}

// Total compressed size of the pages of `bytes` through `compress`.
template <class Compress>
size_t pagedSize(const std::string& bytes, Compress&& compress) {
  std::vector<unsigned char> room(compressBound(kPage));
  size_t total = 0;
  for (size_t at = 0; at < bytes.size(); at += kPage)
    total += compress(room.data(), room.size(), bytes.data() + at, std::min<size_t>(kPage, bytes.size() - at));
  return total;
}

// Text streams come first (see stream()), so the index gives the page kind.
KPageKind kindOf(int index) { return index < kKindCount ? kTextPages : kBinaryPages; }

size_t ourSize(const std::string& bytes, int level, KPageKind kind) {
  return pagedSize(bytes, [&](unsigned char* out, size_t room, const char* in, size_t n) -> size_t {
    unsigned long produced = room;
    return PageCompress(out, &produced, in, n, level, kind) == Z_OK ? produced : 0;
  });
}

size_t zlibSize(const std::string& bytes, int level) {
  return pagedSize(bytes, [&](unsigned char* out, size_t room, const char* in, size_t n) -> size_t {
    uLongf produced = room;
    return compress2(out, &produced, reinterpret_cast<const Bytef*>(in), n, level) == Z_OK ? produced : 0;
  });
}

size_t libdeflateSize(const std::string& bytes, int libdeflateLevel) {
  libdeflate_compressor* compressor = libdeflate_alloc_compressor(libdeflateLevel);
  size_t total = pagedSize(bytes, [&](unsigned char* out, size_t room, const char* in, size_t n) {
    return libdeflate_zlib_compress(compressor, in, n, out, room);
  });
  libdeflate_free_compressor(compressor);
  return total;
}

void BM_PageCompress(benchmark::State& state) {
  const std::string& bytes = stream(static_cast<int>(state.range(0)));
  const KPageKind kind = kindOf(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(ourSize(bytes, static_cast<int>(state.range(1)), kind));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

void BM_Zlib(benchmark::State& state) {
  const std::string& bytes = stream(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(zlibSize(bytes, static_cast<int>(state.range(1))));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

BENCHMARK(BM_PageCompress)->ArgsProduct({benchmark::CreateDenseRange(0, kStreams - 1, 1), {1, 6, 9}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Zlib)->ArgsProduct({benchmark::CreateDenseRange(0, kStreams - 1, 1), {1, 6, 9}})->Unit(benchmark::kMillisecond);

void printSizes(const KRatioReporter& reporter) {
  for (int index = 0; index < kStreams; ++index) {
    const std::string& bytes = stream(index);
    std::printf("\n%s %s: %zu bytes, %zu pages\n", kForms[index / kKindCount], kKinds[index % kKindCount].m_name,
                bytes.size(), (bytes.size() + kPage - 1) / kPage);
    std::vector<size_t> zlib(10);
    std::printf("level  zlib size  ours/zlib size  ours/zlib time\n");
    for (int level = 1; level <= 9; ++level) {
      zlib[level] = zlibSize(bytes, level);
      std::string args = "/" + std::to_string(index) + "/" + std::to_string(level);
      double time = reporter.ratio(("BM_PageCompress" + args).c_str(), ("BM_Zlib" + args).c_str());
      std::printf("%5d %10zu %15.3f", level, zlib[level], static_cast<double>(ourSize(bytes, level, kindOf(index))) / zlib[level]);
      if (time > 0) std::printf(" %15.3f", time);
      std::printf("\n");
    }
    std::printf("libdeflate level alone: size over zlib's at our levels 1..9\n");
    for (int libdeflateLevel = 1; libdeflateLevel <= 9; ++libdeflateLevel) {
      size_t size = libdeflateSize(bytes, libdeflateLevel);
      std::printf("%5d:", libdeflateLevel);
      for (int level = 1; level <= 9; ++level) std::printf(" %.3f", static_cast<double>(size) / zlib[level]);
      std::printf("\n");
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  KRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  printSizes(reporter);
  return 0;
}
