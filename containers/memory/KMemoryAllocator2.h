// KMemoryAllocator2: a block arena for variable-size requests. Requests are
// carved from the newest block in address order; memory is given back only
// all at once (freeAll, destructor). When the heap cannot supply a whole
// block, the request is halved down to the caller's minimum.
// Single-threaded; not copyable.
#pragma once
#include "core/application/KObject.h"
#include "containers/memory/KList.h"

class KMemoryAllocator2 : public KObject {
 public:
  explicit KMemoryAllocator2(unsigned long blockSize) : m_nBlockSize(blockSize) {}
  ~KMemoryAllocator2() override { freeAll(); }
  KMemoryAllocator2(const KMemoryAllocator2&) = delete;
  KMemoryAllocator2& operator=(const KMemoryAllocator2&) = delete;

  // Starts a new block of the block size (at least `minimum` bytes), halving
  // the request while the heap refuses and it stays at or above `minimum`.
  // True when no block could be had.
  bool newBlock(unsigned long minimum);
  // `bytes` bytes aligned to 16 from the current block (a new one when it
  // is short), or null when the heap cannot supply them.
  void* allocate(unsigned long bytes);
  // Frees every block; earlier results become invalid.
  void freeAll();

  unsigned long getBlockSize() const { return m_nBlockSize; }
  unsigned long getTotalBlockBytes() const { return m_nTotalBytes; }
  long getBlockCount() const { return static_cast<long>(m_blocks.GetCount()); }
  // Bytes left in the current block.
  unsigned long getRemaining() const { return static_cast<unsigned long>(m_pEnd - m_pCurrent); }

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
  long dumpAllocatedMembers(_TREEITEM*, bool, KString&) const override { return 0; }

 private:
  unsigned long m_nBlockSize;
  char* m_pCurrent = nullptr;
  char* m_pEnd = nullptr;
  KRealList<char*, KList<char*>> m_blocks{10};
  long m_nCleared = 0;
  unsigned long m_nTotalBytes = 0;
};
