#include "storage/paged/KCompressedFile.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <zlib.h>

#include "storage/paged/KBinaryCompressedFile.h"
#include "storage/paged/KPoolCompress.h"
#include "storage/paged/KTextCompressedFile.h"
#include "platform/KFaultFileSystem.h"
#include "platform/KHeap.h"

namespace {

enum class Form { text, binary };
constexpr Form kForms[] = {Form::text, Form::binary};
constexpr int kHeader = 200;
constexpr int kPage = KCompressedFile::kPageSize;

std::unique_ptr<KCompressedFile> makeFile(Form form, bool writing) {
  if (form == Form::text) return std::make_unique<KTextCompressedFile>(writing);
  return std::make_unique<KBinaryCompressedFile>(writing);
}

// Bytes that compress, but not to nothing: structured numbers and labels.
// A small `variety` gives small files, for tests that visit every byte.
std::string modelBytes(size_t n, unsigned seed = 1, unsigned variety = 1000) {
  std::mt19937 random(seed);
  std::string bytes;
  bytes.reserve(n);
  while (bytes.size() < n) {
    bytes += "node " + std::to_string(random() % variety) + " ";
    bytes += static_cast<char>('A' + random() % std::min(variety, 26u));
  }
  bytes.resize(n);
  return bytes;
}

class KCompressedFileTest : public testing::Test {
 protected:
  void SetUp() override {
    // A memory-backed folder when there is one: the tests below rewrite a
    // file thousands of times, and a disk file system writes each one back.
    const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::getenv("QUELM_REGISTRY_DIR");
    m_path = std::string(dir ? dir : "/tmp") + "/quelm-paged-" + std::to_string(getpid()) + ".dat";
  }
  void TearDown() override {
    KFileSystem::SetCurrent(nullptr);
    KHeapFailAfter(0);
    std::remove(m_path.c_str());
  }

  // Writes the header "HEAD" and then whatever `body` writes.
  void writeFile(Form form, int level, const std::function<void(KCompressedFile&)>& body) {
    auto file = makeFile(form, true);
    CFileException error;
    ASSERT_TRUE(file->m_file.Open(m_path.c_str(), CFile::modeCreate | CFile::modeWrite, &error));
    file->SetHeaderSize(kHeader);
    file->SetCompressionLevel(level);
    if (form == Form::text)
      file->WriteTextHeader("HEAD\r\n", CFile::begin);
    else
      file->WriteBinaryHeader(4, "HEAD", 4);
    body(*file);
    file->Close();
  }
  void writeBytes(Form form, const std::string& bytes, int level = 1) {
    writeFile(form, level, [&](KCompressedFile& f) { f.Write(bytes.data(), static_cast<UINT>(bytes.size())); });
  }

  std::unique_ptr<KCompressedFile> openForReading(Form form, int level = 1) {
    auto file = makeFile(form, false);
    EXPECT_TRUE(file->m_file.Open(m_path.c_str(), CFile::modeRead));
    file->SetHeaderSize(kHeader);
    file->SetCompressionLevel(level);
    return file;
  }

  static std::string readAll(KCompressedFile& file, UINT step = 7000) {
    std::string out, buffer(step, '\0');
    while (UINT n = file.Read(buffer.data(), step)) out.append(buffer.data(), n);
    return out;
  }

