// Headers of earlier writers: binary headers of 7 to 12 numbers (32-bit)
// and of 14 numbers (64-bit), text headers of fewer than 14 numbers. The
// hand-built files and the fields a reader must find in them are in
// tests/data/persistence (make_golden.py, headers.txt).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "storage/objectfile/KPersistTestSupport.h"

namespace {
std::unique_ptr<KImplPersistance> reader(const std::string& form, const std::string& path) {
  if (form == "text") return std::make_unique<KTextPersistance>(path.c_str(), false);
  return std::make_unique<KBinaryPersistance>(path.c_str(), false);
}
}  // namespace

TEST(KPersistanceOldHeaders, ShortHeadersReadTheirFieldsAndTheRestIsZero) {
  std::ifstream table(kGoldenPath("headers.txt"));
  ASSERT_TRUE(table) << kGoldenPath("headers.txt");
  std::string line;
  int files = 0;
  while (std::getline(table, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream in(line);
    std::string name, form;
    int expected[kHeaderFields];
    in >> name >> form;
    for (int& v : expected) in >> v;
    ASSERT_TRUE(in) << line;
    ++files;
    const std::string path = kGoldenPath(name.c_str());

    // Both ways of opening: the full reader and the header alone.
    auto full = reader(form, path);
    full->open();
    auto header = reader(form, path);
    header->openForListing(KImplPersistance::kHeaderOnly);
    for (int f = 0; f < kHeaderFields; ++f) {
      EXPECT_EQ(full->getHeaderField(f), expected[f]) << name << " field " << f;
      EXPECT_EQ(header->getHeaderField(f), expected[f]) << name << " field " << f;
    }
    // Files older than version 39 (a header without a version is such a
    // file) carry 32-bit record numbers.
    EXPECT_EQ(full->hasOldIntegers(), expected[kHdrVersion] < KImplPersistance::kFirstWideVersion) << name;
    EXPECT_EQ(full->getApplication(), expected[kHdrApplication]) << name;
    EXPECT_EQ(full->getMode(), 0) << name;

    full->enterObject("Model", "m1");
    KHSimpleArray<int> v;
    ASSERT_EQ(full->readInts("v", v), 2) << name;
    EXPECT_EQ(v[0], 5);
    EXPECT_EQ(v[1], -6);
    EXPECT_EQ(full->readReal("r", 0.0), 1.5) << name;
  }
  EXPECT_EQ(files, 12);
}
