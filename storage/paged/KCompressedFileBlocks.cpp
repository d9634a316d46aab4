// The read block of KCompressedFile: building the page table from blocks of
// the file, and fetching the compressed bytes of pages through the block.
#include <algorithm>

#include "storage/paged/KCompressedFile.h"
#include "platform/KHeap.h"

// The page table from page headers taken from read blocks, with the checks
// of addPageEntry: a block is read wherever the next page header is not
// wholly in the block, and fewer bytes than a page header there end the
// pages, as a page header cut short does.
void KCompressedFile::scanFixedPageHeaders(UINT headerBytes, LONGLONG dataBytes, long mostPages) {
  if (dataBytes < static_cast<LONGLONG>(headerBytes)) return;
  allocateReadBlock(dataBytes);
  LONGLONG position = 0;
  ULONGLONG total = 0;
  int compressed = 0, logical = 0;
  for (;;) {
    if (position < m_readStart || position + headerBytes > m_readStart + m_nReadValid) {
      fillReadBlock(position, m_nReadRoom);
      if (m_nReadValid < headerBytes) break;
    }
    decodePageHeader(m_pRead + (position - m_readStart), compressed, logical);
    position = addPageEntry(compressed, logical, position + headerBytes, dataBytes, mostPages, total) + compressed;
  }
}

void KCompressedFile::decodePageHeader(const char*, int&, int&) const { AfxThrowInvalidArgException(); }

// A block never smaller than the largest page, never larger than the data
// needs (or kReadBlock).
void KCompressedFile::allocateReadBlock(LONGLONG dataBytes) {
  if (m_pRead) return;
  LONGLONG room = std::clamp<LONGLONG>(dataBytes, kCompressedRoom, kReadBlock);
  m_pRead = static_cast<char*>(KHeapAlloc(static_cast<size_t>(room)));
  if (!m_pRead) AfxThrowMemoryException();
  m_nReadRoom = static_cast<UINT>(room);
  m_nReadValid = 0;
  m_readStart = 0;
}

void KCompressedFile::fillReadBlock(LONGLONG position, UINT count) {
  m_nReadValid = 0;
  m_readStart = rawSeek(position, CFile::begin);
  m_nReadValid = m_file.Read(m_pRead, std::min(count, m_nReadRoom));
}

// The compressed bytes of page n, in the read block; null when the file does
// not hold them. A page that follows the one fetched last is read with the
// pages after it, as far as the block and the data reach.
const char* KCompressedFile::fetchCompressed(long n) {
  const FPageInfo& entry = m_pages[n];
  LONGLONG end = entry.m_filePos + entry.m_nCompressed;
  if (!m_pRead || entry.m_filePos < m_readStart || end > m_readStart + m_nReadValid) {
    const FPageInfo& last = m_pages[m_pages.getCount() - 1];
    LONGLONG dataEnd = last.m_filePos + last.m_nCompressed;
    allocateReadBlock(dataEnd);
    UINT count = static_cast<UINT>(entry.m_nCompressed);
    if (n == m_lastFetched + 1)
      count = static_cast<UINT>(std::clamp<LONGLONG>(dataEnd - entry.m_filePos, count, m_nReadRoom));
    fillReadBlock(entry.m_filePos, count);
    if (m_readStart != entry.m_filePos || m_nReadValid < static_cast<UINT>(entry.m_nCompressed)) return nullptr;
  }
  m_lastFetched = n;
  return m_pRead + (entry.m_filePos - m_readStart);
}
