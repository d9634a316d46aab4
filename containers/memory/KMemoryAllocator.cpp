#include "containers/memory/KMemoryAllocator.h"

#include <algorithm>
#include <cstring>

#include "platform/KExceptions.h"
#include "platform/KHeap.h"

namespace {
long g_allocationCheckLevel = -1;
}  // namespace

KBoolOption& KMemoryAllocator::slowFrugalMemoryModeOption() {
  static KBoolOption option("slowFrugalMemoryMode", false);
  return option;
}

KBoolOption& KMemoryAllocator::removeEmptyBlocksOption() {
  static KBoolOption option("removeEmptyBlocks", true);
  return option;
}

KIntegerOption& KMemoryAllocator::debugAllocListOption() {
  static KIntegerOption option("debugAllocList", 0);
  return option;
}

KIntegerOption& KMemoryAllocator::maxBlockSizeOption() {
  static KIntegerOption option("maxBlockSize", static_cast<long>(kMaxBlockSize));
  return option;
}

long KMemoryAllocator::getAllocationCheckLevel() { return g_allocationCheckLevel; }
unsigned long KMemoryAllocator::getTotalUsedBytes() { return s_totalUsedBytes; }
unsigned long KMemoryAllocator::getTotalBlockBytes() { return s_totalBlockBytes; }

KMemoryAllocator::KMemoryAllocator(unsigned long itemSize, unsigned long itemsPerBlock) {
  // A zero size would make the per-block division meaningless; treat it as 1.
  unsigned long perBlockLimit = kMaxBlockSize / std::max(itemSize, 1UL);
  init(itemSize, std::min(itemsPerBlock, perBlockLimit));
}

KMemoryAllocator::~KMemoryAllocator() { freeAll(); }

void KMemoryAllocator::init(unsigned long itemSize, unsigned long itemsPerBlock) {
  m_nRequestedSize = itemSize;
  m_nItemSize = std::max<unsigned long>(itemSize, sizeof(Free));
  // Records larger than the block limit still get blocks of one slot.
  m_nItemsPerBlock = std::max(itemsPerBlock, 1UL);
  m_pFreeList = nullptr;
}

void KMemoryAllocator::reset(unsigned long itemSize, unsigned long itemsPerBlock) {
  g_allocationCheckLevel = debugAllocListOption().value();
  long maxItems = maxBlockSizeOption().value();
  freeAll();
  init(itemSize, std::min(itemsPerBlock, static_cast<unsigned long>(std::max(maxItems, 1L))));
}

void* KMemoryAllocator::allocateSlow() {
  if (grow()) return nullptr;
  return allocate();
}

bool KMemoryAllocator::grow() {
  if (slowFrugalMemoryModeOption().value()) {
    auto* single = static_cast<Single*>(KHeapAlloc(kHeaderBytes + m_nItemSize));
    if (!single) return true;
    std::memset(static_cast<void*>(single), 0, kHeaderBytes + m_nItemSize);
    single->m_pNext = m_pSingles;
    if (m_pSingles) m_pSingles->m_pPrev = single;
    m_pSingles = single;
    m_pFreeList = reinterpret_cast<Free*>(reinterpret_cast<char*>(single) + kHeaderBytes);
    return false;
  }
  unsigned long n = m_nItemsPerBlock;
  char* raw = nullptr;
  for (; n > 0; n /= 2) {
    raw = static_cast<char*>(KHeapAlloc(kHeaderBytes + n * m_nItemSize));
    if (raw) break;
  }
  if (!raw) return true;
  std::memcpy(raw, &n, sizeof(n));
  Free* block = reinterpret_cast<Free*>(raw + kHeaderBytes);
  try {
    m_blocks.AddTail(block);
  } catch (const CMemoryException&) {
    KHeapFree(raw);
    return true;
  }
  unsigned long bytes = n * m_nItemSize;
  m_nBlockBytes += bytes;
  s_totalBlockBytes += bytes;
  char* first = reinterpret_cast<char*>(block);
  for (unsigned long i = 0; i + 1 < n; ++i)
    setNext(first + i * m_nItemSize, reinterpret_cast<Free*>(first + (i + 1) * m_nItemSize));
  setNext(first + (n - 1) * m_nItemSize, nullptr);
  m_pFreeList = block;
  return false;
}

// The counts were already taken back by release.
void KMemoryAllocator::releaseSlow(void* p) {
  if (m_pSingles && !isInBlock(p)) {
    auto* single = reinterpret_cast<Single*>(static_cast<char*>(p) - kHeaderBytes);
    (single->m_pPrev ? single->m_pPrev->m_pNext : m_pSingles) = single->m_pNext;
    if (single->m_pNext) single->m_pNext->m_pPrev = single->m_pPrev;
    KHeapFree(single);
    return;
  }
  if (m_nUsedBytes == 0 && removeEmptyBlocksOption().value()) {
    freeAll();
    return;
  }
  Free* slot = static_cast<Free*>(p);
  setNext(slot, m_pFreeList);
  m_pFreeList = slot;
}

unsigned long KMemoryAllocator::blockSlots(const Free* block) {
  unsigned long n;
  std::memcpy(&n, reinterpret_cast<const char*>(block) - kHeaderBytes, sizeof(n));
  return n;
}

bool KMemoryAllocator::isInBlock(const void* p) const {
  auto address = reinterpret_cast<uintptr_t>(p);
  for (POSITION pos = m_blocks.GetHeadPosition(); pos;) {
    const Free* block = m_blocks.GetNext(pos);
    auto start = reinterpret_cast<uintptr_t>(block);
    if (address >= start && address < start + blockSlots(block) * m_nItemSize) return true;
  }
  return false;
}

void KMemoryAllocator::freeAll() {
  while (!m_blocks.IsEmpty()) KHeapFree(reinterpret_cast<char*>(m_blocks.RemoveHead()) - kHeaderBytes);
  while (m_pSingles) {
    Single* next = m_pSingles->m_pNext;
    KHeapFree(m_pSingles);
    m_pSingles = next;
  }
  m_pFreeList = nullptr;
  s_totalBlockBytes -= m_nBlockBytes;
  s_totalUsedBytes -= m_nUsedBytes;
  m_nBlockBytes = m_nUsedBytes = 0;
}

bool KMemoryAllocator::isOnFreeList(void* p) const {
  g_allocationCheckLevel = debugAllocListOption().value();
  if (g_allocationCheckLevel < 1 || !p || !m_pFreeList) return false;
  unsigned long limit = static_cast<unsigned long>(m_blocks.GetCount()) * m_nItemsPerBlock + 1;
  const Free* slot = m_pFreeList;
  for (unsigned long steps = 0; slot && steps < limit; ++steps) {
    if (slot == p) return true;
    slot = nextOf(slot);
    if (slot == m_pFreeList) return false;
  }
  return false;
}

unsigned long KMemoryAllocator::getRequestedSize() const { return m_nRequestedSize; }
unsigned long KMemoryAllocator::getItemSize() const { return m_nItemSize; }
unsigned long KMemoryAllocator::getItemsPerBlock() const { return m_nItemsPerBlock; }
unsigned long KMemoryAllocator::getUsedBytes() const { return m_nUsedBytes; }
unsigned long KMemoryAllocator::getBlockBytes() const { return m_nBlockBytes; }
long KMemoryAllocator::getBlockCount() const { return static_cast<long>(m_blocks.GetCount()); }
