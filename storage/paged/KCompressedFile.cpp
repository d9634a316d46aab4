#include "storage/paged/KCompressedFile.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "storage/paged/KPageCompress.h"
#include "platform/KHeap.h"

KCompressedFile::KCompressedFile(bool writing) : m_bWriting(writing) {
  // The first bytes of this buffer also serve as header filler; zero them so
  // that no stale memory reaches a file.
  std::memset(m_pageOut, 0, sizeof m_pageOut);
}

KCompressedFile::~KCompressedFile() { releasePages(); }

void KCompressedFile::throwBadFile() const {
  AfxThrowFileException(CFileException::genericException, -1, m_file.GetFilePath());
}

void KCompressedFile::putInt32(char* out, int value) {
  uint32_t v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

int KCompressedFile::getInt32(const char* in) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(in[i]);
  return static_cast<int>(v);
}

long KCompressedFile::getCurrentPage() const {
  return m_cache.IsEmpty() ? -1 : m_cache.GetAt(m_cache.GetHeadPosition())->m_nPage;
}

bool KCompressedFile::checkInvariants() const {
  if (m_cache.GetCount() > kCacheLimit) return false;
  long cached = 0;
  for (long i = 0; i < m_pages.getCount(); ++i) {
    const FPageInfo& e = m_pages[i];
    if (!e.m_pCacheNode) continue;
    ++cached;
    if (m_cache.GetAt(e.m_pCacheNode)->m_nPage != i) return false;
  }
  if (m_bWriting) return m_nPagePos <= static_cast<UINT>(kPageSize);
  if (cached != m_cache.GetCount()) return false;
  if (m_cache.IsEmpty()) return true;
  long current = getCurrentPage();
  if (current < 0 || current >= m_pages.getCount()) return false;
  const FPageInfo& e = m_pages[current];
  return m_nPagePos <= static_cast<UINT>(e.m_nSize) && m_pageStart == e.m_start;
}

// Positions m_file relative to the end of the header area (never inside it)
// and answers the relative position.
LONGLONG KCompressedFile::rawSeek(LONGLONG offset, UINT origin) {
  if (origin == CFile::begin) offset += m_nHeaderSize;
  ULONGLONG position = m_file.Seek(offset, origin);
  if (position < static_cast<ULONGLONG>(m_nHeaderSize)) position = m_file.Seek(m_nHeaderSize, CFile::begin);
  return static_cast<LONGLONG>(position) - m_nHeaderSize;
}

// Every entry is checked before it is added: its counts must be ones this
// class writes, all pages before it must be full (Seek finds pages by
// offset / kPageSize), and its compressed bytes must lie inside the file.
// `filePos` is where the compressed bytes start; -1 asks the file, after the
// counts have passed. Answers that position.
LONGLONG KCompressedFile::addPageEntry(int compressed, int logical, LONGLONG filePos, LONGLONG dataBytes,
                                       long mostPages, ULONGLONG& total) {
  long count = m_pages.getCount();
  if (compressed < kLeastCompressed || compressed > kCompressedRoom) throwBadFile();
  if (logical < 1 || logical > kPageSize) throwBadFile();
  if (count > 0 && m_pages[count - 1].m_nSize != kPageSize) throwBadFile();
  FPageInfo entry;
  entry.m_nCompressed = compressed;
  entry.m_nSize = logical;
  entry.m_filePos = filePos >= 0 ? filePos : rawSeek(0, CFile::current);
  entry.m_start = total;
  if (entry.m_filePos + compressed > dataBytes || count >= mostPages) throwBadFile();
  long growBy = std::max(1L, std::min(kTableGrowth, mostPages - count));
  if (m_pages.add(entry, growBy) < 0) AfxThrowMemoryException();
  total += static_cast<ULONGLONG>(logical);
  return entry.m_filePos;
}

