// quelmhost dump on a large file, in process under a file system that counts
// the bytes read and a heap that counts the bytes held: the header alone
// reads the header area only, one object is listed from a stream that stops
// after its end record, and the values of a large attribute pass through in
// windows, not whole.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "KHostRun.h"
#include "host/KObjectFileCommands.h"
#include "platform/KFaultFileSystem.h"
#include "platform/KHeap.h"
#include "storage/objectfile/KBinaryPersistance.h"
#include "storage/objectfile/KTextPersistance.h"

namespace {
// Sums the bytes that reads deliver.
class KCountingFileSystem : public KFaultFileSystem {
 public:
  KCountingFileSystem() : KFaultFileSystem(KFileSystem::Default()) {}
  int read(Handle handle, void* buffer, size_t count, size_t& done) override {
    int rc = KFaultFileSystem::read(handle, buffer, count, done);
    m_bytes += done;
    return rc;
  }
  size_t m_bytes = 0;
};

class DumpReadsTest : public testing::Test {
 protected:
  static constexpr long kCount = 4000000;  // 32 MB of reals that hardly compress

  void SetUp() override {
    m_file = m_dir.path() + "/large.bin";
    std::mt19937_64 rng(5);
    std::vector<double> reals(kCount);
    for (double& r : reals) r = static_cast<double>(rng() >> 11) * 0x1.0p-40;
    KBinaryPersistance out(m_file.c_str(), true, 1);
    out.beginObject("First", "a");
    out.writeInt("n", 1);
    out.endObject();
    out.beginObject("Big", "b");
    out.writeR("reals", kCount, reals.data());
    out.endObject();
    out.beginObject("Last", "c");
    out.writeInt("n", 3);
    out.endObject();
    out.Close();
    FILE* f = fopen(m_file.c_str(), "rb");
    ASSERT_TRUE(f);
    fseek(f, 0, SEEK_END);
    m_size = static_cast<size_t>(ftell(f));
    fclose(f);
    ASSERT_GT(m_size, 20u << 20);
    m_previous = KFileSystem::SetCurrent(&m_counter);
  }
  void TearDown() override { KFileSystem::SetCurrent(m_previous); }

  // The listing, with the bytes read for it in m_counter.m_bytes.
  std::string dump(const std::string& path, const KDumpOptions& options) {
    m_counter.m_bytes = 0;
    char* text = nullptr;
    size_t length = 0;
    FILE* out = open_memstream(&text, &length);
    bool found = KDumpObjectFile(path.c_str(), options, out);
    fclose(out);
    std::string listing(text, length);
    free(text);
    EXPECT_TRUE(found);
    return listing;
  }
  static KDumpOptions object(const char* type, const char* name, bool all = false) {
    KDumpOptions o;
    o.hasObject = true;
    o.objectType = KPersistName(type);
    o.objectName = KPersistName(name);
    o.all = all;
    return o;
  }

  KScratchFolder m_dir;
  std::string m_file;
  size_t m_size = 0;
  KCountingFileSystem m_counter;
  KFileSystem* m_previous = nullptr;
};
}  // namespace

TEST_F(DumpReadsTest, HeaderAloneReadsTheHeaderAreaOnly) {
  KDumpOptions header;
  header.headerOnly = true;
  std::string listing = dump(m_file, header);
  EXPECT_NE(listing.find("Form: binary\nVersion: 104\n"), std::string::npos) << listing;
  EXPECT_NE(listing.find("R 4000000"), std::string::npos) << listing;
  EXPECT_LE(m_counter.m_bytes, 1024u);

  // The text form likewise.
  std::string text = m_dir.path() + "/small.txt";
  {
    KTextPersistance out(text.c_str(), true, 1);
    out.beginObject("Small", "s");
    out.writeInt("n", 1);
    out.endObject();
    out.Close();
  }
  listing = dump(text, header);
  EXPECT_NE(listing.find("Form: text\n"), std::string::npos) << listing;
  EXPECT_LE(m_counter.m_bytes, 1024u);
}

TEST_F(DumpReadsTest, OneObjectStopsAfterItsEndRecord) {
  std::string listing = dump(m_file, object("first", "A"));
  EXPECT_EQ(listing, "OBJECT \"First\" \"a\"\n  I \"n\" [1]: 1\nEND\n");
  // The page table (eight bytes a page) and the first page, not the data.
  EXPECT_LT(m_counter.m_bytes, m_size / 20) << m_size;

  listing = dump(m_file, object("Last", "c"));
  EXPECT_EQ(listing, "OBJECT \"Last\" \"c\"\n  I \"n\" [1]: 3\nEND\n");
}

TEST_F(DumpReadsTest, LargeAttributeValuesPassThroughInWindows) {
  KHeapResetPeak();
  const size_t start = KHeapLiveBytes();
  std::string listing = dump(m_file, object("Big", "b", true));
  // A window of values and the page cache, not 32 MB of reals.
  EXPECT_LT(KHeapPeakBytes() - start, 2u << 20);
  const std::string head = "OBJECT \"Big\" \"b\"\n  R \"reals\" [4000000]:";
  ASSERT_EQ(listing.compare(0, head.size(), head), 0) << listing.substr(0, 80);
  ASSERT_EQ(listing.compare(listing.size() - 5, 5, "\nEND\n"), 0);
  // One blank before each value.
  size_t values = 0;
  for (size_t i = head.size(); i < listing.size() - 5; ++i) values += listing[i] == ' ';
  EXPECT_EQ(values, static_cast<size_t>(kCount));

  listing = dump(m_file, object("Big", "b"));
  EXPECT_NE(listing.find(" ... (3999990 more)\nEND\n"), std::string::npos) << listing;
}
