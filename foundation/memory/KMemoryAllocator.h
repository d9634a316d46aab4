// KMemoryAllocator: a pool of equal-size slots carved from large blocks, with
// the free slots on an intrusive singly linked free list (a free slot's first
// pointer-sized bytes link to the next). One heap block serves up to
// `itemsPerBlock` records; allocate and release are pointer operations.
//
// Diagnostic switches are cached options: "slowFrugalMemoryMode" (one heap
// allocation per record), "removeEmptyBlocks" (give all blocks back when the
// pool becomes empty), "debugAllocList" (enables isOnFreeList) and
// "maxBlockSize" (cap on items per block applied by reset).
//
// Invariants: used bytes = item size x slots handed out; block bytes = sum of
// the blocks held; the process totals are the sums over all allocators.
// Single-threaded.
#pragma once
#include "app/core/KObject.h"

class KMemoryAllocator : public KObject {
 public:
  struct Free { Free* m_pNext; };

  // No heap memory is taken until the first request. itemSize must be > 0.
  KMemoryAllocator(unsigned long itemSize, unsigned long itemsPerBlock);
  ~KMemoryAllocator() override;
  KMemoryAllocator(const KMemoryAllocator&) = delete;
  KMemoryAllocator& operator=(const KMemoryAllocator&) = delete;

  // One slot of getItemSize() bytes, or null when the heap cannot supply one.
  void* allocate();
  // Gives back a slot that came from this allocator.
  void release(void* p);
  // Frees all blocks and takes new sizes.
  void reset(unsigned long itemSize, unsigned long itemsPerBlock);
  // Diagnostic: whether p is on the free list (false unless "debugAllocList" >= 1).
  bool isOnFreeList(void* p) const;
  // Returns every block to the heap; slots handed out before become invalid.
  void freeAll();

  unsigned long getRequestedSize() const;
  unsigned long getItemSize() const;
  unsigned long getItemsPerBlock() const;
  unsigned long getUsedBytes() const;
  unsigned long getBlockBytes() const;
  long getBlockCount() const;

  static unsigned long getTotalUsedBytes();
  static unsigned long getTotalBlockBytes();

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

  // (Implementation fields follow in the real header.)
};
