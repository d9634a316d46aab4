#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "storage/objectfile/KObjectFileWalker.h"
#include "storage/objectfile/KPersistTestSupport.h"

namespace {
constexpr double kUndefined = 2.2250738585072014e-308;

template <class P>
void checkGoldenContent(P& p) {
  p.enterObject("Model", "m1");
  KHSimpleArray<LONGLONG> ints;
  ASSERT_EQ(p.readInts64("ints", ints), 31);
  EXPECT_EQ(ints[30], 31);
  KHSimpleArray<double> reals;
  ASSERT_EQ(p.readReals("reals", reals), 3);
  EXPECT_EQ(reals[0], 1.5);
  EXPECT_EQ(reals[1], kUndefined);
  EXPECT_EQ(reals[2], -0.25);
  KHSimpleArray<bool> flags;
  ASSERT_EQ(p.readBools("flags", flags), 3);
  EXPECT_TRUE(flags[0] && !flags[1] && flags[2]);
  KString code;
  EXPECT_EQ(p.readChars("code", code), 3);
  EXPECT_EQ(code, "abc");
  KHSimpleArray<KString> names;
  ASSERT_EQ(p.readStrings("names", names), 2);
  EXPECT_EQ(names[1], "be ta");
  EXPECT_EQ(p.readUInt("u", 0), 7u);
  EXPECT_EQ(p.readLValue("l", 0), 9u);
  p.enterObject("Part", "p1");
  EXPECT_EQ(p.readInt(KPersistName(5, 2), 0), -3);
  p.leaveObject();
  p.leaveObject();
  EXPECT_EQ(p.getApplication(), 7);
  EXPECT_EQ(p.getMode(), 2);
  EXPECT_EQ(p.getVersion(), 104);
}

// The header with the level field (the ninth number after the count) set.
std::string withLevel(std::string header, bool text, int level) {
  if (text) {
    char field[12];
    std::snprintf(field, sizeof field, " %10d", level);
    header.replace(24 + 11 * 9, 11, field);
  } else {
    LONGLONG v = level;
    std::memcpy(header.data() + 4 + 8 * 9, &v, 8);
  }
  return header;
}
}  // namespace

TEST(KPersistanceGolden, WritersProduceTheHandBuiltPlainFiles) {
  KScratchFolder scratch("persist");
  std::string folder = scratch.path();
  {
    KTextPersistance t((folder + "/m.txt").c_str(), true, 0);
    kWriteGoldenModel(t);
    KBinaryPersistance b((folder + "/m.bin").c_str(), true, 0);
    kWriteGoldenModel(b);
  }
  EXPECT_EQ(kReadAll(folder + "/m.txt"), kReadAll(kGoldenPath("model.txt")));
  EXPECT_EQ(kReadAll(folder + "/m.bin"), kReadAll(kGoldenPath("model.bin")));
}

TEST(KPersistanceGolden, CompressedFilesHoldTheSameStreamInPages) {
  KScratchFolder scratch("persist");
  std::string folder = scratch.path();
  for (bool text : {true, false}) {
    std::string path = folder + (text ? "/m.txt" : "/m.bin");
    if (text) {
      KTextPersistance p(path.c_str(), true, 1);
      kWriteGoldenModel(p);
    } else {
      KBinaryPersistance p(path.c_str(), true, 1);
      kWriteGoldenModel(p);
    }
    std::string golden = kReadAll(kGoldenPath(text ? "model.txt" : "model.bin"));
    size_t headerLength = text ? golden.find('\n') + 1 : 4 + 15 * 8;
    std::string file = kReadAll(path);
    EXPECT_EQ(file.substr(0, headerLength), withLevel(golden.substr(0, headerLength), text, 1));
    if (text) {
      EXPECT_EQ(file.substr(headerLength, 200 - headerLength), std::string(200 - headerLength, ' '));
    }
    EXPECT_EQ(kUnpage(file, text), golden.substr(headerLength));
  }
}

TEST(KPersistanceGolden, ReadersReadTheHandBuiltFiles) {
  KTextPersistance t(kGoldenPath("model.txt").c_str(), false);
  checkGoldenContent(t);
  KBinaryPersistance b(kGoldenPath("model.bin").c_str(), false);
  checkGoldenContent(b);
}

TEST(KPersistanceGolden, OldBinaryFileReadsThirtyTwoBitNumbersAndNTags) {
  KBinaryPersistance p(kGoldenPath("old38.bin").c_str(), false);
  p.enterObject("Model", "m1");
  EXPECT_TRUE(p.hasOldIntegers());
  KHSimpleArray<int> v;
  ASSERT_EQ(p.readInts("v", v), 2);
  EXPECT_EQ(v[0], 5);
  EXPECT_EQ(v[1], -6);
}