// Forms with one page-header size parse the headers from read blocks
// (KCompressedFileBlocks.cpp); the others read them one by one.
void KCompressedFile::buildPageTable() {
  ULONGLONG length = m_file.GetLength();
  LONGLONG dataBytes = length > static_cast<ULONGLONG>(m_nHeaderSize)
                           ? static_cast<LONGLONG>(length) - m_nHeaderSize : 0;
  long mostPages = static_cast<long>(std::min<LONGLONG>(dataBytes / kLeastPageFootprint + 1, 0x10000000));
  if (UINT headerBytes = m_bSparseTable ? 0 : fixedPageHeaderSize()) {
    scanFixedPageHeaders(headerBytes, dataBytes, mostPages);
    return;
  }
  rawSeek(0, CFile::begin);
  ULONGLONG total = 0;
  int compressed = 0, logical = 0;
  while (!ReadPageHeader(compressed, logical)) {
    addPageEntry(compressed, logical, -1, dataBytes, mostPages, total);
    rawSeek(compressed, CFile::current);
  }
}

KCompressedFile::FCachedPage* KCompressedFile::newPage() {
  void* raw = KHeapAlloc(sizeof(FCachedPage));
  if (!raw) AfxThrowMemoryException();
  FCachedPage* page = ::new (raw) FCachedPage;
  page->m_nPage = -1;
  return page;
}

void KCompressedFile::decompressInto(const FPageInfo& entry, const char* source, FCachedPage& page) {
  if (entry.m_nSize < 1 || entry.m_nSize > kPageSize) throwBadFile();
  unsigned long produced = kPageRoom;
  ++m_nInflated;
  int rc = PageUncompress(page.m_data, &produced, source, static_cast<unsigned long>(entry.m_nCompressed));
  if (rc == Z_MEM_ERROR) AfxThrowMemoryException();
  if (rc != Z_OK || produced != static_cast<unsigned long>(entry.m_nSize)) throwBadFile();
}

// Answers true when there is no page n or it cannot be read; the current page
// is then unchanged. A page whose data is damaged throws and also leaves the
// current page as it was.
bool KCompressedFile::loadPage(long n) {
  if (m_pages.getCount() == 0) buildPageTable();
  if (n < 0 || n >= m_pages.getCount()) return true;
  followStream(n);
  FPageInfo& entry = m_pages[n];
  if (entry.m_pCacheNode) {
    m_cache.getList().MoveToHead(entry.m_pCacheNode);
  } else {
    const char* source = fetchCompressed(n);
    if (!source) return true;
    if (m_cache.GetCount() < kCacheLimit) {
      FCachedPage* page = newPage();
      try {
        decompressInto(entry, source, *page);
        entry.m_pCacheNode = m_cache.AddHead(page);
      } catch (...) {
        KHeapFree(page);
        throw;
      }
      page->m_nPage = static_cast<int>(n);
    } else {
      // The recycled page is never the current one (the head), so losing it
      // to a failed load is safe.
      POSITION slot = recycledSlot(n);
      FCachedPage* page = m_cache.GetAt(slot);
      m_pages[page->m_nPage].m_pCacheNode = nullptr;
      page->m_nPage = -1;
      try {
        decompressInto(entry, source, *page);
      } catch (...) {
        m_cache.RemoveAt(slot);
        KHeapFree(page);
        throw;
      }
      m_cache.getList().MoveToHead(slot);
      entry.m_pCacheNode = slot;
      page->m_nPage = static_cast<int>(n);
    }
  }
  m_pageStart = entry.m_start;
  m_nPagePos = 0;
  return false;
}

// A load of the page after the stream's furthest page extends the stream; a
// load of that page or the one before it (a line read ahead into the next
// page and the seek back) leaves it as it is; any other load starts anew.
void KCompressedFile::followStream(long n) {
  if (m_streamTop >= 0 && n == m_streamTop + 1) {
    m_streamTop = n;
    ++m_nStreamed;
  } else if (m_streamTop < 0 || n < m_streamTop - 1 || n > m_streamTop) {
    m_streamTop = n;
    m_nStreamed = 0;
  }
}

