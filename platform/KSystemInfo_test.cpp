#include "platform/KSystemInfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

TEST(KSystemInfoTest, RootIsTheOnlyDrive) {
  char buf[16];
  memset(buf, 'x', sizeof buf);
  EXPECT_EQ(GetLogicalDriveStringsA(sizeof buf, buf), 2u);
  EXPECT_EQ(std::string(buf, 3), std::string("/\0\0", 3));
  char tiny[2] = {'x', 'x'};
  EXPECT_EQ(GetLogicalDriveStringsA(sizeof tiny, tiny), 3u);
  EXPECT_EQ(tiny[0], 'x');
  EXPECT_EQ(GetDriveTypeA("/no/such/place"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
  EXPECT_NE(GetDriveTypeA("/"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
}

TEST(KSystemInfoTest, FreeSpaceIsConsistent) {
  ULONGLONG avail = 0, total = 0, free = 0;
  ASSERT_TRUE(GetDiskFreeSpaceExA("/", &avail, &total, &free));
  EXPECT_GT(total, 0u);
  EXPECT_LE(avail, free);
  EXPECT_LE(free, total);
  EXPECT_TRUE(GetDiskFreeSpaceExA("/", nullptr, &total, nullptr));
  EXPECT_FALSE(GetDiskFreeSpaceExA("/no/such/place", &avail, &total, &free));
}

TEST(KSystemInfoTest, TempPathFollowsTmpdirWithTrailingSlash) {
  const char* old = getenv("TMPDIR");
  std::string saved = old ? old : "";
  setenv("TMPDIR", "/var/tmp", 1);
  char buf[64];
  EXPECT_EQ(GetTempPathA(sizeof buf, buf), 9u);
  EXPECT_STREQ(buf, "/var/tmp/");
  char small[4];
  EXPECT_EQ(GetTempPathA(sizeof small, small), 10u);
  unsetenv("TMPDIR");
  EXPECT_EQ(GetTempPathA(sizeof buf, buf), 5u);
  EXPECT_STREQ(buf, "/tmp/");
  if (old) setenv("TMPDIR", saved.c_str(), 1);
}

TEST(KSystemInfoTest, UniqueTempNameAvoidsExistingFiles) {
  KString a = KUniqueTempName("/tmp", "quelm_unique_");
  ASSERT_FALSE(a.IsEmpty());
  EXPECT_EQ(a.Find("/tmp/quelm_unique_"), 0);
  std::ofstream(a.GetString()) << "x";
  KString b = KUniqueTempName("/tmp/", "quelm_unique_");
  EXPECT_NE(a, b);
  remove(a);
  EXPECT_TRUE(KUniqueTempName("", "q").Find("/") == 0);
}

TEST(KSystemInfoTest, VersionRecordDescribesThisKernel) {
  KOsVersionInfo info;
  ASSERT_TRUE(GetVersionExA(&info));
  EXPECT_EQ(info.platformId, static_cast<DWORD>(VER_PLATFORM_POSIX));
  EXPECT_FALSE(info.kernelRelease.IsEmpty());
  EXPECT_FALSE(info.machine.IsEmpty());
  unsigned major = 0;
  sscanf(info.kernelRelease, "%u", &major);
  EXPECT_EQ(info.majorVersion, major);
  EXPECT_FALSE(GetVersionExA(nullptr));
}

TEST(KSystemInfoTest, LocalTimeRejectsNullArguments) {
  struct tm out {};
  __time64_t t = 0;
  EXPECT_EQ(_localtime64_s(&out, &t), 0);
  EXPECT_NE(_localtime64_s(nullptr, &t), 0);
  EXPECT_NE(_localtime64_s(&out, nullptr), 0);
}
