// One-shot zlib compression and decompression of a buffer, with every
// allocation that zlib makes served from a caller-given memory pool.
//
// The pool is reset at the start of each call. Requests are taken from the
// pool's next free byte, rounded up to 16-byte steps so that zlib's state
// structures stay aligned; a request that would pass the pool's end is served
// by malloc (and so is every later request of the same call), and counted in
// PoolFallbackCount. Releases inside the pool are ignored.
//
// KCompressionPool() is a pool for callers of these entry points: 350000
// bytes per thread (one deflate stream at memory level 8 and window 15 needs
// about 270000), taken from the heap on the thread's first use and freed when
// the thread ends, so callers on different threads never share it. When it
// cannot be had, zlib's requests all go to malloc. (The paged files compress
// their pages through KPageCompress.h instead.)
#pragma once
#include <cstddef>

// Compresses sourceLen bytes at `level` (0..9, or -1 for zlib's default) into
// dest. *destLen: in, the room; out, the bytes produced (on Z_OK). Answers a
// zlib result code: Z_OK, Z_BUF_ERROR when the room is too small,
// Z_STREAM_ERROR for a bad level, Z_MEM_ERROR.
int PoolCompress(void* dest, unsigned long* destLen, const void* source, unsigned long sourceLen,
                 int level, void* poolBase, size_t poolSize);

// Decompresses one complete zlib stream of sourceLen bytes into dest.
// *destLen: in, the room; out, the bytes produced (on Z_OK). Answers Z_OK,
// Z_BUF_ERROR when the room is too small, Z_DATA_ERROR for damaged or cut
// input (and for streams that need a dictionary), Z_MEM_ERROR.
int PoolUncompress(void* dest, unsigned long* destLen, const void* source, unsigned long sourceLen,
                   void* poolBase, size_t poolSize);

inline constexpr size_t kCompressionPoolSize = 350000;

// This thread's pool (null when it could not be allocated) and its size.
void* KCompressionPool();

// Requests served by malloc instead of a pool on this thread since the last
// reset.
long PoolFallbackCount();
void PoolResetFallbackCount();