TEST(KPersistanceGolden, WalkerListsRecordsOfBothForms) {
  for (const char* name : {"model.txt", "model.bin"}) {
    KObjectFileWalker w(kGoldenPath(name).c_str());
    EXPECT_EQ(w.isText(), std::strcmp(name, "model.txt") == 0);
    EXPECT_EQ(w.getHeaderField(kHdrVersion), 104);
    FObjectFileRecord r;
    std::string tags, lastEnd;
    while (w.next(r)) {
      tags += r.m_tag;
      if (r.m_tag == 'S') {
        EXPECT_EQ(w.valueText(0), "alpha");
      }
      if (r.m_tag == 'R') {
        EXPECT_EQ(w.valueText(1), "N/A");
      }
      if (r.m_tag == 'E') lastEnd = r.m_type.m_name.GetString();
    }
    EXPECT_EQ(tags, "OIRBCSULOIEE");
    EXPECT_EQ(lastEnd, "Model");
  }
}

// ---- reading by name -----------------------------------------------------------

class KPersistanceRead : public ::testing::TestWithParam<bool> {
 protected:
  std::unique_ptr<KImplPersistance> open(const std::string& path, bool writing, int level = 1) {
    if (GetParam()) return std::make_unique<KTextPersistance>(path.c_str(), writing, level);
    return std::make_unique<KBinaryPersistance>(path.c_str(), writing, level);
  }
  KScratchFolder m_scratch{"persist"};
  std::string m_path = m_scratch.file("f");
};

TEST_P(KPersistanceRead, EarlierAttributeComesFromTheIndexWithoutScanning) {
  {
    auto w = open(m_path, true);
    w->beginObject("T", "o");
    w->writeInt("a", 1);
    w->writeInt("b", 2);
    w->writeInt("c", 3);
    w->endObject();
    w->Close();
  }
  auto r = open(m_path, false);
  r->enterObject("T", "o");
  EXPECT_EQ(r->readInt("c", 0), 3);
  long scanned = r->getScannedRecords();
  EXPECT_EQ(r->readInt("a", 0), 1);
  EXPECT_EQ(r->readInt("b", 0), 2);
  EXPECT_EQ(r->getScannedRecords(), scanned);
}

TEST_P(KPersistanceRead, MissingAttributeGivesDefaultAndScansOnce) {
  {
    auto w = open(m_path, true);
    w->beginObject("T", "o");
    w->writeInt("a", 1);
    w->beginObject("Child", "c");
    w->writeInt("hidden", 5);
    w->endObject();
    w->writeInt("b", 2);
    w->endObject();
    w->Close();
  }
  auto r = open(m_path, false);
  r->enterObject("T", "o");
  EXPECT_EQ(r->readInt("missing", 42), 42);
  long scanned = r->getScannedRecords();
  EXPECT_EQ(r->readInt("missing", 43), 43);
  EXPECT_EQ(r->readInt("hidden", -1), -1);  // belongs to the child
  EXPECT_EQ(r->readInt("b", 0), 2);
  EXPECT_EQ(r->getScannedRecords(), scanned);
}

TEST_P(KPersistanceRead, SingleValuesClampToTheirBounds) {
  {
    auto w = open(m_path, true);
    w->beginObject("T", "o");
    w->writeInt("big", 1LL << 40);
    w->writeInt("small", -(1LL << 40));
    w->writeInt("pair", 0);
    w->writeReal("x", 5.0);
    w->writeReal("na", kUndefined);
    LONGLONG two[] = {1, 2};
    w->writeI64("two", 2, two);
    w->endObject();
    w->Close();
  }
  auto r = open(m_path, false);
  r->enterObject("T", "o");
  EXPECT_EQ(r->readInt("big", 0, 0, 100), 100);
  EXPECT_EQ(r->readInt("small", 0, 0, 100), 0);
  EXPECT_EQ(r->readInt64("big", 0, 0, 1000), 1000);
  EXPECT_EQ(r->readReal("x", 0, 0, 1), 1.0);
  EXPECT_EQ(r->readReal("na", 0, 0, 1), kUndefined);
  EXPECT_EQ(r->readInt("two", 9), 9);  // not a single value
  EXPECT_EQ(r->readReal("pair", 7.0), 7.0);  // other tag
}

