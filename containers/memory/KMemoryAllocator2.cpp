#include "containers/memory/KMemoryAllocator2.h"

#include <algorithm>

#include "platform/KExceptions.h"
#include "platform/KHeap.h"

bool KMemoryAllocator2::newBlock(unsigned long minimum) {
  unsigned long size = std::max(m_nBlockSize, minimum);
  char* block = nullptr;
  while (size > 0) {
    block = static_cast<char*>(KHeapAlloc(size));
    if (block) break;
    size /= 2;
    if (size < minimum) return true;
  }
  if (!block) return true;
  try {
    m_blocks.AddTail(block);
  } catch (const CMemoryException&) {
    KHeapFree(block);
    return true;
  }
  m_nTotalBytes += size;
  m_pCurrent = block;
  m_pEnd = block + size;
  return false;
}

void* KMemoryAllocator2::allocate(unsigned long bytes) {
  constexpr unsigned long kAlign = 16;
  unsigned long rounded = (std::max(bytes, 1UL) + kAlign - 1) & ~(kAlign - 1);
  if (rounded < bytes) return nullptr;
  if (static_cast<unsigned long>(m_pEnd - m_pCurrent) < rounded && newBlock(rounded)) return nullptr;
  void* p = m_pCurrent;
  m_pCurrent += rounded;
  return p;
}

void KMemoryAllocator2::freeAll() {
  while (!m_blocks.IsEmpty()) KHeapFree(m_blocks.RemoveHead());
  m_pCurrent = m_pEnd = nullptr;
  m_nCleared = 0;
  m_nTotalBytes = 0;
}
