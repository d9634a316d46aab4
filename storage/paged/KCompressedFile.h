// KCompressedFile: a paged, zlib-compressed byte stream over a KFile, read
// and written in logical (uncompressed) positions as if it were plain. The
// pages are compressed and inflated by libdeflate (KPageCompress.h); each is
// an ordinary zlib stream, so files of either library read in the other.
//
// On disk (compression level 1..9):
//
//   +---------------------------+  0
//   | header area               |  m_nHeaderSize bytes, written raw by the
//   | (text + blank/any filler) |  header operations; content is the caller's
//   +---------------------------+  m_nHeaderSize  = relative position 0
//   | page header 0             |  text:   "\n<compressed> <logical>\n"
//   |                           |  binary: int32 LE compressed, int32 LE logical
//   | zlib stream of page 0     |  <compressed> bytes: header, deflate, Adler-32
//   +---------------------------+
//   | page header 1 ...         |  every page but the last holds exactly
//   |                           |  32000 logical bytes, the last 1..32000;
//   +---------------------------+  no page is empty.  End of file.
//
// A text file never cuts a string written with WriteString across pages:
// when it does not fit, the page is filled with blanks and written first.
// Level 0 is a plain file: the header as written, then the stream itself.
//
// Reading keeps the page table (built on first access by skipping over the
// page headers, never decompressing) and up to 20 decompressed pages, most
// recently used first; the head of the cache is always the current page. A
// full cache gives up its least recently used page, except while a reader
// streams forward through the file: then the earliest pages stay, for the
// pass from the start that follows a pass over the whole file.
// Compressed bytes come through one read block of up to kReadBlock bytes:
// fixed-size page headers are parsed from it block by block, and a page
// loaded right after the one before it is read together with the pages that
// follow, so a file read in order costs a seek and a read per block rather
// than per page. Writing puts each page header and its zlib stream into the
// file with one write, at the end of the data, which is remembered between
// pages (the header operations forget it; callers do not move m_file while
// pages are written).
// A file that is not what this class writes is input, not a bug: page
// headers whose counts cannot be right, and pages cut by the end of the file,
// raise CFileException(genericException, -1, file name) before anything is
// allocated or copied for them; a page header cut short ends the pages there,
// so a damaged tail reads as a shorter file.
//
// Invariants: m_nPagePos <= size of the current page; m_pageStart is the
// current page's m_start; a page is in m_cache exactly when its entry's
// m_pCacheNode is set; the cache holds at most kCacheLimit pages.
//
// Use: construct for one direction; open m_file; SetHeaderSize and
// SetCompressionLevel; write the header then the stream, or read the header
// then read, read lines and seek; Close. The object owns its page buffers;
// the concrete classes close the file in their destructors (errors are then
// swallowed, so a writer calls Close itself).
#pragma once
#include <string>

#include "containers/memory/KGrowingArray.h"
#include "containers/memory/KList.h"
#include "storage/paged/KFile.h"
#include "storage/paged/KPageCompress.h"
#include "platform/KString.h"
#include "platform/KWinTypes.h"

class KCompressedFile {
 public:
  static constexpr int kPageSize = 32000;        // logical bytes of a full page
  static constexpr int kCompressedRoom = 32050;  // largest compressed page
  static constexpr int kPageRoom = 32001;        // decompression room
  static constexpr int kCacheLimit = 20;         // decompressed pages kept
  static constexpr long kTableGrowth = 500;      // page-table entries per growth
  static constexpr UINT kReadBlock = 1u << 20;   // largest read of compressed bytes
  static constexpr int kPageHeaderRoom = 32;     // longest page header of any form
  static constexpr long kStreamRun = kCacheLimit / 2;  // forward steps that make a stream

  struct FPageInfo {
    int m_nCompressed = 0;          // compressed bytes stored for the page
    int m_nSize = 0;                // logical bytes in the page
    LONGLONG m_filePos = 0;         // of the compressed bytes, after the header area
    ULONGLONG m_start = 0;          // logical offset of the page's first byte
    POSITION m_pCacheNode = nullptr;  // node in m_cache, or null
  };

  struct FCachedPage {
    char m_data[kPageRoom];
    int m_nPage;  // index in the page table
  };

  explicit KCompressedFile(bool writing);
  virtual ~KCompressedFile();
  KCompressedFile(const KCompressedFile&) = delete;
  KCompressedFile& operator=(const KCompressedFile&) = delete;

  // Both are set before any page is read or written.
  void SetHeaderSize(int bytes) { m_nHeaderSize = bytes; }
  void SetCompressionLevel(int level) { m_nLevel = level; }
  // Reading: build the page table by seeking from page header to page header
  // instead of reading the file through in blocks, for a reader that will
  // look at a few pages of a large file only.
  void SetSparsePageTable(bool sparse) { m_bSparseTable = sparse; }
  int GetCompressionLevel() const { return m_nLevel; }
  int GetHeaderSize() const { return m_nHeaderSize; }
  bool isPlain() const { return m_nLevel == 0; }
  bool isWriting() const { return m_bWriting; }

