// Large attributes: the size limit of one attribute, array readers that fill
// the caller's array without a second copy, and windowed reading whose
// memory stays bounded whatever the count. Files of some tens of MB stand in
// for the multi-GB ones; memory is measured through the heap's byte count.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>
#include <vector>

#include "storage/objectfile/KBinaryPersistance.h"
#include "storage/objectfile/KTextPersistance.h"
#include "platform/KHeap.h"
#include "storage/objectfile/KPersistTestSupport.h"
#include "tests/support/KScratchFolder.h"

namespace {
std::unique_ptr<KImplPersistance> open(bool text, const std::string& path, bool writing, int level = 1) {
  if (text) return std::make_unique<KTextPersistance>(path.c_str(), writing, level);
  return std::make_unique<KBinaryPersistance>(path.c_str(), writing, level);
}

double valueAt(long i) { return static_cast<double>(i) * 0.5 - 7.0; }

// One object "Big"/"one" with a short attribute before and after `count`
// reals named "reals".
void writeBig(bool text, const std::string& path, long count, int level = 1) {
  std::vector<double> reals(static_cast<size_t>(count));
  for (long i = 0; i < count; ++i) reals[static_cast<size_t>(i)] = valueAt(i);
  auto out = open(text, path, true, level);
  out->beginObject("Big", "one");
  out->writeInt("before", 1);
  out->writeR("reals", count, reals.data());
  out->writeInt("after", 2);
  out->endObject();
  out->Close();
}
}  // namespace

TEST(KPersistanceLarge, AnAttributeOverTheLimitIsRefusedNamingFileAndAttribute) {
  EXPECT_EQ(kMaxAttributeValues, 536870911L);
  KScratchFolder dir("large");
  for (bool text : {true, false}) {
    std::string path = dir.file(text ? "limit.txt" : "limit.bin");
    auto out = open(text, path, true);
    out->beginObject("Big", "one");
    double one = 1.0;
    // The count is refused before any value is touched, so one value will do.
    try {
      out->writeR("huge", kMaxAttributeValues + 1, &one);
      FAIL() << "an attribute over the limit was written";
    } catch (const KAttributeTooLargeException& e) {
      KString message;
      EXPECT_TRUE(e.GetErrorMessage(message));
      EXPECT_NE(message.str().find(path), std::string::npos) << message.GetString();
      EXPECT_NE(message.str().find("\"huge\""), std::string::npos) << message.GetString();
      EXPECT_NE(message.str().find("536870912 values"), std::string::npos) << message.GetString();
      EXPECT_NE(message.str().find("at most 536870911"), std::string::npos) << message.GetString();
    }
    try {
      out->writeI64(KPersistName(7, 2, ""), kMaxAttributeValues + 1, nullptr);
      FAIL() << "a numeric attribute over the limit was written";
    } catch (const CInvalidArgException& e) {
      KString message;
      e.GetErrorMessage(message);
      EXPECT_NE(message.str().find("#7.2"), std::string::npos) << message.GetString();
    }
    // The limit itself is allowed: this call fails only for its missing values.
    try {
      out->writeR("edge", kMaxAttributeValues, nullptr);
      FAIL() << "values were taken from a null pointer";
    } catch (const KAttributeTooLargeException&) {
      FAIL() << "an attribute of exactly the limit was refused as too large";
    } catch (const CInvalidArgException&) {
    }
    // Nothing of the refused attributes was written: the file stays usable.
    out->writeReal("small", 2.5);
    out->endObject();
    out->Close();
    auto in = open(text, path, false);
    in->enterObject("Big", "one");
    EXPECT_EQ(in->readReal("small", 0.0), 2.5);
    EXPECT_EQ(in->findAttribute('R', "huge"), -1);
  }
}

TEST(KPersistanceLarge, ArrayReadersHoldOneCopyOfTheValues) {
  KScratchFolder dir("large");
  for (bool text : {false, true}) {
    const long count = text ? 300000 : 3000000;  // 2.4 MB and 24 MB of reals
    const size_t bytes = static_cast<size_t>(count) * sizeof(double);
    std::string path = dir.file(text ? "big.txt" : "big.bin");
    writeBig(text, path, count);

    auto in = open(text, path, false);
    in->open();
    in->enterObject("Big", "one");
    KHSimpleArray<double> out;
    KHeapResetPeak();
    const size_t start = KHeapLiveBytes();
    ASSERT_EQ(in->readReals("reals", out), count);
    // The array itself and the page cache; a second copy would double it.
    EXPECT_LT(KHeapPeakBytes() - start, bytes + bytes / 4) << (text ? "text" : "binary");
    EXPECT_LT(KHeapLiveBytes() - start, bytes + bytes / 4);
    EXPECT_EQ(out[0], valueAt(0));
    EXPECT_EQ(out[count - 1], valueAt(count - 1));
    EXPECT_EQ(in->readInt("after", 0), 2);
    EXPECT_EQ(in->readInt("before", 0), 1);

    // Read again, after other attributes: the same values.
    KHSimpleArray<double> again;
    ASSERT_EQ(in->readReals("reals", again), count);
    EXPECT_EQ(again[count / 2], valueAt(count / 2));
    // A missing array leaves the caller's array as it was.
    EXPECT_EQ(in->readReals("absent", again), -1);
    EXPECT_EQ(again.getCount(), count);
    // A single-value reader of the same attribute still sees its count.
    EXPECT_EQ(in->readReal("reals", -1.0), -1.0);
  }
}

