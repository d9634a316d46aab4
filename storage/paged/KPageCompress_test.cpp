#include "storage/paged/KPageCompress.h"

#include <gtest/gtest.h>
#include <libdeflate.h>
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/KHeap.h"
#include "storage/paged/KBinaryCompressedFile.h"
#include "storage/paged/KTextCompressedFile.h"
#include "tests/support/KScratchFolder.h"

namespace {

constexpr int kPage = KCompressedFile::kPageSize;
constexpr int kRoom = KCompressedFile::kCompressedRoom;
constexpr int kHeader = 200;

// Mesh-like bytes: coordinates with structure and labels.
std::string modelPage(size_t bytes, int seed = 0) {
  std::string page(bytes, '\0');
  size_t i = 0;
  for (int node = seed; i + 32 <= bytes; ++node) {
    double xyz[3] = {node * 0.25, std::sin(node * 0.01) * 10.0, 3.0};
    std::memcpy(&page[i], xyz, sizeof xyz);
    std::memcpy(&page[i + 24], node % 7 ? "NODE    " : "ELEMENT ", 8);
    i += 32;
  }
  return page;
}

std::string randomBytes(size_t bytes, unsigned seed) {
  std::mt19937 random(seed);
  std::string out(bytes, '\0');
  for (char& c : out) c = static_cast<char>(random());
  return out;
}

std::string zlibInflate(const char* stream, size_t size, int* rc = nullptr) {
  std::string out(kPage + 1, '\0');
  uLongf produced = out.size();
  int result = uncompress(reinterpret_cast<Bytef*>(out.data()), &produced, reinterpret_cast<const Bytef*>(stream),
                          static_cast<uLong>(size));
  if (rc) *rc = result;
  out.resize(result == Z_OK ? produced : 0);
  return out;
}

std::string zlibDeflate(const std::string& bytes, int level) {
  std::string out(compressBound(static_cast<uLong>(bytes.size())), '\0');
  uLongf produced = out.size();
  EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(out.data()), &produced, reinterpret_cast<const Bytef*>(bytes.data()),
                      static_cast<uLong>(bytes.size()), level), Z_OK);
  out.resize(produced);
  return out;
}

std::string pageCompress(const std::string& bytes, int level, int* rc = nullptr, unsigned long room = kRoom,
                         KPageKind kind = kBinaryPages) {
  std::string out(room, '\0');
  unsigned long produced = room;
  int result = PageCompress(out.data(), &produced, bytes.data(), bytes.size(), level, kind);
  if (rc) *rc = result;
  out.resize(result == Z_OK ? produced : 0);
  return out;
}

std::string pageUncompress(const std::string& stream, int* rc = nullptr, unsigned long room = kPage + 1) {
  std::string out(room, '\0');
  unsigned long produced = room;
  int result = PageUncompress(out.data(), &produced, stream.data(), stream.size());
  if (rc) *rc = result;
  out.resize(result == Z_OK ? produced : 0);
  return out;
}

// libdeflate's own stream of `bytes` at a libdeflate level, or "" when it
// does not fit `room`.
std::string libdeflateStream(const std::string& bytes, int libdeflateLevel, size_t room = kRoom) {
  libdeflate_compressor* compressor = libdeflate_alloc_compressor(libdeflateLevel);
  std::string stream(room, '\0');
  stream.resize(libdeflate_zlib_compress(compressor, bytes.data(), bytes.size(), stream.data(), stream.size()));
  libdeflate_free_compressor(compressor);
  return stream;
}

// The stream a level's plan gives: the fast pass, replaced by the strong
// pass when the fast one is below an eighth of the page and the strong one
// is smaller.
std::string plannedStream(const std::string& page, int level, KPageKind kind) {
  std::string fast = libdeflateStream(page, PageLibdeflateLevel(level, kind));
  if (PageSecondPassLevel(level, kind) == 0 || fast.size() * 8 >= page.size()) return fast;
  std::string strong = libdeflateStream(page, PageSecondPassLevel(level, kind));
  return strong.size() < fast.size() ? strong : fast;
}

