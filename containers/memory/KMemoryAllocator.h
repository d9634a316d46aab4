// KMemoryAllocator: a pool of equal-size slots carved from large blocks, with
// the free slots on an intrusive singly linked free list (a free slot's first
// pointer-sized bytes link to the next, stored bytewise since slots need not
// be pointer-aligned). One heap block serves up to
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
//
// Slot size: a free slot holds the free-list link, a pointer, so the item
// size is max(requested size, sizeof(void*)) -- 8 bytes on 64-bit targets.
// An allocator for 2-byte records uses 8-byte slots and still reports 2 as
// its requested size.
//
// Block layout: each heap block starts with a 16-byte header that records
// its slot count (blocks may be smaller than itemsPerBlock after a failed
// request was halved), followed by the slots; the block list holds the
// address of the first slot.
//
// Slots taken in "slowFrugalMemoryMode" are single heap allocations with a
// 16-byte header that links them into a list of their own. Release tells the
// two kinds apart by address (block slots lie inside a block), so switching
// the option while slots are out never frees a block slot to the heap nor
// strands a single allocation on the free list; freeAll frees both kinds.
// The address test walks the block list only while single slots are out.
//
// Heap requests go through KHeapAlloc; exhaustion is a null result, never an
// exception.
#pragma once
#include <cstring>

#include "core/application/KObject.h"
#include "containers/memory/KList.h"
#include "containers/options/KOptionBase.h"

class KMemoryAllocator : public KObject {
 public:
  struct Free { Free* m_pNext; };

  // No heap memory is taken until the first request. itemSize must be > 0.
  KMemoryAllocator(unsigned long itemSize, unsigned long itemsPerBlock);
  ~KMemoryAllocator() override;
  KMemoryAllocator(const KMemoryAllocator&) = delete;
  KMemoryAllocator& operator=(const KMemoryAllocator&) = delete;

  // One slot of getItemSize() bytes, or null when the heap cannot supply one.
  void* allocate() {
    Free* slot = m_pFreeList;
    if (!slot) return allocateSlow();
    m_pFreeList = nextOf(slot);
    m_nUsedBytes += m_nItemSize;
    s_totalUsedBytes += m_nItemSize;
    return slot;
  }
  // Gives back a slot that came from this allocator.
  void release(void* p) {
    if (!p) return;
    m_nUsedBytes -= m_nItemSize;
    s_totalUsedBytes -= m_nItemSize;
    // Single slots out, or the pool just became empty: the rare cases that
    // read the options or give memory back.
    if (m_pSingles || m_nUsedBytes == 0) return releaseSlow(p);
    setNext(p, m_pFreeList);
    m_pFreeList = static_cast<Free*>(p);
  }
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
  long dumpAllocatedMembers(_TREEITEM*, bool, KString&) const override { return 0; }

  // Cleared each time a per-type static allocator is handed out.
  bool isFresh() const { return m_bFresh; }
  void setFresh(bool fresh) { m_bFresh = fresh; }

  // The allocator's cached options.
  static KBoolOption& slowFrugalMemoryModeOption();   // "slowFrugalMemoryMode", false
  static KBoolOption& removeEmptyBlocksOption();      // "removeEmptyBlocks", true
  static KIntegerOption& debugAllocListOption();      // "debugAllocList", 0
  static KIntegerOption& maxBlockSizeOption();        // "maxBlockSize", 100000

  // Bytes of a block at construction: items per block = min(count, this / size).
  static constexpr unsigned long kMaxBlockSize = 100000;
  // Last value read from "debugAllocList"; -1 before the first read.
  static long getAllocationCheckLevel();

 private:
  struct Single {
    Single* m_pPrev;
    Single* m_pNext;
  };
  static constexpr size_t kHeaderBytes = 16;
  static_assert(sizeof(Single) <= kHeaderBytes && sizeof(unsigned long) <= kHeaderBytes);

  void init(unsigned long itemSize, unsigned long itemsPerBlock);
  // The out-of-line halves of allocate and release: growing (which reads the
  // options) and the release of single slots or of the last slot.
  void* allocateSlow();
  void releaseSlow(void* p);
  // Adds free slots; true on failure.
  bool grow();
  // Slots lie at multiples of the item size, which need not be a multiple of
  // the pointer alignment (28-byte records, say), so the free-list link is
  // read and written bytewise (one unaligned move after optimisation).
  // Records themselves stay aligned: their size is a multiple of their
  // alignment and blocks start 16-byte aligned.
  static Free* nextOf(const void* slot) {
    Free* next;
    std::memcpy(&next, slot, sizeof(next));
    return next;
  }
  static void setNext(void* slot, Free* next) { std::memcpy(slot, &next, sizeof(next)); }

  // Process totals (read through getTotalUsedBytes / getTotalBlockBytes).
  static inline unsigned long s_totalUsedBytes = 0;
  static inline unsigned long s_totalBlockBytes = 0;
  bool isInBlock(const void* p) const;
  static unsigned long blockSlots(const Free* block);

  unsigned long m_nRequestedSize = 0;
  unsigned long m_nItemSize = 0;
  unsigned long m_nItemsPerBlock = 0;
  Free* m_pFreeList = nullptr;
  KRealList<Free*, KList<Free*>> m_blocks{10};
  unsigned long m_nUsedBytes = 0;
  unsigned long m_nBlockBytes = 0;
  bool m_bFresh = true;
  Single* m_pSingles = nullptr;  // single slots handed out
};
