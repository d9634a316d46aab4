#include "storage/paged/KPageCompress.h"

#include <libdeflate.h>
#include <cstring>
#include <zlib.h>

#include "platform/KHeap.h"

namespace {

constexpr int kLevels = 10;  // 0..9

// How each of our levels compresses a page. Users weigh a level by the file
// sizes zlib gives at it (earlier writers were zlib), not by its number, and
// libdeflate's levels trade speed for size differently: so a level is the
// fastest plan whose files stay within 10% of zlib's size at that level on
// every kind of model data measured of that form (meshes, results, integer
// arrays and options).
//
// libdeflate's level 1 keeps zlib's sizes on number text at every level, and
// on binary data up to level 5; from level 6 binary records of fixed layout
// (interleaved coordinates and connectivity) need its level 2 to stay within
// 10%. Both lose only on highly redundant pages (options: many small objects
// of the same names), where zlib's long hash chains find far more; those are
// the pages the fast pass shrinks below an eighth, so they are compressed
// again at the strong level and the smaller stream is kept. On such pages
// the second pass is cheap, and on the bulk of a model it never runs. Level
// 0 stays stored blocks.
struct FPlan {
  int m_fast;    // every page
  int m_strong;  // again, for pages the fast pass shrinks below an eighth (0: never)
};
constexpr FPlan kBinaryPlans[kLevels] = {{0, 0}, {1, 0}, {1, 0}, {1, 4}, {1, 4},
                                         {1, 4}, {2, 6}, {2, 6}, {2, 7}, {2, 7}};
constexpr FPlan kTextPlans[kLevels] = {{0, 0}, {1, 0}, {1, 0}, {1, 4}, {1, 4},
                                       {1, 4}, {1, 6}, {1, 6}, {1, 7}, {1, 7}};

const FPlan& planOf(int level, KPageKind kind) {
  return kind == kTextPages ? kTextPlans[level] : kBinaryPlans[level];
}

// Room for the second pass's stream on the stack: it is kept only when
// smaller than the first, which is below an eighth of the page, so pages of
// up to 32 KB always have their second pass.
constexpr unsigned long kSecondPassRoom = 4096;

constexpr int kLibdeflateLevels = 13;  // 0..12

// libdeflate takes its allocator process-wide, and only while no compressor
// or decompressor exists: it is installed once, before the first is made.
void useLibraryHeap() {
  static const bool installed = [] {
    libdeflate_set_memory_allocator(KHeapAlloc, KHeapFree);
    return true;
  }();
  (void)installed;
}

struct FCodecs {
  // By libdeflate level: our levels that share one share its compressor.
  libdeflate_compressor* m_compressors[kLibdeflateLevels] = {};
  libdeflate_decompressor* m_pDecompressor = nullptr;

  void release() noexcept {
    for (libdeflate_compressor*& c : m_compressors) {
      libdeflate_free_compressor(c);
      c = nullptr;
    }
    libdeflate_free_decompressor(m_pDecompressor);
    m_pDecompressor = nullptr;
  }
  ~FCodecs() { release(); }
};
thread_local FCodecs t_codecs;

// This thread's compressor at a libdeflate level, made on first use.
libdeflate_compressor* compressorAt(int libdeflateLevel) {
  libdeflate_compressor*& compressor = t_codecs.m_compressors[libdeflateLevel];
  if (!compressor) {
    useLibraryHeap();
    compressor = libdeflate_alloc_compressor(libdeflateLevel);
  }
  return compressor;
}

}  // namespace

int PageCompress(void* dest, unsigned long* destLen, const void* source, unsigned long sourceLen, int level,
                 KPageKind kind) {
  if (!destLen || level < 0 || level >= kLevels) return Z_STREAM_ERROR;
  const FPlan& plan = planOf(level, kind);
  libdeflate_compressor* fast = compressorAt(plan.m_fast);
  if (!fast) return Z_MEM_ERROR;
  // 0 means the stream did not fit the room.
  size_t produced = libdeflate_zlib_compress(fast, source, sourceLen, dest, *destLen);
  if (produced == 0) return Z_BUF_ERROR;
  if (plan.m_strong != 0 && produced * 8 < sourceLen && produced <= kSecondPassRoom) {
    libdeflate_compressor* strong = compressorAt(plan.m_strong);
    if (!strong) return Z_MEM_ERROR;
    // Room for one byte less than the first stream: only a smaller one is kept.
    unsigned char second[kSecondPassRoom];
    size_t smaller = libdeflate_zlib_compress(strong, source, sourceLen, second, produced - 1);
    if (smaller != 0) {
      std::memcpy(dest, second, smaller);
      produced = smaller;
    }
  }
  *destLen = produced;
  return Z_OK;
}

int PageUncompress(void* dest, unsigned long* destLen, const void* source, unsigned long sourceLen) {
  if (!destLen) return Z_STREAM_ERROR;
  libdeflate_decompressor*& decompressor = t_codecs.m_pDecompressor;
  if (!decompressor) {
    useLibraryHeap();
    decompressor = libdeflate_alloc_decompressor();
    if (!decompressor) return Z_MEM_ERROR;
  }
  size_t produced = 0;
  switch (libdeflate_zlib_decompress(decompressor, source, sourceLen, dest, *destLen, &produced)) {
    case LIBDEFLATE_SUCCESS:
      *destLen = produced;
      return Z_OK;
    case LIBDEFLATE_INSUFFICIENT_SPACE:
      return Z_BUF_ERROR;
    default:
      return Z_DATA_ERROR;
  }
}

int PageLibdeflateLevel(int level, KPageKind kind) {
  return level < 0 || level >= kLevels ? -1 : planOf(level, kind).m_fast;
}

int PageSecondPassLevel(int level, KPageKind kind) {
  return level < 0 || level >= kLevels ? -1 : planOf(level, kind).m_strong;
}

void PageCompressRelease() { t_codecs.release(); }