TEST(KPageCompressTest, StreamsOfEitherLibraryInflateInTheOtherAtEveryLevel) {
  std::string page = modelPage(kPage);
  for (int level = 0; level <= 9; ++level) {
    int rc = Z_OK;
    std::string ours = pageCompress(page, level, &rc);
    ASSERT_EQ(rc, Z_OK) << level;
    EXPECT_EQ(zlibInflate(ours.data(), ours.size()), page) << level;
    EXPECT_EQ(pageUncompress(ours), page) << level;
    std::string theirs = zlibDeflate(page, level);
    EXPECT_EQ(pageUncompress(theirs, &rc), page) << level;
    EXPECT_EQ(rc, Z_OK) << level;
    if (level > 0) {
      EXPECT_LT(ours.size(), page.size() / 2) << level;
    }
  }
  // The stream of an empty buffer too.
  std::string empty = pageCompress("", 6);
  EXPECT_EQ(zlibInflate(empty.data(), empty.size()), "");
  EXPECT_EQ(pageUncompress(zlibDeflate("", 6)), "");
}

TEST(KPageCompressTest, IncompressiblePagesFitTheCompressedRoomAtEveryLevel) {
  for (unsigned seed = 1; seed <= 3; ++seed) {
    std::string page = randomBytes(kPage, seed);
    for (int level = 0; level <= 9; ++level) {
      int rc = Z_OK;
      std::string packed = pageCompress(page, level, &rc);
      ASSERT_EQ(rc, Z_OK) << level;
      EXPECT_LE(packed.size(), size_t(kRoom)) << level;
      EXPECT_EQ(zlibInflate(packed.data(), packed.size()), page) << level;
    }
  }
}

TEST(KPageCompressTest, ReportsFailuresAsZlibDoes) {
  std::string page = modelPage(kPage);
  int rc = Z_OK;
  pageCompress(page, 1, &rc, 10);
  EXPECT_EQ(rc, Z_BUF_ERROR);
  for (int level : {-1, 10}) {
    pageCompress(page, level, &rc);
    EXPECT_EQ(rc, Z_STREAM_ERROR) << level;
  }
  EXPECT_EQ(PageCompress(nullptr, nullptr, page.data(), page.size(), 1, kBinaryPages), Z_STREAM_ERROR);
  EXPECT_EQ(PageUncompress(nullptr, nullptr, page.data(), page.size()), Z_STREAM_ERROR);

  std::string packed = pageCompress(page, 6);
  pageUncompress(packed, &rc, 100);
  EXPECT_EQ(rc, Z_BUF_ERROR);
  pageUncompress(packed, &rc, kPage);  // exactly the room the page needs
  EXPECT_EQ(rc, Z_OK);
  pageUncompress(packed.substr(0, packed.size() - 5), &rc);
  EXPECT_EQ(rc, Z_DATA_ERROR);
  std::string bad = packed;
  bad[bad.size() - 1] ^= 0x55;  // the Adler-32 trailer
  pageUncompress(bad, &rc);
  EXPECT_EQ(rc, Z_DATA_ERROR);
  bad = packed;
  bad[1] ^= 0x01;  // the header check bits
  pageUncompress(bad, &rc);
  EXPECT_EQ(rc, Z_DATA_ERROR);

  // A stream that needs a preset dictionary cannot be read.
  z_stream s{};
  ASSERT_EQ(deflateInit(&s, 6), Z_OK);
  ASSERT_EQ(deflateSetDictionary(&s, reinterpret_cast<const Bytef*>("NODE    "), 8), Z_OK);
  std::string dict(kRoom, '\0');
  s.next_in = reinterpret_cast<Bytef*>(page.data());
  s.avail_in = static_cast<uInt>(page.size());
  s.next_out = reinterpret_cast<Bytef*>(dict.data());
  s.avail_out = static_cast<uInt>(dict.size());
  ASSERT_EQ(deflate(&s, Z_FINISH), Z_STREAM_END);
  dict.resize(s.total_out);
  deflateEnd(&s);
  pageUncompress(dict, &rc);
  EXPECT_EQ(rc, Z_DATA_ERROR);
}

