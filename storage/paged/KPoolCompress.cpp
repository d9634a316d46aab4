#include "storage/paged/KPoolCompress.h"

#include <zlib.h>

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace {

thread_local long t_fallbacks = 0;

// The bump allocator handed to zlib for one call.
struct FPool {
  char* base;
  size_t size;
  size_t next;
};

constexpr size_t kPoolStep = 16;

voidpf poolAlloc(voidpf opaque, uInt items, uInt size) {
  FPool* pool = static_cast<FPool*>(opaque);
  size_t bytes = static_cast<size_t>(items) * size;
  size_t rounded = (bytes + kPoolStep - 1) & ~(kPoolStep - 1);
  if (pool->base && rounded >= bytes && pool->next <= pool->size && rounded <= pool->size - pool->next) {
    void* p = pool->base + pool->next;
    pool->next += rounded;
    return p;
  }
  pool->next = pool->size + 1;  // later requests of this call go to malloc too
  ++t_fallbacks;
  return std::malloc(bytes ? bytes : 1);
}

void poolFree(voidpf opaque, voidpf address) {
  FPool* pool = static_cast<FPool*>(opaque);
  char* p = static_cast<char*>(address);
  if (pool->base && p >= pool->base && p < pool->base + pool->size) return;
  std::free(address);
}

void prepare(z_stream& stream, FPool& pool, void* base, size_t size) {
  // A base not aligned to the step would misalign zlib's state structures.
  char* b = static_cast<char*>(base);
  size_t skip = b ? (kPoolStep - reinterpret_cast<uintptr_t>(b) % kPoolStep) % kPoolStep : 0;
  pool.base = b && size > skip ? b + skip : nullptr;
  pool.size = pool.base ? size - skip : 0;
  pool.next = 0;
  stream.zalloc = poolAlloc;
  stream.zfree = poolFree;
  stream.opaque = &pool;
}

// Owns this thread's pool.
struct FThreadPool {
  void* base = nullptr;
  bool tried = false;
  ~FThreadPool() { std::free(base); }
};
thread_local FThreadPool t_pool;

}  // namespace

int PoolCompress(void* dest, unsigned long* destLen, const void* source, unsigned long sourceLen,
                 int level, void* poolBase, size_t poolSize) {
  if (!destLen || sourceLen > UINT_MAX) return Z_STREAM_ERROR;
  z_stream stream{};
  FPool pool;
  prepare(stream, pool, poolBase, poolSize);
  // deflateInit passes the version text and stream size of the zlib we were
  // compiled against, which the library checks.
  int rc = deflateInit(&stream, level);
  if (rc != Z_OK) return rc;
  stream.next_in = static_cast<Bytef*>(const_cast<void*>(source));
  stream.avail_in = static_cast<uInt>(sourceLen);
  stream.next_out = static_cast<Bytef*>(dest);
  stream.avail_out = *destLen > UINT_MAX ? UINT_MAX : static_cast<uInt>(*destLen);
  rc = deflate(&stream, Z_FINISH);
  unsigned long produced = stream.total_out;
  deflateEnd(&stream);
  if (rc != Z_STREAM_END) return rc == Z_OK ? Z_BUF_ERROR : rc;
  *destLen = produced;
  return Z_OK;
}

int PoolUncompress(void* dest, unsigned long* destLen, const void* source, unsigned long sourceLen,
                   void* poolBase, size_t poolSize) {
  if (!destLen || sourceLen > UINT_MAX) return Z_STREAM_ERROR;
  z_stream stream{};
  FPool pool;
  prepare(stream, pool, poolBase, poolSize);
  stream.next_in = static_cast<Bytef*>(const_cast<void*>(source));
  stream.avail_in = static_cast<uInt>(sourceLen);
  int rc = inflateInit(&stream);
  if (rc != Z_OK) return rc;
  stream.next_out = static_cast<Bytef*>(dest);
  stream.avail_out = *destLen > UINT_MAX ? UINT_MAX : static_cast<uInt>(*destLen);
  rc = inflate(&stream, Z_FINISH);
  unsigned long produced = stream.total_out;
  uInt left = stream.avail_in;
  inflateEnd(&stream);
  if (rc == Z_STREAM_END) {
    *destLen = produced;
    return Z_OK;
  }
  if (rc == Z_NEED_DICT || (rc == Z_BUF_ERROR && left == 0)) return Z_DATA_ERROR;
  return rc == Z_OK ? Z_BUF_ERROR : rc;
}

void* KCompressionPool() {
  if (!t_pool.tried) {
    t_pool.tried = true;
    t_pool.base = std::malloc(kCompressionPoolSize);
  }
  return t_pool.base;
}

long PoolFallbackCount() { return t_fallbacks; }
void PoolResetFallbackCount() { t_fallbacks = 0; }