TEST_P(KPersistanceRead, NavigationFindsNamedObjectsAndRefusesMissingOnes) {
  {
    auto w = open(m_path, true);
    w->beginObject("Top", "t");
    w->beginObject("A", "a1");
    w->beginObject("B", "b1");
    w->writeInt("v", 1);
    w->endObject();
    w->endObject();
    w->beginObject("A", "a2");
    w->writeInt("v", 2);
    w->endObject();
    w->endObject();
    w->Close();
  }
  auto r = open(m_path, false);
  r->enterObject("Top", "t");
  EXPECT_TRUE(r->objectExists("A", "A2"));
  EXPECT_FALSE(r->objectExists("B", "b1"));
  EXPECT_THROW(r->enterObject("A", "a3"), CFileException);
  r->enterObject("A", "a1");
  r->enterObject("B", "b1");
  EXPECT_EQ(r->readInt("v", 0), 1);
  EXPECT_THROW(r->leaveObjectsUpTo("X", "x"), CFileException);
  EXPECT_EQ(r->getDepth(), 3);
  r->leaveObjectsUpTo("Top", "t");
  EXPECT_EQ(r->getDepth(), 1);
  r->enterObject("A", "a2");
  EXPECT_EQ(r->readInt("v", 0), 2);
}

TEST_P(KPersistanceRead, HeadersOutsideTheAcceptedSetsAreRefused) {
  std::string bad;
  if (GetParam()) {
    bad = std::string(KImplPersistance::kFormatText);
    for (int i = 0; i < 13; ++i) bad += "          1";  // count 12 and 12 numbers
    bad.replace(24, 11, "         12");
    bad += "\r\n";
  } else {
    int count = 13;
    bad.assign(reinterpret_cast<const char*>(&count), 4);
    bad += std::string(13 * 4, '\0');
  }
  kWriteAll(m_path, bad);
  auto r = open(m_path, false);
  try {
    r->open();
    FAIL() << "accepted";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.m_cause, CFileException::genericException);
    EXPECT_EQ(e.m_lOsError, -1);
    EXPECT_EQ(std::string(e.m_strFileName.GetString()), m_path);
  }
}

TEST_P(KPersistanceRead, NestingBeyondTheFramesIsRefusedOnBothSides) {
  auto w = open(m_path, true);
  for (int i = 0; i < KImplPersistance::kMaxDepth; ++i) w->beginObject("T", "o");
  EXPECT_THROW(w->beginObject("T", "o"), CFileException);
  for (int i = 0; i < KImplPersistance::kMaxDepth; ++i) w->endObject();
  w->Close();
  auto r = open(m_path, false);
  for (int i = 0; i < KImplPersistance::kMaxDepth; ++i) r->enterObject("T", "o");
  EXPECT_EQ(r->getDepth(), KImplPersistance::kMaxDepth);
}

// The index keeps the first record of a name; a second attribute of that
// name under another tag must stay readable however often the reads alternate.
TEST_P(KPersistanceRead, SameNameUnderTwoTagsReadsEachEveryTime) {
  {
    auto w = open(m_path, true);
    w->beginObject("T", "o");
    w->writeInt("x", 4);
    w->beginObject("Child", "c");
    w->writeReal("x", 9.0);
    w->endObject();
    w->writeReal("x", 2.5);
    w->endObject();
    w->Close();
  }
  auto r = open(m_path, false);
  r->enterObject("T", "o");
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(r->readReal("x", -1.0), 2.5) << round;
    EXPECT_EQ(r->readInt("x", -1), 4) << round;
    EXPECT_EQ(r->readReal("x", -1.0), 2.5) << round;
    EXPECT_EQ(r->readUInt("x", 77), 77u) << round;
    EXPECT_EQ(r->readReal("x", -1.0), 2.5) << round;
  }
}

TEST_P(KPersistanceRead, FileWithoutObjectsReadsBack) {
  for (int level : {0, 1}) {
    {
      auto w = open(m_path, true, level);
      w->Close();
    }
    auto r = open(m_path, false);
    r->open();
    EXPECT_EQ(r->getVersion(), 104) << level;
    EXPECT_FALSE(r->objectExists("T", "o")) << level;
    EXPECT_THROW(r->enterObject("T", "o"), CFileException) << level;
  }
}

// Levels run 0..9; pages decode whatever level wrote them, so only the
// header check refuses a 10.
TEST_P(KPersistanceRead, HeaderWithLevelTenIsRefused) {
  {
    auto w = open(m_path, true, 9);
    w->beginObject("T", "o");
    w->writeInt("v", 3);
    w->endObject();
    w->Close();
  }
  const bool text = GetParam();
  const std::string file = kReadAll(m_path);
  const size_t headerLength = text ? file.find('\n') + 1 : 4 + 15 * 8;
  for (int level : {9, 10}) {
    kWriteAll(m_path, withLevel(file.substr(0, headerLength), text, level) + file.substr(headerLength));
    auto r = open(m_path, false);
    if (level == 9) {
      r->enterObject("T", "o");
      EXPECT_EQ(r->readInt("v", 0), 3);
      continue;
    }
    try {
      r->open();
      ADD_FAILURE() << "level 10 accepted";
    } catch (const CFileException& e) {
      EXPECT_EQ(e.m_cause, CFileException::genericException);
      EXPECT_EQ(e.m_lOsError, -1);
    }
  }
}