// The compressors and the decompressor are made once per thread; later pages
// ask the heap for nothing, and a thread whose first request fails gets
// Z_MEM_ERROR, then succeeds once the heap gives.
TEST(KPageCompressTest, CodecsAreMadeOncePerThreadAndTheirFailureIsAMemoryError) {
  std::string page = modelPage(kPage);
  std::thread([&] {
    int rc = Z_OK;
    KHeapFailAfter(1);
    pageCompress(page, 6, &rc);
    EXPECT_EQ(rc, Z_MEM_ERROR);
    KHeapFailAfter(1);
    pageUncompress(zlibDeflate(page, 6), &rc);
    EXPECT_EQ(rc, Z_MEM_ERROR);
    KHeapFailAfter(0);
    std::string packed = pageCompress(page, 6, &rc);
    ASSERT_EQ(rc, Z_OK);
    EXPECT_EQ(pageUncompress(packed), page);
    KHeapFailAfter(0);
    for (int i = 0; i < 20; ++i) {
      std::string again = modelPage(kPage, i);
      ASSERT_EQ(pageUncompress(pageCompress(again, 6)), again);
    }
    EXPECT_EQ(KHeapRequestCount(), 0);
    PageCompressRelease();
    EXPECT_EQ(pageUncompress(pageCompress(page, 6)), page);
    EXPECT_EQ(KHeapRequestCount(), 2);  // made again after the release
    // A redundant page needs the strong compressor too: made once, and its
    // failure is a memory error like the first one's.
    std::string redundant;
    while (redundant.size() < static_cast<size_t>(kPage)) redundant += "  S,\"Unit\", 0, 0, 1,\r\n      \"mm\"\r\n";
    redundant.resize(kPage);
    KHeapFailAfter(1);
    pageCompress(redundant, 6, &rc);
    EXPECT_EQ(rc, Z_MEM_ERROR);
    KHeapFailAfter(0);
    EXPECT_EQ(pageUncompress(pageCompress(redundant, 6)), redundant);
    EXPECT_EQ(KHeapRequestCount(), 1);
    EXPECT_EQ(pageUncompress(pageCompress(redundant, 6)), redundant);
    EXPECT_EQ(KHeapRequestCount(), 1);
  }).join();
}

// Each thread makes its codecs in turn (the heap hook counts requests from
// one thread at a time), then both work at once on their own codecs.
TEST(KPageCompressTest, ThreadsCompressAndInflateSideBySide) {
  std::mutex making;
  auto work = [&making](int seed, bool* ok) {
    {
      std::lock_guard<std::mutex> lock(making);
      for (int level = 1; level <= 9; ++level) pageUncompress(pageCompress(modelPage(100), level));
    }
    *ok = true;
    for (int i = 0; i < 30; ++i) {
      std::string page = modelPage(kPage, seed * 1000 + i);
      *ok = *ok && pageUncompress(pageCompress(page, 1 + i % 9)) == page;
    }
  };
  bool first = false, second = false;
  std::thread a(work, 1, &first), b(work, 2, &second);
  a.join();
  b.join();
  EXPECT_TRUE(first);
  EXPECT_TRUE(second);
}

// ---- whole files: libdeflate's pages read by zlib, zlib's pages read here ----

enum class Form { text, binary };

std::unique_ptr<KCompressedFile> makeFile(Form form, bool writing) {
  if (form == Form::text) return std::make_unique<KTextCompressedFile>(writing);
  return std::make_unique<KBinaryCompressedFile>(writing);
}

std::string readFile(const std::string& path) {
  std::string out;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[65536];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, f)) out.append(buffer, n);
    std::fclose(f);
  }
  return out;
}