TEST(KPersistanceLarge, ArrayReadersAfterAScanOfOtherArraysGetTheirOwnValues) {
  KScratchFolder dir("large");
  for (bool text : {true, false}) {
    std::string path = dir.file(text ? "mix.txt" : "mix.bin");
    {
      auto out = open(text, path, true);
      out->beginObject("Mix", "one");
      LONGLONG first[] = {1, 2, 3}, second[] = {40, 50};
      KString names[] = {"x", "y"};
      out->writeI64("first", 3, first);
      out->writeS("names", 2, names);
      out->writeChars("chars", "abc");
      out->writeI64("second", 2, second);
      out->endObject();
      out->Close();
    }
    auto in = open(text, path, false);
    in->enterObject("Mix", "one");
    KHSimpleArray<LONGLONG> ints;
    // Scanning to "second" passes "first", of the same tag: it must not
    // land in the caller's array.
    ASSERT_EQ(in->readInts64("second", ints), 2);
    EXPECT_EQ(ints[0], 40);
    EXPECT_EQ(ints[1], 50);
    ASSERT_EQ(in->readInts64("first", ints), 3);
    EXPECT_EQ(ints[2], 3);
    // Values already loaded by a search come from the reader's own buffer.
    ASSERT_EQ(in->findAttribute('I', "second"), 2);
    ASSERT_EQ(in->readInts64("second", ints), 2);
    EXPECT_EQ(ints[1], 50);
    KString chars("unchanged");
    EXPECT_EQ(in->readChars("nothing", chars), -1);
    EXPECT_EQ(chars, "unchanged");
    EXPECT_EQ(in->readChars("chars", chars), 3);
    EXPECT_EQ(chars, "abc");
    KHSimpleArray<KString> strings;
    ASSERT_EQ(in->readStrings("names", strings), 2);
    EXPECT_EQ(strings[1], "y");
  }
}

TEST(KPersistanceLarge, RealsArePlacedInTheCallersMemoryAndNowhereElse) {
  KScratchFolder dir("large");
  for (int level : {0, 1}) {
    for (bool text : {false, true}) {
      const long count = text ? 200000 : 2000000;
      std::string path = dir.file(text ? "placed.txt" : "placed.bin");
      writeBig(text, path, count, level);
      auto in = open(text, path, false);
      in->openForListing(KImplPersistance::kStream);
      std::vector<double> room;
      std::vector<long> asked;
      std::function<double*(long)> place = [&](long n) {
        asked.push_back(n);
        room.assign(static_cast<size_t>(n) + 1, -1.0);
        return room.data();
      };
      FRecordHead head;
      std::string tags;
      KHeapResetPeak();
      const size_t start = KHeapLiveBytes();
      while (in->readNextRecordPlacingReals(head, place)) {
        tags += head.m_tag;
        if (head.m_tag == 'I') {
          EXPECT_EQ(in->intValues()[0], head.m_name == KPersistName("before") ? 1 : 2);
        } else if (head.m_tag == 'R') {
          EXPECT_EQ(in->getValueCount(), 0);
        }
      }
      EXPECT_EQ(tags, "OIRIE");
      ASSERT_EQ(asked, std::vector<long>{count});
      EXPECT_EQ(room[0], valueAt(0));
      EXPECT_EQ(room[static_cast<size_t>(count) - 1], valueAt(count - 1));
      EXPECT_EQ(room[static_cast<size_t>(count)], -1.0);  // nothing past the room asked for
      // Only pages and small buffers: no copy of the reals in the reader.
      EXPECT_LT(KHeapPeakBytes() - start, 21u * 32050 + 65536) << text << level;
    }
  }
  // A count the file cannot hold is refused before any room is asked for.
  std::string path = dir.file("cut.bin");
  writeBig(false, path, 1000, 0);
  std::string bytes = kReadAll(path);
  bytes.resize(bytes.size() - 4000);
  kWriteAll(path, bytes);
  auto in = open(false, path, false);
  in->openForListing(KImplPersistance::kStream);
  FRecordHead head;
  bool asked = false;
  std::function<double*(long)> place = [&asked](long) {
    asked = true;
    return nullptr;
  };
  EXPECT_THROW(while (in->readNextRecordPlacingReals(head, place)) {}, CFileException);
  EXPECT_FALSE(asked);
}

