#include "platform/KFileAttributes.h"

#include "tests/support/KScratchFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

namespace {

TEST(KFileAttributesTest, ReadOnlyMeansNoWritePermissionForAnyone) {
  KScratchFolder folder("attributes");
  const std::string path = folder.file("a.mdl");
  std::ofstream(path) << "x";
  chmod(path.c_str(), 0644);
  EXPECT_EQ(GetFileAttributesA(path.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
  chmod(path.c_str(), 0444);
  EXPECT_EQ(GetFileAttributesA(path.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  chmod(path.c_str(), 0464);  // writable by the group only: not read-only
  EXPECT_EQ(GetFileAttributesA(path.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(GetFileAttributesA(folder.path().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(GetFileAttributesA(folder.file("missing").c_str()), static_cast<DWORD>(INVALID_FILE_ATTRIBUTES));
  EXPECT_EQ(GetFileAttributesA(nullptr), static_cast<DWORD>(INVALID_FILE_ATTRIBUTES));
}

}  // namespace