void writeRaw(const std::string& path, const std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// Lines of text, some pages' worth, and the pages the text writer cuts them
// into: a line that does not fit starts the next page, after blank filler.
std::vector<std::string> modelLines() {
  std::vector<std::string> lines;
  for (int i = 0; i < 6000; ++i)
    lines.push_back("  R,\"values" + std::to_string(i) + "\", 0, 0, 3, " + std::to_string(std::sin(i) * 1e3) + " " +
                    std::to_string(i * 0.125) + "\r\n");
  return lines;
}

std::vector<std::string> textPages(const std::vector<std::string>& lines) {
  std::vector<std::string> pages(1);
  for (const std::string& line : lines) {
    if (pages.back().size() + line.size() > size_t(kPage)) {
      pages.back().resize(kPage, ' ');
      pages.emplace_back();
    }
    pages.back() += line;
  }
  return pages;
}

std::string pageHeader(Form form, size_t compressed, size_t logical) {
  if (form == Form::text) return "\n" + std::to_string(compressed) + " " + std::to_string(logical) + "\n";
  std::string header(8, '\0');
  for (int i = 0; i < 4; ++i) {
    header[i] = static_cast<char>((compressed >> (8 * i)) & 0xFF);
    header[4 + i] = static_cast<char>((logical >> (8 * i)) & 0xFF);
  }
  return header;
}

TEST(KPageCompressFiles, PagesWrittenHereInflateWithZlibPageByPage) {
  KScratchFolder folder("pagecompress");
  std::string path = folder.file("pages.dat");
  std::vector<std::string> lines = modelLines();
  std::vector<std::string> expected = textPages(lines);
  for (Form form : {Form::text, Form::binary}) {
    for (int level : {1, 6, 9}) {
      auto out = makeFile(form, true);
      ASSERT_TRUE(out->m_file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
      out->SetHeaderSize(kHeader);
      out->SetCompressionLevel(level);
      out->WriteTextHeader("HEAD\r\n", CFile::begin);
      for (const std::string& line : lines) out->WriteString(line);
      out->Close();
      // Walk the page headers and inflate each stream with zlib alone.
      std::string raw = readFile(path);
      size_t at = kHeader;
      std::vector<std::string> pages;
      while (at < raw.size()) {
        int compressed = 0, logical = 0;
        if (form == Form::text) {
          ASSERT_EQ(raw[at], '\n');
          size_t end = raw.find('\n', at + 1);
          ASSERT_EQ(std::sscanf(raw.c_str() + at + 1, "%d %d", &compressed, &logical), 2);
          at = end + 1;
        } else {
          std::memcpy(&compressed, raw.data() + at, 4);
          std::memcpy(&logical, raw.data() + at + 4, 4);
          at += 8;
        }
        int rc = Z_OK;
        pages.push_back(zlibInflate(raw.data() + at, static_cast<size_t>(compressed), &rc));
        ASSERT_EQ(rc, Z_OK) << level << " page " << pages.size();
        EXPECT_EQ(pages.back().size(), size_t(logical));
        at += static_cast<size_t>(compressed);
      }
      EXPECT_EQ(at, raw.size());
      EXPECT_EQ(pages, expected) << level;
      // Each form compresses with its own plan (they differ from level 6).
      std::string first = plannedStream(expected[0], level, form == Form::text ? kTextPages : kBinaryPages);
      EXPECT_NE(raw.find(first, kHeader), std::string::npos) << level;
    }
  }
}

TEST(KPageCompressFiles, FilesOfZlibPagesReadHere) {
  KScratchFolder folder("pagecompress");
  std::string path = folder.file("pages.dat");
  std::vector<std::string> lines = modelLines();
  std::vector<std::string> pages = textPages(lines);
  std::string logical;
  for (const std::string& page : pages) logical += page;
  for (Form form : {Form::text, Form::binary}) {
    for (int level = 1; level <= 9; ++level) {
      std::string raw = "HEAD\r\n" + std::string(kHeader - 6, ' ');
      for (const std::string& page : pages) {
        std::string stream = zlibDeflate(page, level);
        raw += pageHeader(form, stream.size(), page.size()) + stream;
      }
      writeRaw(path, raw);
      auto in = makeFile(form, false);
      ASSERT_TRUE(in->m_file.Open(path.c_str(), CFile::modeRead));
      in->SetHeaderSize(kHeader);
      in->SetCompressionLevel(level);
      std::string got(logical.size() + 10, '\0');
      ASSERT_EQ(in->Read(got.data(), static_cast<UINT>(got.size())), logical.size()) << level;
      got.resize(logical.size());
      EXPECT_EQ(got, logical) << level;
      in->Seek(0, CFile::begin);
      KString line;
      size_t n = 0;
      while (in->ReadString(line)) {
        ASSERT_LT(n, lines.size());
        ASSERT_EQ(line.str() + "\n", lines[n]) << level << " line " << n;
        ++n;
      }
      EXPECT_EQ(n, lines.size()) << level;
    }
  }
}

// A page whose stream inflates to another size than its header says, or
// whose stream is damaged, raises the file exception naming the file.
TEST(KPageCompressFiles, WrongSizesAndDamagedStreamsRaiseTheFileException) {
  KScratchFolder folder("pagecompress");
  std::string path = folder.file("pages.dat");
  std::string page = modelPage(kPage);
  std::string stream = zlibDeflate(page, 6);
  std::string damaged = stream;
  damaged[stream.size() / 2] ^= 0x10;
  damaged[stream.size() / 2 + 1] ^= 0x42;
  struct Case {
    const char* what;
    std::string stream;
    size_t logical;
  } cases[] = {{"one byte more", stream, kPage - 1}, {"one byte less", stream, kPage + 1},
               {"damaged", damaged, kPage}, {"cut", stream.substr(0, stream.size() - 9), kPage}};
  for (const Case& c : cases) {
    std::string raw = std::string(kHeader, ' ') + pageHeader(Form::binary, c.stream.size(), c.logical) + c.stream;
    writeRaw(path, raw);
    KBinaryCompressedFile in(false);
    ASSERT_TRUE(in.m_file.Open(path.c_str(), CFile::modeRead));
    in.SetHeaderSize(kHeader);
    char byte = 0;
    try {
      in.Read(&byte, 1);
      ADD_FAILURE() << c.what;
    } catch (const CFileException& e) {
      EXPECT_EQ(e.m_cause, CFileException::genericException) << c.what;
      EXPECT_EQ(e.m_lOsError, -1) << c.what;
      EXPECT_EQ(e.m_strFileName.str(), path) << c.what;
    }
  }
}

void writeBinaryFile(const std::string& path, const std::string& data, int level) {
  KBinaryCompressedFile out(true);
  ASSERT_TRUE(out.m_file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
  out.SetHeaderSize(kHeader);
  out.SetCompressionLevel(level);
  out.Write(data.data(), static_cast<UINT>(data.size()));
  out.Close();
}

// Random pages at every level: each fits the compressed room and reads back.
TEST(KPageCompressFiles, IncompressibleDataWritesAndReadsAtEveryLevel) {
  KScratchFolder folder("pagecompress");
  std::string path = folder.file("pages.dat");
  std::string data = randomBytes(3 * kPage + 17, 5);
  for (int level = 1; level <= 9; ++level) {
    writeBinaryFile(path, data, level);
    KBinaryCompressedFile in(false);
    ASSERT_TRUE(in.m_file.Open(path.c_str(), CFile::modeRead));
    in.SetHeaderSize(kHeader);
    in.SetCompressionLevel(level);
    std::string got(data.size(), '\0');
    ASSERT_EQ(in.Read(got.data(), static_cast<UINT>(got.size())), data.size()) << level;
    EXPECT_EQ(got, data) << level;
    ASSERT_EQ(in.getPageCount(), 4);
    for (long p = 0; p < 4; ++p) {
      EXPECT_LE(in.getPageInfo(p).m_nCompressed, kRoom) << level;
      EXPECT_GT(in.getPageInfo(p).m_nCompressed, in.getPageInfo(p).m_nSize) << level;
    }
  }
}

}  // namespace

// ---- sizes: each level keeps to zlib's size at that level ----

// Two pages of each kind of model data: a mesh (coordinates, connectivity,
// labels), result reals (smooth with noise), their text lines, and options
// in text form.
std::vector<std::string> modelPageSets() {
  std::string mesh, reals, text;
  for (int node = 0; mesh.size() < 2u * kPage; ++node) {
    double xyz[3] = {(node % 100) * 0.125, (node / 100 % 100) * 0.125, std::sin(node * 0.001) * 2.0};
    int32_t element[4] = {node, node + 1, node + 101, node + 100};
    mesh.append(reinterpret_cast<const char*>(xyz), sizeof xyz).append(reinterpret_cast<const char*>(element), 16);
    if (node % 16 == 0) mesh += node % 32 ? "PLATE   " : "BEAM    ";
  }
  unsigned seed = 12345;
  for (int i = 0; reals.size() < 2u * kPage; ++i) {
    seed = seed * 1103515245u + 12345u;
    double value = 1000.0 * std::sin(0.001 * i) + (seed >> 16) * 1e-6;
    reals.append(reinterpret_cast<const char*>(&value), sizeof value);
    char line[40];
    text.append(line, static_cast<size_t>(std::snprintf(line, sizeof line, " %.17g", value)));
    if (i % 8 == 7) text += "\r\n";
  }
  // Options in text form: many small objects of named strings, flags and
  // numbers, where zlib's higher levels find much more than its lower ones.
  std::string options;
  const char* kinds[] = {"Solver", "Mesher", "Display", "Report", "Material", "Load", "Support"};
  const char* units[] = {"mm", "m", "in", "ft", "N", "kN", "s"};
  for (int o = 0; options.size() < 2u * kPage; ++o) {
    seed = seed * 1103515245u + 12345u;
    char record[400];
    int n = std::snprintf(record, sizeof record,
                          "O,\"%s\",\"option%d\"\r\n  S,\"Description\", 0, 0, 1,\r\n      \"%s%d\"\r\n"
                          "  S,\"Unit\", 0, 0, 1,\r\n      \"%s\"\r\n  S,\"Value\", 0, 0, 1,\r\n      \"%u\"\r\n"
                          "  B,\"Enabled\", 0, 0, 1, %c\r\n  I,\"Order\", 0, 0, 1, %d\r\n"
                          "  R,\"Factor\", 0, 0, 1, %.17g\r\nE\r\n",
                          kinds[o % 7], o, o % 3 ? "Tolerance of the iteration step " : "Path C:\\Models\\part", o,
                          units[seed % 7], seed >> 20, seed & 1 ? 'T' : 'F', o % 50, 0.5 * (seed % 10));
    options.append(record, static_cast<size_t>(n));
  }
  return {mesh.substr(0, 2 * kPage), reals.substr(0, 2 * kPage), text.substr(0, 2 * kPage),
          options.substr(0, 2 * kPage)};
}

TEST(KPageCompressTest, EachLevelKeepsWithinTenPercentOfZlibsSize) {
  // The plans docs/object-file-format.md gives: binary pages take libdeflate
  // 2 from level 6, text pages 1 throughout; the strong pass is the same.
  const int strong[10] = {0, 0, 0, 4, 4, 4, 6, 6, 7, 7};
  for (int level = 0; level <= 9; ++level) {
    EXPECT_EQ(PageLibdeflateLevel(level, kBinaryPages), level == 0 ? 0 : level < 6 ? 1 : 2) << level;
    EXPECT_EQ(PageLibdeflateLevel(level, kTextPages), level == 0 ? 0 : 1) << level;
    EXPECT_EQ(PageSecondPassLevel(level, kBinaryPages), strong[level]) << level;
    EXPECT_EQ(PageSecondPassLevel(level, kTextPages), strong[level]) << level;
  }
  for (int outside : {-1, 10}) {
    EXPECT_EQ(PageLibdeflateLevel(outside, kTextPages), -1);
    EXPECT_EQ(PageSecondPassLevel(outside, kBinaryPages), -1);
  }
  std::vector<std::string> sets = modelPageSets();
  const KPageKind kinds[] = {kBinaryPages, kBinaryPages, kTextPages, kTextPages};
  for (int level = 1; level <= 9; ++level) {
    for (size_t set = 0; set < sets.size(); ++set) {
      size_t ours = 0, zlib = 0;
      for (size_t at = 0; at < sets[set].size(); at += kPage) {
        std::string page = sets[set].substr(at, kPage);
        std::string stream = pageCompress(page, level, nullptr, kRoom, kinds[set]);
        EXPECT_EQ(stream, plannedStream(page, level, kinds[set])) << "level " << level << ", set " << set;
        ours += stream.size();
        zlib += zlibDeflate(page, level).size();
      }
      EXPECT_LE(static_cast<double>(ours) / static_cast<double>(zlib), 1.10) << "level " << level << ", set " << set;
    }
  }
}

// Pages from barely to highly redundant, so that the fast pass gives
// streams on both sides of an eighth of the page: each page's stream is the
// plan's, and the sweep has strong passes that win just below an eighth and
// fast streams kept just above it.
TEST(KPageCompressTest, TheSecondPassTakesExactlyThePagesBelowAnEighth) {
  std::mt19937 random(4);
  int justBelow = 0, justAbove = 0;
  for (int noise = 100; noise <= 190; noise += 3) {
    std::string page;
    for (int o = 0; page.size() < static_cast<size_t>(kPage); ++o) {
      page += "O,\"Solver\",\"option\"\r\n  S,\"Description\", 0, 0, 1,\r\n      \"Tolerance ";
      for (int i = 0; i < noise / 10 + (o % 10 < noise % 10); ++i) page += static_cast<char>('a' + random() % 26);
      page += "\"\r\nE\r\n";
    }
    page.resize(kPage);
    for (int level : {3, 6, 9}) {
      EXPECT_EQ(pageCompress(page, level, nullptr, kRoom, kTextPages), plannedStream(page, level, kTextPages))
          << "noise " << noise << ", level " << level;
    }
    size_t fast = libdeflateStream(page, PageLibdeflateLevel(6, kTextPages)).size();
    size_t strong = libdeflateStream(page, PageSecondPassLevel(6, kTextPages)).size();
    if (fast * 8 < page.size() && fast * 9 >= page.size() && strong < fast) ++justBelow;
    if (fast * 8 >= page.size() && fast * 7 < page.size() && strong < fast) ++justAbove;
  }
  EXPECT_GT(justBelow, 0);
  EXPECT_GT(justAbove, 0);
}