TEST(KPersistanceLarge, WindowedRecordsStayWithinTheirWindow) {
  KScratchFolder dir("large");
  for (bool text : {false, true}) {
    const long count = text ? 200000 : 2000000;
    std::string path = dir.file(text ? "win.txt" : "win.bin");
    writeBig(text, path, count);
    auto in = open(text, path, false);
    in->openForListing(KImplPersistance::kStream);
    FRecordHead head;
    long seen = 0, windows = 0;
    bool inOrder = true;
    KHeapResetPeak();
    const size_t start = KHeapLiveBytes();
    while (in->readNextRecordWindowed(head, 1000, [&](long first, long n) {
      if (head.m_tag != 'R' || head.m_count != count) return;
      ++windows;
      for (long i = 0; i < n; ++i) inOrder = inOrder && in->realValues()[i] == valueAt(first + i);
      seen += n;
    })) {
    }
    EXPECT_EQ(seen, count);
    EXPECT_EQ(windows, (count + 999) / 1000);
    EXPECT_TRUE(inOrder);
    // A window of reals and the page cache (20 pages of 32 KB).
    EXPECT_LT(KHeapPeakBytes() - start, 1000u * 8 + 21u * 32050 + 65536);
  }
}

namespace {
constexpr long kPerArray = 1000;
constexpr int kArraysPerPart = 10;

double resultAt(long part, long array, long i) {
  const double x = static_cast<double>((part * kArraysPerPart + array) * kPerArray + i);
  return 1000.0 * std::sin(0.001 * x) + std::fmod(x * 0.618034, 1.0) * 1e-6;
}

KString arrayName(long array) {
  KString name;
  name.Format("values%ld", array);
  return name;
}

// A model as a solver saves it: parts of result arrays and labels, and an
// attribute after the parts.
void writeResults(bool text, const std::string& path, long parts, int level = 1) {
  auto out = open(text, path, true, level);
  out->beginObject("Model", "m");
  out->writeInt("parts", static_cast<int>(parts));
  std::vector<double> values(kPerArray);
  std::vector<KString> labels(100);
  for (long p = 0; p < parts; ++p) {
    out->beginObject("Part", KPersistName(1, static_cast<int>(p)));
    for (int a = 0; a < kArraysPerPart; ++a) {
      for (long i = 0; i < kPerArray; ++i) values[static_cast<size_t>(i)] = resultAt(p, a, i);
      out->writeR(arrayName(a), kPerArray, values.data());
    }
    for (size_t i = 0; i < labels.size(); ++i) labels[i].Format("N%ld", p * 100 + static_cast<long>(i));
    out->writeS("labels", 100, labels.data());
    out->endObject();
  }
  out->writeInt("after", 5);
  out->endObject();
  out->Close();
}

// Reads the model back in file order; false at the first wrong value.
bool readResults(KImplPersistance& in, long parts) {
  in.enterObject("Model", "m");
  if (in.readInt("parts", 0) != parts) return false;
  KHSimpleArray<double> values;
  KHSimpleArray<KString> labels;
  for (long p = 0; p < parts; ++p) {
    in.enterObject("Part", KPersistName(1, static_cast<int>(p)));
    for (int a = 0; a < kArraysPerPart; ++a) {
      if (in.readReals(arrayName(a), values) != kPerArray) return false;
      for (long i = 0; i < kPerArray; ++i)
        if (values[i] != resultAt(p, a, i)) return false;
    }
    KString last;
    last.Format("N%ld", p * 100 + 99);
    if (in.readStrings("labels", labels) != 100 || labels[99] != last) return false;
    in.leaveObject();
  }
  bool after = in.readInt("after", 0) == 5;
  in.leaveObject();
  return after;
}
}  // namespace

// Opening checks as much of a file as the page cache holds; the rest is
// checked as the reader goes through it, so that a read in file order
// inflates every page once, whatever the size, in bounded memory.
TEST(KPersistanceLarge, AReadInFileOrderInflatesEachPageOnce) {
  KScratchFolder dir("large");
  struct FCase {
    bool text;
    long parts;
    long pages;
  };
  for (FCase c : {FCase{true, 10, 73}, FCase{true, 100, 718}, FCase{false, 29, 73}, FCase{false, 281, 718}}) {
    std::string path = dir.file(c.text ? "results.txt" : "results.bin");
    writeResults(c.text, path, c.parts);
    auto in = open(c.text, path, false);
    KHeapResetPeak();
    const size_t start = KHeapLiveBytes();
    ASSERT_TRUE(readResults(*in, c.parts)) << c.text << " " << c.parts;
    // The page cache, one read block of compressed bytes, the value arrays
    // and the index of the parts.
    EXPECT_LT(KHeapPeakBytes() - start,
              21u * sizeof(KCompressedFile::FCachedPage) + KCompressedFile::kReadBlock + 512u * 1024)
        << c.text << " " << c.parts;
    // Every page but the last is full.
    const long pages = static_cast<long>((in->getLogicalSize() + KCompressedFile::kPageSize - 1) /
                                         KCompressedFile::kPageSize);
    EXPECT_GE(pages, c.pages);
    EXPECT_EQ(in->getInflatedPageCount(), pages) << c.text << " " << c.parts;
  }
}