  // Reads up to `count` bytes at the logical position; fewer only at the end
  // of the data (or where a page cannot be read).
  UINT Read(void* buffer, UINT count);
  // Reads one line without its line feed (a carriage return before it stays
  // in compressed mode; plain mode drops it, as KFile::ReadString does).
  // Blank filler at a page's end is skipped. FALSE at the end of the data.
  BOOL ReadString(KString& line);
  // Reading compressed: appends to `out` the bytes from the position up to
  // the next line feed in the current page (the line feed is passed, not
  // appended), or to the page's end when the page holds none, and answers
  // how many bytes were passed: 0 at the end of the data. `lineEnd` tells
  // whether a line feed ended them.
  UINT ReadToLineEnd(std::string& out, bool& lineEnd);
  void Write(const void* buffer, UINT count);
  // Writes the text; in compressed mode a text that does not fit in the rest
  // of the page starts a new page (the old one is filled with blanks).
  void WriteString(const KString& text);
  // Moves to a logical position (origin current: relative; begin or end:
  // absolute) and answers it. Past the end of the data the position becomes
  // the end of the data. A negative position throws CFileException(badSeek).
  // Seek is for reading; while writing compressed only the current position
  // may be sought.
  ULONGLONG Seek(LONGLONG offset, UINT origin);
  ULONGLONG GetPosition();
  // Reading compressed: the logical size of the data, from the page table
  // (built if need be), without loading a page.
  ULONGLONG GetDataLength();
  // Writes the last page when writing, forces the data to the device, closes
  // m_file and frees pages and table. On failure the file is closed all the
  // same, the pages are freed, and the exception is passed on.
  void Close();

  // Raw header access, bypassing pages. The file is positioned at offset 0
  // from `origin` first.
  UINT ReadHeaderBytes(void* buffer, UINT count, UINT origin);
  BOOL ReadHeaderLine(KString& line, UINT origin);
  // At file position 0: `count` as int32 LE, then `length` bytes of data, and
  // in compressed mode filler up to the header size. A header that does not
  // fit the header area in compressed mode throws CInvalidArgException.
  void WriteBinaryHeader(int count, const void* data, int length);
  // At offset 0 from `origin`: the text, and in compressed mode blanks up to
  // the header size. Throws CInvalidArgException when it does not fit.
  void WriteTextHeader(const KString& text, UINT origin);

  // Reads the page header at the file position: false and the two counts,
  // or true when there is no further page (end of file, cut or unreadable).
  virtual bool ReadPageHeader(int& compressed, int& logical) = 0;
  // Writes the page header that formatPageHeader makes at the file position.
  virtual void WritePageHeader(int compressed, int logical);

  // For tests and reports.
  long getPageCount() const { return m_pages.getCount(); }
  const FPageInfo& getPageInfo(long page) const { return m_pages[page]; }
  long getCachedPageCount() const { return static_cast<long>(m_cache.GetCount()); }
  // Pages inflated since the file was opened.
  long getInflatedPageCount() const { return m_nInflated; }
  // Index of the current page, or -1 when none is loaded.
  long getCurrentPage() const;
  // True when the invariants above hold.
  bool checkInvariants() const;

 protected:
  // Signed 32-bit integers as 4 little-endian bytes.
  static void putInt32(char* out, int value);
  static int getInt32(const char* in);
  // Closes for the destructors of the concrete classes: errors are dropped.
  void closeQuietly() noexcept;
  // Puts the form's page header into `out` (kPageHeaderRoom bytes) and
  // answers its length.
  virtual int formatPageHeader(char* out, int compressed, int logical) const = 0;
  // What the pages hold, which picks the compression plan of each level.
  virtual KPageKind pageKind() const = 0;
  // The size of every page header when the form has one size, else 0; the
  // page table is then built from read blocks with decodePageHeader instead
  // of ReadPageHeader.
  virtual UINT fixedPageHeaderSize() const { return 0; }
  virtual void decodePageHeader(const char* bytes, int& compressed, int& logical) const;

 private:
  void throwBadFile() const;
  LONGLONG rawSeek(LONGLONG offset, UINT origin);
  // The least file space one page can take: a page header of at least 4
  // bytes (binary 8, text "\n1 1\n" 5) and a zlib stream of at least 8
  // bytes. The page table is never grown beyond what the file's size holds.
  static constexpr LONGLONG kLeastPageFootprint = 12;
  static constexpr int kLeastCompressed = 8;

  LONGLONG addPageEntry(int compressed, int logical, LONGLONG filePos, LONGLONG dataBytes, long mostPages,
                        ULONGLONG& total);
  void buildPageTable();
  void scanFixedPageHeaders(UINT headerBytes, LONGLONG dataBytes, long mostPages);
  void allocateReadBlock(LONGLONG dataBytes);
  void fillReadBlock(LONGLONG position, UINT count);
  const char* fetchCompressed(long n);
  bool loadPage(long n);
  void followStream(long n);
  POSITION recycledSlot(long n) const;
  FCachedPage& currentPage();
  FCachedPage* newPage();
  void decompressInto(const FPageInfo& entry, const char* source, FCachedPage& page);
  void flushPage();
  void releasePages() noexcept;

  // Room for a page header right before the compressed bytes, so that a
  // page goes out in one write.
  char m_pageOut[kPageHeaderRoom + kCompressedRoom];
  char* const m_compressed = m_pageOut + kPageHeaderRoom;
  // The read block: m_nReadValid bytes of the file from relative position
  // m_readStart, in m_nReadRoom bytes of heap (null until first needed).
  char* m_pRead = nullptr;
  UINT m_nReadRoom = 0;
  UINT m_nReadValid = 0;
  LONGLONG m_readStart = 0;
  long m_lastFetched = -1;  // page whose bytes were last taken from the block
  long m_streamTop = -1;    // furthest page of the reader's forward stream
  long m_nStreamed = 0;     // forward steps the stream has taken
  long m_nInflated = 0;
  bool m_bSparseTable = false;
  LONGLONG m_writeEnd = -1;  // relative end of the written data, -1 unknown
  KPtrList<FCachedPage> m_cache{10};
  ULONGLONG m_pageStart = 0;
  UINT m_nPagePos = 0;
  int m_nHeaderSize = 0;
  int m_nLevel = 1;
  bool m_bWriting;

 public:
  KFile m_file;

 private:
  KHGrowingArray<FPageInfo> m_pages;
};