// The cached page that a load recycles when the cache is full: the least
// recently used one, except while a reader streams forward through more
// pages than the cache holds. A stream over the whole file is how a tool
// checks a whole object file before it lists it from the start; recycling the
// least recently used page would have lost every page that pass wants by the
// time it comes. A stream therefore recycles the nearest page behind its
// last three, and the earliest pages stay cached, for the next pass.
POSITION KCompressedFile::recycledSlot(long n) const {
  POSITION head = m_cache.GetHeadPosition();
  POSITION victim = m_cache.GetTailPosition();
  if (n != m_streamTop || m_nStreamed < kStreamRun) return victim;
  long best = -1;
  for (POSITION at = head; at;) {
    POSITION here = at;
    long page = m_cache.GetNext(at)->m_nPage;
    if (here != head && page < n - 2 && page > best) {
      best = page;
      victim = here;
    }
  }
  return victim;
}

KCompressedFile::FCachedPage& KCompressedFile::currentPage() {
  if (m_cache.IsEmpty()) AfxThrowInvalidArgException();
  return *m_cache.GetAt(m_cache.GetHeadPosition());
}

UINT KCompressedFile::Read(void* buffer, UINT count) {
  if (isPlain()) return m_file.Read(buffer, count);
  if (m_bWriting) AfxThrowInvalidArgException();
  if (m_cache.IsEmpty() && loadPage(0)) return 0;
  char* out = static_cast<char*>(buffer);
  UINT done = 0;
  while (done < count) {
    FCachedPage& page = currentPage();
    UINT size = static_cast<UINT>(m_pages[page.m_nPage].m_nSize);
    UINT rest = size > m_nPagePos ? size - m_nPagePos : 0;
    UINT step = std::min(rest, count - done);
    if (step == 0) {
      if (loadPage(page.m_nPage + 1L)) break;
      continue;
    }
    std::memcpy(out + done, page.m_data + m_nPagePos, step);
    m_nPagePos += step;
    done += step;
  }
  return done;
}

BOOL KCompressedFile::ReadString(KString& line) {
  if (isPlain()) return m_file.ReadString(line);
  if (m_bWriting) AfxThrowInvalidArgException();
  line.Empty();
  if (m_cache.IsEmpty() && loadPage(0)) return FALSE;
  for (;;) {
    FCachedPage& page = currentPage();
    UINT size = static_cast<UINT>(m_pages[page.m_nPage].m_nSize);
    UINT from = std::min(m_nPagePos, size);
    const char* start = page.m_data + from;
    if (const char* lf = static_cast<const char*>(std::memchr(start, '\n', size - from))) {
      UINT length = static_cast<UINT>(lf - start);
      line.str().assign(start, length);
      m_nPagePos = from + length + 1;
      return TRUE;
    }
    // The rest of a page without a line feed is blank filler, except on the
    // last page, where it is a last line without line end.
    if (loadPage(page.m_nPage + 1L)) {
      line.str().assign(start, size - from);
      m_nPagePos = size;
      return FALSE;
    }
  }
}

UINT KCompressedFile::ReadToLineEnd(std::string& out, bool& lineEnd) {
  if (isPlain() || m_bWriting) AfxThrowInvalidArgException();
  lineEnd = false;
  if (m_cache.IsEmpty() && loadPage(0)) return 0;
  FCachedPage* page = &currentPage();
  UINT size = static_cast<UINT>(m_pages[page->m_nPage].m_nSize);
  if (m_nPagePos >= size) {
    if (loadPage(page->m_nPage + 1L)) return 0;
    page = &currentPage();
    size = static_cast<UINT>(m_pages[page->m_nPage].m_nSize);
  }
  const char* start = page->m_data + m_nPagePos;
  const UINT rest = size - m_nPagePos;
  const char* lf = static_cast<const char*>(std::memchr(start, '\n', rest));
  const UINT length = lf ? static_cast<UINT>(lf - start) : rest;
  out.append(start, length);
  lineEnd = lf != nullptr;
  const UINT passed = lineEnd ? length + 1 : length;
  m_nPagePos += passed;
  return passed;
}

