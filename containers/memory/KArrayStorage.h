// Storage vocabulary shared by the array family: the storage word, the storage
// kinds, the size limit and the heap helpers.
//
// Storage word: a 32-bit value whose low 29 bits are the storage size in
// elements and whose top 3 bits record how the current storage was obtained,
// so that it goes back to the matching release:
//   0 no storage, 1 the built-in buffer, 2 a pointer array's inline single
//   slot, 6 the heap.
// Heap requests go through KHeapAlloc, which answers null instead of throwing,
// so a failed request is a result the arrays can act on.
#pragma once
#include <cstddef>
#include <cstdint>
#include <new>

#include "platform/KHeap.h"

enum : unsigned {
  kStorageNone = 0,
  kStorageBuffer = 1,
  kStorageSingle = 2,
  kStorageHeap = 6,
};

// Requests of this many elements or more are ignored.
constexpr long kArraySizeLimit = 0x20000000L;
// Elements held in the built-in buffer of the S arrays.
constexpr long kArrayBufferCount = 50;

inline long kStorageSizeOf(uint32_t word) { return static_cast<long>(word & 0x1FFFFFFFu); }
inline unsigned kStorageKindOf(uint32_t word) { return word >> 29; }
inline uint32_t kStorageWord(long size, unsigned kind) {
  return (static_cast<uint32_t>(size) & 0x1FFFFFFFu) | (static_cast<uint32_t>(kind) << 29);
}

// Heap arrays of default-constructed elements. allocate answers null when the
// heap (or an element constructor) runs out of memory; nothing is left behind.
template <class T>
struct KArrayHeap {
  static_assert(alignof(T) <= alignof(std::max_align_t), "heap arrays need scalar alignment");

  static T* allocate(long n) {
    if (n <= 0) return nullptr;
    T* p = static_cast<T*>(KHeapAlloc(static_cast<size_t>(n) * sizeof(T)));
    if (!p) return nullptr;
    long i = 0;
    try {
      for (; i < n; ++i) ::new (static_cast<void*>(p + i)) T();
    } catch (const std::bad_alloc&) {
      destroy(p, i);
      return nullptr;
    } catch (...) {
      destroy(p, i);
      throw;
    }
    return p;
  }

  // Destroys the n elements (highest first) and frees the block.
  static void release(T* p, long n) { destroy(p, n); }

 private:
  static void destroy(T* p, long n) {
    if (!p) return;
    while (n > 0) p[--n].~T();
    KHeapFree(p);
  }
};
