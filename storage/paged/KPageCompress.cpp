#include "storage/paged/KPageCompress.h"

#include <libdeflate.h>
#include <zlib.h>

#include "platform/KHeap.h"

namespace {

constexpr int kLevels = 10;  // 0..9

// The libdeflate level that compresses at each of our levels. Users weigh a
// level by the file sizes zlib gives at it (earlier writers were zlib), not by
// its number, and libdeflate's levels trade speed for size differently: so
// each level takes the fastest libdeflate level whose pages come out at most
// 3% larger than zlib's at that level on every kind of model data measured
// (binary meshes and result arrays; in text form results, meshes, integer
// arrays and options). Options text decides most entries: zlib's higher
// levels find much more in it than libdeflate's lower ones. Level 0 stays
// stored blocks.
constexpr int kLibdeflateLevel[kLevels] = {0, 1, 1, 3, 3, 5, 6, 6, 7, 7};
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

}  // namespace

int PageCompress(void* dest, unsigned long* destLen, const void* source, unsigned long sourceLen, int level) {
  if (!destLen || level < 0 || level >= kLevels) return Z_STREAM_ERROR;
  const int libdeflateLevel = kLibdeflateLevel[level];
  libdeflate_compressor*& compressor = t_codecs.m_compressors[libdeflateLevel];
  if (!compressor) {
    useLibraryHeap();
    compressor = libdeflate_alloc_compressor(libdeflateLevel);
    if (!compressor) return Z_MEM_ERROR;
  }
  // 0 means the stream did not fit the room.
  size_t produced = libdeflate_zlib_compress(compressor, source, sourceLen, dest, *destLen);
  if (produced == 0) return Z_BUF_ERROR;
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

int PageLibdeflateLevel(int level) { return level < 0 || level >= kLevels ? -1 : kLibdeflateLevel[level]; }

void PageCompressRelease() { t_codecs.release(); }