// A file holds one top-level object, and a reader that enters the top level
// gets it whatever names it asks for; inside it, names must match.
TEST_P(KPersistanceRead, TheTopLevelObjectIsEnteredUnderAnyName) {
  {
    auto w = open(m_path, true);
    w->beginObject("Model", "m1");
    w->writeInt("v", 5);
    w->beginObject("Part", "p1");
    w->endObject();
    w->endObject();
    w->Close();
  }
  auto r = open(m_path, false);
  r->enterObject("Other", "x");
  EXPECT_EQ(r->getDepth(), 1);
  EXPECT_EQ(r->readInt("v", 0), 5);
  EXPECT_THROW(r->enterObject("Other", "x"), CFileException);
  r->enterObject("Part", "p1");
  EXPECT_EQ(r->getDepth(), 2);
}

INSTANTIATE_TEST_SUITE_P(Forms, KPersistanceRead, ::testing::Values(true, false),
                         [](const auto& info) { return std::string(info.param ? "Text" : "Binary"); });

TEST(KPersistanceText, DeepNestingInAHandWrittenFileIsRefused) {
  KScratchFolder scratch("persist");
  std::string path = scratch.file("deep.txt");
  std::string golden = kReadAll(kGoldenPath("model.txt"));
  std::string text = golden.substr(0, golden.find('\n') + 1);
  for (int i = 0; i <= KImplPersistance::kMaxDepth; ++i) text += "OBJECT \"T\",\"o\",0,0,0\r\n";
  for (int i = 0; i <= KImplPersistance::kMaxDepth; ++i) text += "END \"T\",\"o\",0,0,0\r\n";
  kWriteAll(path, text);
  KTextPersistance r(path.c_str(), false);
  EXPECT_THROW(r.open(), CFileException);
}

// The reals record of the hand-built text file with other tokens.
std::string withRealTokens(const std::string& tokens, int count) {
  std::string text = kReadAll(kGoldenPath("model.txt"));
  size_t at = text.find("  R,\"reals\"");
  size_t end = text.find('\n', at) + 1;
  return text.replace(at, end - at, "  R,\"reals\", 0, 0, " + std::to_string(count) + ", " + tokens + "\r\n");
}

TEST(KPersistanceText, RealTokensReadAsStrtodReadsThem) {
  KScratchFolder scratch("persist");
  std::string path = scratch.file("tokens.txt");
  const char* tokens[] = {"+1.5", "0x1p3", "1e400", "-.5", "1.", "5E-1", "-0", "inf", "841.47098480789650666",
                          "2.2250738585072014E-308", "4.9406564584124654418E-324", "1e-400", "007"};
  std::string line;
  for (const char* t : tokens) line += std::string(line.empty() ? "" : " ") + t;
  kWriteAll(path, withRealTokens(line, static_cast<int>(std::size(tokens))));
  KTextPersistance r(path.c_str(), false);
  r.enterObject("Model", "m1");
  KHSimpleArray<double> reals;
  ASSERT_EQ(r.readReals("reals", reals), static_cast<long>(std::size(tokens)));
  for (size_t i = 0; i < std::size(tokens); ++i)
    EXPECT_EQ(std::bit_cast<uint64_t>(reals[static_cast<long>(i)]),
              std::bit_cast<uint64_t>(std::strtod(tokens[i], nullptr))) << tokens[i];
}

TEST(KPersistanceText, MalformedRealTokensAreRefusedOnOpen) {
  KScratchFolder scratch("persist");
  std::string path = scratch.file("badtoken.txt");
  for (const char* bad : {"1.5x", "1e", "--1", "1,5", "N/A2", ".", "-", "1.5e+", "n/a", "1\t2"}) {
    kWriteAll(path, withRealTokens(std::string("1 ") + bad + " 2", 3));
    KTextPersistance r(path.c_str(), false);
    EXPECT_THROW(r.open(), CFileException) << bad;
  }
}

TEST(KPersistanceBinary, AbsurdCountsAreRefusedBeforeAllocation) {
  std::string golden = kReadAll(kGoldenPath("model.bin"));
  KScratchFolder scratch("persist");
  std::string path = scratch.file("absurd.bin");
  size_t record = golden.find("ints") - 25;  // the I record's tag
  ASSERT_EQ(golden[record], 'I');
  for (LONGLONG count : {-1LL, 1LL << 40, 1LL << 28, 32LL}) {
    std::string bad = golden;
    std::memcpy(bad.data() + record + 9, &count, 8);
    kWriteAll(path, bad);
    KBinaryPersistance r(path.c_str(), false);
    EXPECT_THROW(r.open(), CFileException) << count;
  }
  std::string bad = golden;
  bad[record] = 'Q';
  kWriteAll(path, bad);
  KBinaryPersistance r(path.c_str(), false);
  EXPECT_THROW(r.open(), CFileException);
}
