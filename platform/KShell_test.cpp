#include "platform/KShell.h"

#include "platform/KRegistry.h"
#include "tests/support/KScratchFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {
const char* kProduct = "{AAAAAAAA-0000-0000-0000-000000000001}";

void record(const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  std::string path = std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kProduct;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
  RegCloseKey(key);
}
}  // namespace

TEST(KShellTest, BroadcastReachesObserversInOrderUntilRemoved) {
  std::vector<std::string> heard;
  int first = KAddSettingChangeObserver([&](UINT, WPARAM, const char* area) { heard.push_back(std::string("1") + area); });
  int second = KAddSettingChangeObserver([&](UINT, WPARAM, const char* area) { heard.push_back(std::string("2") + area); });
  DWORD_PTR result = 9;
  EXPECT_NE(SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Environment"),
                                SMTO_ABORTIFHUNG, 50, &result), 0);
  EXPECT_EQ(result, 0u);
  EXPECT_EQ(heard, (std::vector<std::string>{"1Environment", "2Environment"}));
  EXPECT_TRUE(KRemoveSettingChangeObserver(first));
  EXPECT_FALSE(KRemoveSettingChangeObserver(first));
  heard.clear();
  EXPECT_EQ(SendMessageTimeoutA(nullptr, WM_SETTINGCHANGE, 0, 0, 0, 50, &result), 0);
  SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Policy"), 0, 50, nullptr);
  EXPECT_EQ(heard, (std::vector<std::string>{"2Policy"}));
  KRemoveSettingChangeObserver(second);
}

TEST(KShellTest, ProductPropertyAnswersAndShortBuffer) {
  const char location[] = "/opt/quelm";
  record("InstallLocation", REG_SZ, location, sizeof location);
  DWORD version = 0x15010323;
  record("Version", REG_DWORD, &version, sizeof version);
  const char display[] = "21.1.803";
  record("DisplayVersion", REG_SZ, display, sizeof display);

  char buf[64];
  DWORD len = sizeof buf;
  ASSERT_EQ(MsiGetProductInfoA(kProduct, "InstallLocation", buf, &len), static_cast<UINT>(ERROR_SUCCESS));
  EXPECT_STREQ(buf, location);
  EXPECT_EQ(len, strlen(location));
  len = sizeof buf;
  ASSERT_EQ(MsiGetProductInfoA(kProduct, "Version", buf, &len), static_cast<UINT>(ERROR_SUCCESS));
  EXPECT_STREQ(buf, "352387875");
  len = sizeof buf;
  ASSERT_EQ(MsiGetProductInfoA(kProduct, "VersionString", buf, &len), static_cast<UINT>(ERROR_SUCCESS));
  EXPECT_STREQ(buf, display);

  char small[4] = "xyz";
  len = sizeof small;
  EXPECT_EQ(MsiGetProductInfoA(kProduct, "InstallLocation", small, &len), static_cast<UINT>(ERROR_MORE_DATA));
  EXPECT_EQ(len, strlen(location));
  EXPECT_STREQ(small, "xyz");
  len = static_cast<DWORD>(strlen(location));  // no room for the terminator
  EXPECT_EQ(MsiGetProductInfoA(kProduct, "InstallLocation", buf, &len), static_cast<UINT>(ERROR_MORE_DATA));
}

TEST(KShellTest, ProductPropertyFailures) {
  char buf[16];
  DWORD len = sizeof buf;
  EXPECT_EQ(MsiGetProductInfoA("{00000000-0000-0000-0000-00000000FFFF}", "InstallLocation", buf, &len),
            static_cast<UINT>(ERROR_UNKNOWN_PRODUCT));
  const char date[] = "20240101";
  record("InstallDate", REG_SZ, date, sizeof date);
  EXPECT_EQ(MsiGetProductInfoA(kProduct, "NoSuchProperty", buf, &len), static_cast<UINT>(ERROR_UNKNOWN_PROPERTY));
  EXPECT_EQ(MsiGetProductInfoA(kProduct, "HelpLink", buf, &len), static_cast<UINT>(ERROR_UNKNOWN_PROPERTY));
  EXPECT_EQ(MsiGetProductInfoA(nullptr, "InstallDate", buf, &len), static_cast<UINT>(ERROR_INVALID_PARAMETER));
}

TEST(KShellTest, RunAsNeedsPkexecAndTheRunasVerb) {
  std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
  KScratchFolder scratch("shell");
  const std::string dir = scratch.path();
  ASSERT_FALSE(dir.empty());
  setenv("PATH", dir.c_str(), 1);
  SHELLEXECUTEINFOA info;
  info.lpVerb = "runas";
  info.lpFile = "/usr/bin/true";
  EXPECT_FALSE(ShellExecuteExA(&info));
  EXPECT_EQ(info.dwError, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  std::string fake = dir + "/pkexec";
  std::ofstream(fake) << "#!/bin/sh\nexit 3\n";
  chmod(fake.c_str(), 0755);
  EXPECT_TRUE(ShellExecuteExA(&info));  // the prompt passed; the program's own exit is its business
  std::ofstream(fake) << "#!/bin/sh\nexit 126\n";
  EXPECT_FALSE(ShellExecuteExA(&info));
  EXPECT_EQ(info.dwError, static_cast<DWORD>(ERROR_CANCELLED));
  info.lpVerb = "open";
  EXPECT_FALSE(ShellExecuteExA(&info));
  EXPECT_EQ(info.dwError, static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  setenv("PATH", oldPath.c_str(), 1);
}
