#include "platform/KProcess.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {
std::string selfExe() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}
}  // namespace

TEST(KProcessTest, ModuleFileNameOfProgramAndTruncation) {
  char path[4096];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  ASSERT_GT(n, 0u);
  EXPECT_EQ(std::string(path, n), selfExe());
  char small[5];
  EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 5u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(strlen(small), 4u);
  EXPECT_EQ(std::string(small), selfExe().substr(0, 4));
}

TEST(KProcessTest, ModuleHandleOfLibraryCodeNamesTheLibrary) {
  HMODULE libc = GetModuleHandleOfAddress(reinterpret_cast<const void*>(&getpid));
  ASSERT_NE(libc, nullptr);
  char path[4096];
  ASSERT_GT(GetModuleFileNameA(libc, path, sizeof path), 0u);
  EXPECT_NE(std::string(path).find(".so"), std::string::npos) << path;
  EXPECT_NE(std::string(path), selfExe());
  int local = 0;
  EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(&local), path, sizeof path), 0u);
}

TEST(KProcessTest, VersionRecordOnlyForTheRunningProgram) {
  std::string self = selfExe();
  DWORD handle = 1;
  DWORD size = GetFileVersionInfoSizeA(self.c_str(), &handle);
  ASSERT_GE(size, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(handle, 0u);
  std::vector<unsigned char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(self.c_str(), 0, size, block.data()));
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  auto* fixed = static_cast<VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  void* text = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904b0\\FileVersion", &text, &length));
  unsigned a = 0, b = 0, c = 0, d = 0;
  ASSERT_EQ(sscanf(static_cast<char*>(text), "%u.%u.%u.%u", &a, &b, &c, &d), 4);
  EXPECT_EQ(fixed->dwFileVersionMS, a << 16 | b);
  EXPECT_EQ(fixed->dwFileVersionLS, c << 16 | d);
  EXPECT_FALSE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));

  EXPECT_EQ(GetFileVersionInfoSizeA("/bin/sh", &handle), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
  EXPECT_FALSE(GetFileVersionInfoA("/bin/sh", 0, size, block.data()));
  EXPECT_EQ(GetFileVersionInfoSizeA("/no/such/file", &handle), 0u);
}

TEST(KProcessTest, GuidsAreRandomVersion4) {
  std::set<std::string> seen;
  for (int i = 0; i < 100; ++i) {
    GUID g;
    ASSERT_EQ(CoCreateGuid(&g), S_OK);
    EXPECT_EQ(g.Data3 >> 12, 4);
    EXPECT_EQ(g.Data4[0] & 0xC0, 0x80);
    seen.insert(std::string(reinterpret_cast<const char*>(&g), sizeof g));
  }
  EXPECT_EQ(seen.size(), 100u);
  EXPECT_EQ(CoCreateGuid(nullptr), E_FAIL);
}

TEST(KProcessTest, ProcessListHoldsThisProcessAndReportsAFullBuffer) {
  std::vector<DWORD> ids(4096);
  DWORD bytes = 0;
  ASSERT_TRUE(EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes));
  ids.resize(bytes / sizeof(DWORD));
  EXPECT_NE(std::find(ids.begin(), ids.end(), static_cast<DWORD>(getpid())), ids.end());
  DWORD one[1];
  ASSERT_TRUE(EnumProcesses(one, sizeof one, &bytes));
  EXPECT_EQ(bytes, sizeof one);  // full: the caller must ask again with more room
}

TEST(KProcessTest, ModulesOfThisProcessStartWithItsProgram) {
  HANDLE self = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, static_cast<DWORD>(getpid()));
  ASSERT_NE(self, nullptr);
  DWORD needed = 0;
  ASSERT_TRUE(EnumProcessModules(self, nullptr, 0, &needed));
  ASSERT_GE(needed, 2 * sizeof(HMODULE));
  std::vector<HMODULE> modules(needed / sizeof(HMODULE));
  ASSERT_TRUE(EnumProcessModules(self, modules.data(), needed, &needed));
  char path[4096];
  ASSERT_GT(GetModuleFileNameExA(self, modules[0], path, sizeof path), 0u);
  EXPECT_EQ(std::string(path), selfExe());
  ASSERT_GT(GetModuleFileNameExA(self, nullptr, path, sizeof path), 0u);
  EXPECT_EQ(std::string(path), selfExe());
  ASSERT_GT(GetModuleFileNameExA(self, modules[1], path, sizeof path), 0u);
  EXPECT_NE(std::string(path).find(".so"), std::string::npos);
  EXPECT_EQ(GetModuleFileNameExA(self, reinterpret_cast<HMODULE>(1), path, sizeof path), 0u);
  CloseProcessHandle(self);
  EXPECT_EQ(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, 0), nullptr);
}

TEST(KProcessTest, NoProcessRunsUnderEmulation) {
  BOOL wow64 = TRUE;
  ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
  EXPECT_FALSE(wow64);
  EXPECT_FALSE(IsWow64Process(GetCurrentProcess(), nullptr));
}