void KCompressedFile::Write(const void* buffer, UINT count) {
  if (isPlain()) {
    m_file.Write(buffer, count);
    return;
  }
  if (!m_bWriting) AfxThrowInvalidArgException();
  if (count == 0) return;
  if (m_cache.IsEmpty()) {
    FCachedPage* page = newPage();
    try {
      m_cache.AddHead(page);
    } catch (...) {
      KHeapFree(page);
      throw;
    }
    page->m_nPage = 0;
    m_pageStart = 0;
    m_nPagePos = 0;
  }
  const char* in = static_cast<const char*>(buffer);
  while (count > 0) {
    if (m_nPagePos == static_cast<UINT>(kPageSize)) flushPage();
    UINT step = std::min(count, kPageSize - m_nPagePos);
    std::memcpy(currentPage().m_data + m_nPagePos, in, step);
    m_nPagePos += step;
    in += step;
    count -= step;
  }
}

void KCompressedFile::WriteString(const KString& text) {
  if (isPlain()) {
    m_file.WriteString(text);
    return;
  }
  if (text.IsEmpty()) return;
  UINT length = static_cast<UINT>(text.GetLength());
  if (!m_cache.IsEmpty() && m_nPagePos + length > static_cast<UINT>(kPageSize)) {
    std::memset(currentPage().m_data + m_nPagePos, ' ', kPageSize - m_nPagePos);
    m_nPagePos = kPageSize;
    flushPage();
  }
  Write(text.GetString(), length);
}

// The entry is added only once the page is in the file, so a failed write
// leaves the table describing what was written. The page header goes right
// before the compressed bytes, and both out in one write.
void KCompressedFile::flushPage() {
  FCachedPage& page = currentPage();
  LONGLONG filePos = m_writeEnd >= 0 ? m_writeEnd : rawSeek(0, CFile::end);
  unsigned long compressed = kCompressedRoom;
  int rc = PageCompress(m_compressed, &compressed, page.m_data, m_nPagePos, m_nLevel, pageKind());
  if (rc == Z_MEM_ERROR) AfxThrowMemoryException();
  if (rc != Z_OK) throwBadFile();
  FPageInfo entry;
  entry.m_nCompressed = static_cast<int>(compressed);
  entry.m_nSize = static_cast<int>(m_nPagePos);
  entry.m_filePos = filePos;
  entry.m_start = m_pageStart;
  char header[kPageHeaderRoom];
  int headerBytes = formatPageHeader(header, entry.m_nCompressed, entry.m_nSize);
  char* out = m_compressed - headerBytes;
  std::memcpy(out, header, static_cast<size_t>(headerBytes));
  m_writeEnd = -1;
  m_file.Write(out, static_cast<UINT>(headerBytes) + static_cast<UINT>(compressed));
  m_writeEnd = filePos + headerBytes + static_cast<LONGLONG>(compressed);
  if (m_pages.add(entry, kTableGrowth) < 0) AfxThrowMemoryException();
  m_pageStart += m_nPagePos;
  m_nPagePos = 0;
  ++page.m_nPage;
}

ULONGLONG KCompressedFile::Seek(LONGLONG offset, UINT origin) {
  if (isPlain()) return m_file.Seek(offset, origin);
  if (origin == CFile::current) offset += static_cast<LONGLONG>(GetPosition());
  if (offset < 0) AfxThrowFileException(CFileException::badSeek, -1, m_file.GetFilePath());
  ULONGLONG target = static_cast<ULONGLONG>(offset);
  if (m_bWriting) {
    if (target != GetPosition()) AfxThrowInvalidArgException();
    return target;
  }
  ULONGLONG page = target / kPageSize;
  if (page > 0x7FFFFFFF || loadPage(static_cast<long>(page))) {
    // Past the data: stand at its end, so that reads answer nothing.
    if (m_pages.getCount() == 0 || loadPage(m_pages.getCount() - 1)) return GetPosition();
    m_nPagePos = static_cast<UINT>(m_pages[m_pages.getCount() - 1].m_nSize);
    return GetPosition();
  }
  UINT size = static_cast<UINT>(m_pages[currentPage().m_nPage].m_nSize);
  m_nPagePos = static_cast<UINT>(std::min<ULONGLONG>(target - m_pageStart, size));
  return m_pageStart + m_nPagePos;
}