  std::string rawBytes() const {
    std::ifstream in(m_path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void setRawBytes(const std::string& bytes) const {
    std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  std::string m_path;
};

TEST_F(KCompressedFileTest, PagesHoldThirtyTwoThousandBytesAndNoPageIsEmpty) {
  for (Form form : kForms) {
    for (auto [bytes, pages] : {std::pair<size_t, long>{kPage, 1}, {kPage + 1, 2}, {3 * kPage, 3}}) {
      std::string data = modelBytes(bytes);
      writeBytes(form, data);
      auto file = openForReading(form);
      EXPECT_EQ(readAll(*file), data);
      ASSERT_EQ(file->getPageCount(), pages);
      for (long p = 0; p < pages; ++p) {
        int expected = p + 1 < pages ? kPage : static_cast<int>(bytes - p * size_t(kPage));
        EXPECT_EQ(file->getPageInfo(p).m_nSize, expected);
        EXPECT_EQ(file->getPageInfo(p).m_start, static_cast<ULONGLONG>(p) * kPage);
      }
    }
  }
}

TEST_F(KCompressedFileTest, WriterPositionCountsTheFlushedPages) {
  for (Form form : kForms) {
    std::string data = modelBytes(40000);
    writeFile(form, 1, [&](KCompressedFile& f) {
      f.Write(data.data(), 40000);
      EXPECT_EQ(f.GetPosition(), ULONGLONG(40000));
      f.Write(data.data(), 30000);
      EXPECT_EQ(f.GetPosition(), ULONGLONG(70000));
    });
    auto file = openForReading(form);
    EXPECT_TRUE(readAll(*file) == data + data.substr(0, 30000));
  }
}

// A string that exactly fills what is left of a page stays on it; one byte
// more moves it to the next page.
TEST_F(KCompressedFileTest, AStringThatExactlyFillsThePageStaysOnIt) {
  const std::string a(100, 'a'), b(kPage - 100, 'b');
  writeFile(Form::text, 1, [&](KCompressedFile& f) {
    f.WriteString(a);
    f.WriteString(b);
    EXPECT_EQ(f.GetPosition(), ULONGLONG(kPage));
    f.WriteString("c");
    EXPECT_EQ(f.GetPosition(), ULONGLONG(kPage + 1));
  });
  auto file = openForReading(Form::text);
  EXPECT_TRUE(readAll(*file) == a + b + "c");
  EXPECT_EQ(file->getPageInfo(0).m_nSize, kPage);
  writeFile(Form::text, 1, [&](KCompressedFile& f) {
    f.WriteString(a);
    f.WriteString(b + "b");
    EXPECT_EQ(f.GetPosition(), ULONGLONG(2 * kPage - 99));
  });
}

TEST_F(KCompressedFileTest, FileWithoutWritesHoldsOnlyTheHeaderArea) {
  for (Form form : kForms) {
    writeFile(form, 1, [](KCompressedFile&) {});
    std::string raw = rawBytes();
    ASSERT_EQ(raw.size(), size_t(kHeader));
    if (form == Form::text) {
      EXPECT_EQ(raw, "HEAD\r\n" + std::string(kHeader - 6, ' '));
    }
    auto file = openForReading(form);
    char c;
    EXPECT_EQ(file->Read(&c, 1), 0u);
    EXPECT_EQ(file->Seek(100, CFile::begin), 0u);
    EXPECT_EQ(file->getPageCount(), 0);
  }
}

TEST_F(KCompressedFileTest, TextPagesHaveReadablePageHeaders) {
  writeBytes(Form::text, "abc");
  std::string raw = rawBytes();
  size_t end = raw.find('\n', kHeader + 1);
  ASSERT_NE(end, std::string::npos);
  std::string header = raw.substr(kHeader, end + 1 - kHeader);
  int compressed = 0, logical = 0;
  ASSERT_EQ(std::sscanf(header.c_str(), "\n%d %d\n", &compressed, &logical), 2);
  EXPECT_EQ(header, "\n" + std::to_string(compressed) + " 3\n");
  EXPECT_EQ(raw.size(), end + 1 + compressed);
}

TEST_F(KCompressedFileTest, StringsNeverCrossAPageBoundary) {
  std::string a(20000, 'a'), b(20000, 'b');
  writeFile(Form::text, 1, [&](KCompressedFile& f) {
    f.WriteString(a);
    f.WriteString(b);
    f.WriteString("");
  });
  auto file = openForReading(Form::text);
  std::string all = readAll(*file);
  EXPECT_EQ(all, a + std::string(12000, ' ') + b);
  EXPECT_EQ(file->getPageInfo(0).m_nSize, kPage);
  EXPECT_EQ(file->getPageInfo(1).m_nSize, 20000);
}

TEST_F(KCompressedFileTest, LinesReadBackWithoutFillerAndKeepTheirCarriageReturn) {
  std::string a(20000, 'a'), b(20000, 'b');
  for (int level : {1, 0}) {
    writeFile(Form::text, level, [&](KCompressedFile& f) {
      f.WriteString(a + "\r\n");
      f.WriteString(b + "\r\n");
      f.WriteString("last");
    });
    auto file = openForReading(Form::text, level);
    KString line;
    ASSERT_TRUE(file->ReadHeaderLine(line, CFile::begin));
    EXPECT_EQ(line, "HEAD");
    file->Seek(level ? 0 : 6, CFile::begin);
    std::string cr = level ? "\r" : "";
    ASSERT_TRUE(file->ReadString(line)) << level;
    EXPECT_EQ(line.str(), a + cr);
    ASSERT_TRUE(file->ReadString(line));
    EXPECT_EQ(line.str(), b + cr);
    EXPECT_FALSE(file->ReadString(line));
    EXPECT_EQ(line, "last");
    EXPECT_FALSE(file->ReadString(line));
  }
}

TEST_F(KCompressedFileTest, SeekLoadsThePageOfTheOffset) {
  std::string data = modelBytes(2 * kPage + 500);
  writeBytes(Form::binary, data);
  auto file = openForReading(Form::binary);
  EXPECT_EQ(file->Seek(kPage, CFile::begin), ULONGLONG(kPage));
  EXPECT_EQ(file->getCurrentPage(), 1);
  char bytes[20];
  EXPECT_EQ(file->Seek(0, CFile::current), ULONGLONG(kPage));
  EXPECT_EQ(file->Seek(-10, CFile::current), ULONGLONG(kPage - 10));
  EXPECT_EQ(file->getCurrentPage(), 0);
  ASSERT_EQ(file->Read(bytes, 20), 20u);
  EXPECT_EQ(std::string(bytes, 20), data.substr(kPage - 10, 20));
  EXPECT_EQ(file->GetPosition(), ULONGLONG(kPage + 10));
  EXPECT_THROW(file->Seek(-1, CFile::begin), CFileException);
  EXPECT_TRUE(file->checkInvariants());
}

TEST_F(KCompressedFileTest, ReadsNeverPassTheEndOfTheData) {
  std::string data = modelBytes(kPage + 100);
  writeBytes(Form::binary, data);
  auto file = openForReading(Form::binary);
  char bytes[300];
  file->Seek(kPage + 50, CFile::begin);
  EXPECT_EQ(file->Read(bytes, 300), 50u);
  EXPECT_EQ(file->Read(bytes, 300), 0u);
  // Past the last byte, within the last page and beyond it, and from the end.
  for (auto [offset, origin] : {std::pair<LONGLONG, UINT>{kPage + 101, CFile::begin}, {kPage + 31999, CFile::begin},
                                {5LL * kPage, CFile::begin}, {1LL << 40, CFile::begin}, {10, CFile::end}}) {
    ULONGLONG at = file->Seek(offset, origin);
    if (origin == CFile::end) {
      EXPECT_EQ(at, 10u);  // origin end counts from the start
      continue;
    }
    EXPECT_EQ(at, ULONGLONG(kPage + 100)) << offset;
    EXPECT_EQ(file->Read(bytes, 300), 0u) << offset;
    EXPECT_TRUE(file->checkInvariants());
  }
}

TEST_F(KCompressedFileTest, RandomReadsMatchTheWrittenBytes) {
  std::string data = modelBytes(25 * kPage + 123, 7);
  writeBytes(Form::binary, data);
  auto file = openForReading(Form::binary);
  std::mt19937 random(3);
  std::string buffer(70000, '\0');
  for (int i = 0; i < 300; ++i) {
    size_t at = random() % (data.size() + 10);
    UINT count = random() % 70000;
    ULONGLONG pos = file->Seek(static_cast<LONGLONG>(at), CFile::begin);
    ASSERT_EQ(pos, std::min(at, data.size()));
    UINT n = file->Read(buffer.data(), count);
    ASSERT_EQ(n, std::min<size_t>(count, data.size() - pos));
    ASSERT_EQ(buffer.compare(0, n, data, pos, n), 0);
    ASSERT_LE(file->getCachedPageCount(), KCompressedFile::kCacheLimit);
    ASSERT_TRUE(file->checkInvariants());
  }
}

TEST_F(KCompressedFileTest, CacheKeepsTheTwentyMostRecentlyUsedPages) {
  writeBytes(Form::binary, modelBytes(25 * kPage));
  auto file = openForReading(Form::binary);
  for (long page = 24; page >= 0; --page) file->Seek(page * kPage, CFile::begin);
  EXPECT_EQ(file->getCachedPageCount(), 20);  // pages 0 to 19
  file->Seek(5 * kPage, CFile::begin);   // cached: moves to the head
  file->Seek(20 * kPage, CFile::begin);  // not cached: replaces page 19, the oldest
  EXPECT_EQ(file->getCachedPageCount(), 20);
  EXPECT_EQ(file->getInflatedPageCount(), 26);
  EXPECT_NE(file->getPageInfo(5).m_pCacheNode, nullptr);
  EXPECT_EQ(file->getPageInfo(19).m_pCacheNode, nullptr);
  EXPECT_NE(file->getPageInfo(18).m_pCacheNode, nullptr);
  EXPECT_NE(file->getPageInfo(20).m_pCacheNode, nullptr);
  EXPECT_TRUE(file->checkInvariants());
  file->Close();
  EXPECT_EQ(file->getCachedPageCount(), 0);
  EXPECT_EQ(file->getPageCount(), 0);
}

// A reader that streams through the whole file (as a whole object file is
// checked) and then again from the start finds the earliest pages still cached
// and the last three too: only the pages between are inflated twice.
TEST_F(KCompressedFileTest, ASecondPassFromTheStartFindsTheEarliestPagesCached) {
  std::string data = modelBytes(40 * kPage);
  writeBytes(Form::text, data);
  auto file = openForReading(Form::text);
  ASSERT_EQ(readAll(*file), data);
  EXPECT_EQ(file->getInflatedPageCount(), 40);
  for (long page = 0; page < 40; ++page)
    EXPECT_EQ(file->getPageInfo(page).m_pCacheNode != nullptr, page < 17 || page >= 37) << page;
  file->Seek(0, CFile::begin);
  ASSERT_EQ(readAll(*file), data);
  EXPECT_EQ(file->getInflatedPageCount(), 60);
  EXPECT_TRUE(file->checkInvariants());
  // Steps back by a page within a stream (a line read ahead into the next
  // page, then the seek back) do not end it.
  auto lines = openForReading(Form::text);
  for (long page = 0; page < 39; ++page) {
    lines->Seek(page * kPage + kPage - 10, CFile::begin);
    char bytes[20];
    ASSERT_EQ(lines->Read(bytes, 20), 20u);
    lines->Seek(page * kPage + kPage - 5, CFile::begin);
  }
  EXPECT_EQ(lines->getInflatedPageCount(), 40);
  EXPECT_NE(lines->getPageInfo(0).m_pCacheNode, nullptr);
  EXPECT_EQ(lines->getPageInfo(30).m_pCacheNode, nullptr);
}

// Line pieces come straight from the page: up to a line feed, or to the
// page's end (here the blank filler before a line that did not fit).
TEST_F(KCompressedFileTest, LinePiecesEndAtALineFeedOrThePageEnd) {
  const std::string second = std::string(31995, 'x') + "\r\n";  // does not fit after "ab"
  writeFile(Form::text, 1, [&](KCompressedFile& f) {
    f.WriteString("ab\r\n");
    f.WriteString(KString(second.c_str()));
    f.WriteString("last");
  });
  auto file = openForReading(Form::text);
  std::string out;
  bool lineEnd = false;
  EXPECT_EQ(file->ReadToLineEnd(out, lineEnd), 4u);
  EXPECT_TRUE(lineEnd);
  EXPECT_EQ(out, "ab\r");
  out.clear();
  EXPECT_EQ(file->ReadToLineEnd(out, lineEnd), static_cast<UINT>(kPage - 4));
  EXPECT_FALSE(lineEnd);
  EXPECT_TRUE(out == std::string(kPage - 4, ' '));
  out.clear();
  EXPECT_EQ(file->ReadToLineEnd(out, lineEnd), static_cast<UINT>(second.size()));
  EXPECT_TRUE(lineEnd);
  EXPECT_TRUE(out == second.substr(0, second.size() - 1));
  out.clear();
  EXPECT_EQ(file->ReadToLineEnd(out, lineEnd), 3u);  // the filler of page 1
  EXPECT_EQ(file->ReadToLineEnd(out, lineEnd), 4u);
  EXPECT_FALSE(lineEnd);
  EXPECT_EQ(file->ReadToLineEnd(out, lineEnd), 0u);
  EXPECT_EQ(out, "   last");
  EXPECT_EQ(file->GetPosition(), 2u * kPage + 4);
  EXPECT_TRUE(file->checkInvariants());
}

// The data's length comes from the page table: no page is inflated for it.
TEST_F(KCompressedFileTest, TheDataLengthNeedsNoPage) {
  for (Form form : kForms) {
    for (size_t size : {size_t{0}, size_t{1}, size_t{kPage}, size_t{3 * kPage + 17}}) {
      writeBytes(form, modelBytes(size));
      auto file = openForReading(form);
      EXPECT_EQ(file->GetDataLength(), size);
      EXPECT_EQ(file->getInflatedPageCount(), 0);
      EXPECT_EQ(file->getCachedPageCount(), 0);
    }
  }
}

TEST_F(KCompressedFileTest, LevelZeroWritesAPlainFile) {
  std::string data = modelBytes(40000);
  for (Form form : kForms) {
    writeFile(form, 0, [&](KCompressedFile& f) {
      f.Write(data.data(), 10);
      f.WriteString(KString(data.substr(10).c_str()));
    });
    std::string header = form == Form::text ? "HEAD\r\n" : std::string("\x04\0\0\0HEAD", 8);
    EXPECT_EQ(rawBytes(), header + data);
    auto file = openForReading(form, 0);
    char bytes[5];
    EXPECT_EQ(file->Seek(header.size() + 100, CFile::begin), header.size() + 100);
    ASSERT_EQ(file->Read(bytes, 5), 5u);
    EXPECT_EQ(std::string(bytes, 5), data.substr(100, 5));
  }
}

TEST_F(KCompressedFileTest, HeadersThatDoNotFitTheHeaderAreaAreRefused) {
  auto file = makeFile(Form::text, true);
  ASSERT_TRUE(file->m_file.Open(m_path.c_str(), CFile::modeCreate | CFile::modeWrite));
  file->SetHeaderSize(kHeader);
  EXPECT_THROW(file->WriteTextHeader(KString(' ', kHeader + 1), CFile::begin), CInvalidArgException);
  EXPECT_THROW(file->WriteBinaryHeader(1, std::string(kHeader, 'x').data(), kHeader - 3), CInvalidArgException);
  EXPECT_EQ(file->m_file.GetLength(), 0u);
  file->WriteBinaryHeader(1, std::string(kHeader, 'x').data(), kHeader - 4);
  EXPECT_EQ(file->m_file.GetLength(), ULONGLONG(kHeader));
}

TEST_F(KCompressedFileTest, ACutPageHeaderEndsTheFileBeforeThatPage) {
  std::string data = modelBytes(3 * kPage, 5);
  for (Form form : kForms) {
    writeBytes(form, data);
    LONGLONG lastPage;
    {
      auto file = openForReading(form);
      file->Seek(2 * kPage, CFile::begin);
      lastPage = file->getPageInfo(2).m_filePos + kHeader;  // first compressed byte
    }
    std::string raw = rawBytes();
    LONGLONG headerBytes = form == Form::text ? 3 : 8;  // cut inside "\n<c> <l>\n" or the 8 bytes
    setRawBytes(raw.substr(0, lastPage - headerBytes));
    auto file = openForReading(form);
    EXPECT_EQ(readAll(*file), data.substr(0, 2 * kPage));
    EXPECT_EQ(file->getPageCount(), 2);
  }
}

// Every prefix of a file reads as a shorter file or raises the file
// exception; never more, never other bytes.
TEST_F(KCompressedFileTest, EveryTruncationReadsShorterOrFails) {
  std::string data = modelBytes(2 * kPage + 300, 9, 2);
  for (Form form : kForms) {
    writeBytes(form, data, 9);
    std::string raw = rawBytes();
    ASSERT_LT(raw.size(), 6000u);  // keeps the test quick
    for (size_t cut = 0; cut < raw.size(); ++cut) {
      setRawBytes(raw.substr(0, cut));
      auto file = openForReading(form);
      try {
        std::string got = readAll(*file);
        ASSERT_LT(got.size(), data.size()) << cut;
        ASSERT_EQ(got, data.substr(0, got.size())) << cut;
      } catch (const CFileException& e) {
        ASSERT_EQ(e.m_cause, CFileException::genericException);
        ASSERT_EQ(e.m_lOsError, -1);
        ASSERT_EQ(e.m_strFileName.str(), m_path);
      }
    }
  }
}

// Adler-32 misses a few changes to a page as repetitive as these: such a
// page may read back changed, but only when zlib itself takes the damaged
// stream for a sound one and inflates it to what was read.
void expectUndetectable(const std::string& bad, KCompressedFile& file, const std::string& got,
                        const std::string& data, size_t at) {
  for (long p = 0; p < file.getPageCount(); ++p) {
    const KCompressedFile::FPageInfo& page = file.getPageInfo(p);
    size_t from = kHeader + static_cast<size_t>(page.m_filePos);
    if (at < from || at >= from + static_cast<size_t>(page.m_nCompressed)) continue;
    std::string inflated(kPage, '\0');
    uLongf size = kPage;
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(inflated.data()), &size,
                         reinterpret_cast<const Bytef*>(bad.data() + from), static_cast<uLong>(page.m_nCompressed)),
              Z_OK) << at;
    size_t start = static_cast<size_t>(page.m_start);
    ASSERT_EQ(got.substr(start, size), inflated.substr(0, size)) << at;
    ASSERT_EQ(got.substr(0, start), data.substr(0, start)) << at;
    ASSERT_EQ(got.substr(start + size), data.substr(start + size, got.size() - start - size)) << at;
    return;
  }
  ADD_FAILURE() << "changed data from an undamaged page, byte " << at;
}

TEST_F(KCompressedFileTest, EveryCorruptedByteReadsShorterOrFails) {
  std::string data = modelBytes(2 * kPage + 300, 11, 2);
  for (Form form : kForms) {
    writeBytes(form, data, 9);
    std::string raw = rawBytes();
    for (size_t at = kHeader; at < raw.size(); ++at) {
      std::string bad = raw;
      bad[at] ^= static_cast<char>(0xA5);
      setRawBytes(bad);
      auto file = openForReading(form);
      try {
        std::string got = readAll(*file, 50000);
        ASSERT_LE(got.size(), data.size()) << at;
        if (got != data.substr(0, got.size())) expectUndetectable(bad, *file, got, data, at);
        KString line;
        file->Seek(0, CFile::begin);
        while (file->ReadString(line)) {
        }
      } catch (const CFileException& e) {
        ASSERT_EQ(e.m_strFileName.str(), m_path);
      }
    }
  }
}

std::string binaryPage(int compressed, int logical, size_t payload) {
  std::string page(8, '\0');
  for (int i = 0; i < 4; ++i) {
    page[i] = static_cast<char>((static_cast<unsigned>(compressed) >> (8 * i)) & 0xFF);
    page[4 + i] = static_cast<char>((static_cast<unsigned>(logical) >> (8 * i)) & 0xFF);
  }
  return page + std::string(payload, 'z');
}

// A binary page whose payload is a real zlib stream of `logical` bytes, so
// that only the page table rules can refuse it.
std::string zlibPage(size_t logical) {
  const std::string bytes = modelBytes(logical, 3);
  std::string out(logical + 1000, '\0');
  unsigned long size = static_cast<unsigned long>(out.size());
  EXPECT_EQ(PoolCompress(out.data(), &size, bytes.data(), static_cast<unsigned long>(bytes.size()), 1, nullptr, 0),
            Z_OK);
  out.resize(size);
  return binaryPage(static_cast<int>(size), static_cast<int>(logical), 0) + out;
}

TEST_F(KCompressedFileTest, ImpossiblePageTableEntriesAreRefusedBeforeUse) {
  const std::string area(kHeader, ' ');
  struct Case {
    const char* what;
    std::string pages;
  } cases[] = {
      {"compressed size above the buffer", binaryPage(32051, 100, 32051)},
      {"negative compressed size", binaryPage(-1, 100, 100)},
      {"compressed size below any zlib stream", binaryPage(0, 100, 0) + binaryPage(0, 100, 0)},
      {"empty page", binaryPage(20, 0, 20)},
      {"logical size above a page", binaryPage(20, kPage + 1, 20)},
      {"negative logical size", binaryPage(20, -5, 20)},
      {"compressed bytes past the end", binaryPage(100, 100, 99)},
      {"short page before another", binaryPage(20, 100, 20) + binaryPage(20, 100, 20)},
      {"short page of valid data before another", zlibPage(100) + zlibPage(100)},
      {"tiny pages in bulk", [] {
         std::string s;
         for (int i = 0; i < 100000; ++i) s += binaryPage(0, 1, 0);
         return s;
       }()},
  };
  for (const Case& c : cases) {
    setRawBytes(area + c.pages);
    auto file = openForReading(Form::binary);
    char byte;
    try {
      file->Read(&byte, 1);
      ADD_FAILURE() << c.what;
    } catch (const CFileException& e) {
      EXPECT_EQ(e.m_cause, CFileException::genericException) << c.what;
      EXPECT_EQ(e.m_lOsError, -1) << c.what;
      EXPECT_EQ(e.m_strFileName.str(), m_path) << c.what;
      EXPECT_EQ(file->getCachedPageCount(), 0) << c.what;
    }
  }
  setRawBytes(area + "\n99999 5\n" + std::string(50, 'z'));
  auto text = openForReading(Form::text);
  KString line;
  EXPECT_THROW(text->ReadString(line), CFileException);
}

TEST_F(KCompressedFileTest, TextPageHeaderLinesParseStrictly) {
  struct Case {
    const char* text;
    bool ok;
    int a, b;
  } cases[] = {{"12 34", true, 12, 34},   {" 12  34 ", true, 12, 34}, {"-5 +3", true, -5, 3},
               {"12", false, 0, 0},       {"12 34 5", false, 0, 0},   {"12x 34", false, 0, 0},
               {"1234", false, 0, 0},     {"", false, 0, 0},          {"99999999999 1", false, 0, 0},
               {"1 2147483648", false, 0, 0}, {"a b", false, 0, 0}};
  for (const Case& c : cases) {
    int a = 0, b = 0;
    EXPECT_EQ(KParsePageHeaderLine(c.text, a, b), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(std::make_pair(a, b), std::make_pair(c.a, c.b)) << c.text;
    }
  }
}

// Fails each write, sync and close in turn: the failure surfaces as the file
// exception naming the file, and a run without a fault reads back whole.
TEST_F(KCompressedFileTest, FileSystemFailuresWhileWritingNameTheFile) {
  std::string data = modelBytes(3 * kPage + 10);
  KFaultFileSystem faults(KFileSystem::Default());
  for (auto kind : {KFaultFileSystem::kWrite, KFaultFileSystem::kSync, KFaultFileSystem::kClose,
                    KFaultFileSystem::kSeek}) {
    for (long n = 1;; ++n) {
      KFileSystem::SetCurrent(&faults);
      faults.failNth(kind, n, EIO);
      bool failed = false;
      try {
        writeBytes(Form::text, data);
      } catch (const CFileException& e) {
        failed = true;
        EXPECT_EQ(e.m_strFileName.str(), m_path);
      }
      KFileSystem::SetCurrent(nullptr);
      EXPECT_EQ(failed, faults.fired()) << kind << " " << n;
      if (!faults.fired()) {
        EXPECT_EQ(readAll(*openForReading(Form::text)), data);
        break;
      }
    }
  }
}

TEST_F(KCompressedFileTest, FileSystemFailuresWhileReadingNameTheFile) {
  std::string data = modelBytes(3 * kPage + 10);
  writeBytes(Form::binary, data);
  KFaultFileSystem faults(KFileSystem::Default());
  for (long n = 1;; ++n) {
    KFileSystem::SetCurrent(&faults);
    faults.failNth(KFaultFileSystem::kRead, n, EIO);
    try {
      auto file = openForReading(Form::binary);
      EXPECT_EQ(readAll(*file), data);
    } catch (const CFileException& e) {
      EXPECT_EQ(e.m_strFileName.str(), m_path);
    }
    KFileSystem::SetCurrent(nullptr);
    if (!faults.fired()) break;
  }
}

// Makes each heap request fail in turn; the sanitizer build checks that
// nothing leaks on the way out.
TEST_F(KCompressedFileTest, HeapFailuresRaiseTheMemoryExceptionAndLeakNothing) {
  std::string data = modelBytes(22 * kPage + 10);
  for (long n = 1;; ++n) {
    bool failed = false;
    KHeapFailAfter(n);
    try {
      writeBytes(Form::binary, data);
    } catch (const CMemoryException&) {
      failed = true;
    }
    bool fired = KHeapRequestCount() >= n;
    KHeapFailAfter(0);
    ASSERT_EQ(failed, fired) << n;
    if (!fired) break;
  }
  writeBytes(Form::binary, data);
  for (long n = 1;; ++n) {
    auto file = openForReading(Form::binary);
    bool failed = false;
    KHeapFailAfter(n);
    try {
      EXPECT_EQ(readAll(*file, 100000), data);
    } catch (const CMemoryException&) {
      failed = true;
      EXPECT_TRUE(file->checkInvariants());
    }
    bool fired = KHeapRequestCount() >= n;
    KHeapFailAfter(0);
    ASSERT_EQ(failed, fired) << n;
    if (!fired) break;
  }
}

}  // namespace
