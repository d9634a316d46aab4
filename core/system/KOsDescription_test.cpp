#include "core/system/KOsDescription.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {
std::vector<std::string> splitBars(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0, bar;
  while ((bar = line.find('|', start)) != std::string::npos) {
    fields.push_back(line.substr(start, bar - start));
    start = bar + 1;
  }
  return fields;
}
}  // namespace

TEST(KOsDescriptionTest, VersionRecordsGiveTheirTexts) {
  const char* dataDir = getenv("QUELM_TEST_DATA");
  ASSERT_NE(dataDir, nullptr);
  std::ifstream in(std::string(dataDir) + "/osdescription/records.txt");
  ASSERT_TRUE(in.good());
  std::string line;
  int checked = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    auto f = splitBars(line);
    ASSERT_EQ(f.size(), 11u) << line;
    KOsVersionInfo v;
    v.platformId = static_cast<DWORD>(std::stoul(f[0]));
    v.majorVersion = static_cast<DWORD>(std::stoul(f[1]));
    v.minorVersion = static_cast<DWORD>(std::stoul(f[2]));
    v.buildNumber = static_cast<DWORD>(std::stoul(f[3]));
    v.productType = static_cast<BYTE>(std::stoul(f[4]));
    v.suiteMask = static_cast<WORD>(std::stoul(f[5], nullptr, 16));
    v.processorArchitecture = static_cast<WORD>(std::stoul(f[6]));
    v.productInfo = static_cast<DWORD>(std::stoul(f[7], nullptr, 16));
    v.serverR2 = f[8] == "1";
    v.servicePack = f[9].c_str();
    EXPECT_EQ(std::string(KDescribeOs(&v).GetString()), f[10]) << line;
    ++checked;
  }
  EXPECT_GE(checked, 40);
}

TEST(KOsDescriptionTest, MissingRecordIsUnknown) {
  EXPECT_STREQ(KDescribeOs(nullptr), "Unknown OS (GetVersionEx failed)");
}

TEST(KOsDescriptionTest, LiveTextNamesKernelAndMachine) {
  KOsVersionInfo info;
  ASSERT_TRUE(GetVersionExA(&info));
  KString text = KGetOsDescription();
  EXPECT_GE(text.Find(info.kernelRelease), 0) << text.GetString();
  EXPECT_GE(text.Find(info.machine), 0) << text.GetString();
  EXPECT_GT(info.majorVersion, 0u);
}

TEST(KOsDescriptionTest, DiskFreeSpaceOnlyForPathsUnderADriveRoot) {
  ULONGLONG freeToCaller = 0, total = 0, totalFree = 0;
  ASSERT_FALSE(KGetDiskFreeSpace("/tmp", freeToCaller, total, totalFree));
  EXPECT_GT(total, 0u);
  EXPECT_LE(freeToCaller, totalFree);
  EXPECT_LE(totalFree, total);
  EXPECT_TRUE(KGetDiskFreeSpace("C:\\", freeToCaller, total, totalFree));
  EXPECT_TRUE(KGetDiskFreeSpace("relative/path", freeToCaller, total, totalFree));
  EXPECT_TRUE(KGetDiskFreeSpace("/no/such/folder/here", freeToCaller, total, totalFree));
}