ULONGLONG KCompressedFile::GetDataLength() {
  if (m_pages.getCount() == 0) buildPageTable();
  long count = m_pages.getCount();
  return count ? m_pages[count - 1].m_start + static_cast<ULONGLONG>(m_pages[count - 1].m_nSize) : 0;
}

ULONGLONG KCompressedFile::GetPosition() {
  if (isPlain()) return m_file.GetPosition();
  return m_pageStart + m_nPagePos;
}

void KCompressedFile::Close() {
  try {
    if (m_file.isOpen()) {
      if (m_bWriting && !isPlain() && m_nPagePos != 0) flushPage();
      if (m_bWriting) m_file.Flush();
      m_file.Close();
    }
  } catch (...) {
    m_file.Abort();
    releasePages();
    throw;
  }
  releasePages();
}

void KCompressedFile::closeQuietly() noexcept {
  try {
    Close();
  } catch (...) {
  }
  releasePages();
}

void KCompressedFile::releasePages() noexcept {
  while (!m_cache.IsEmpty()) KHeapFree(m_cache.RemoveHead());
  KHeapFree(m_pRead);
  m_pRead = nullptr;
  m_nReadRoom = 0;
  m_nReadValid = 0;
  m_readStart = 0;
  m_lastFetched = -1;
  m_streamTop = -1;
  m_nStreamed = 0;
  m_nInflated = 0;
  m_writeEnd = -1;
  m_pages.removeAll();
  m_pageStart = 0;
  m_nPagePos = 0;
}

void KCompressedFile::WritePageHeader(int compressed, int logical) {
  char header[kPageHeaderRoom];
  m_file.Write(header, static_cast<UINT>(formatPageHeader(header, compressed, logical)));
}

// The header operations move the file, so the end of the written data is
// sought again before the next page.
UINT KCompressedFile::ReadHeaderBytes(void* buffer, UINT count, UINT origin) {
  m_writeEnd = -1;
  m_file.Seek(0, origin);
  return m_file.Read(buffer, count);
}

BOOL KCompressedFile::ReadHeaderLine(KString& line, UINT origin) {
  m_writeEnd = -1;
  m_file.Seek(0, origin);
  return m_file.ReadString(line);
}

// The header must end inside the header area in compressed mode, or the
// first page would overwrite its end.
void KCompressedFile::WriteBinaryHeader(int count, const void* data, int length) {
  if (length < 0 || (!isPlain() && length > m_nHeaderSize - 4)) AfxThrowInvalidArgException();
  m_writeEnd = -1;
  m_file.Seek(0, CFile::begin);
  char word[4];
  putInt32(word, count);
  m_file.Write(word, 4);
  m_file.Write(data, static_cast<UINT>(length));
  if (!isPlain()) {
    int filler = m_nHeaderSize - length - 4;
    for (; filler > 0; filler -= std::min(filler, kCompressedRoom))
      m_file.Write(m_compressed, static_cast<UINT>(std::min(filler, kCompressedRoom)));
  }
}

void KCompressedFile::WriteTextHeader(const KString& text, UINT origin) {
  if (!isPlain() && text.GetLength() > m_nHeaderSize) AfxThrowInvalidArgException();
  m_writeEnd = -1;
  ULONGLONG start = m_file.Seek(0, origin);
  m_file.WriteString(text);
  if (isPlain()) return;
  ULONGLONG written = m_file.GetPosition() - start;
  if (written < static_cast<ULONGLONG>(m_nHeaderSize)) {
    KString blanks(' ', static_cast<int>(m_nHeaderSize - written));
    m_file.WriteString(blanks);
  }
}
