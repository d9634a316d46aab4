#include "core/application/KApplicationAbstract.h"
#include "core/application/KFlagDefence.h"

#include "platform/KLocale.h"
#include "platform/KProcess.h"
#include "platform/KRegistry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
const char* kProductCode = "{11111111-2222-3333-4444-555555555555}";

// An application with its own registry names, so that each test reads its
// own keys.
class InstalledApp : public KApplicationAbstract {
 public:
  explicit InstalledApp(const char* key) : m_key(key) {}
  KString GetCompanyKeyName() override { return "TestFirm"; }
  KString GetRegistryKeyName() override { return m_key; }
  KString m_key;
};

void writeValue(HKEY root, const std::string& path, const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
  RegCloseKey(key);
}
void writeText(HKEY root, const std::string& path, const char* name, const std::string& text) {
  writeValue(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}
void writeDword(HKEY root, const std::string& path, const char* name, DWORD value) {
  writeValue(root, path, name, REG_DWORD, &value, sizeof value);
}
// Records the product code for `app` and the product's installer record.
void install(const char* app) {
  writeText(HKEY_LOCAL_MACHINE, std::string("Software\\TestFirm\\") + app + "\\file locations", "PRODUCTCODE",
            kProductCode);
}
std::string uninstallKey() {
  return std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kProductCode;
}
}  // namespace

TEST(KApplicationVersionTest, PackedVersionSplitsIntoFieldsAndDevLabel) {
  int major, minor, n, sub;
  KApplicationAbstract::SplitVersion(0x15010323, major, minor, n, sub);
  EXPECT_EQ(major, 21);
  EXPECT_EQ(minor, 1);
  EXPECT_EQ(n, 50);
  EXPECT_EQ(sub, 3);
  int build;
  KApplicationAbstract::SplitPackedVersion(0x15010323, major, minor, build);
  EXPECT_EQ(build, 803);
  EXPECT_STREQ(KApplicationAbstract::VersionLabel(21, 1, 50), "21.1-Dev");
}

TEST(KApplicationVersionTest, LabelsAroundTheAlphaAndBetaBoundaries) {
  EXPECT_STREQ(KApplicationAbstract::VersionLabel(21, 1, 74), "21.1-A24");
  EXPECT_STREQ(KApplicationAbstract::VersionLabel(21, 1, 51), "21.1-A1");
  EXPECT_STREQ(KApplicationAbstract::VersionLabel(21, 1, 75), "21.1-B1");
  EXPECT_STREQ(KApplicationAbstract::VersionLabel(21, 1, 49), "21.1-49");
}

TEST(KApplicationVersionTest, FileVersionIsTheOneCompiledIn) {
  KApplicationAbstract app;
  int major, minor, build, revision, n, sub;
  app.GetFileVersion(major, minor, build, revision, n, sub);
  // The fixed record must agree with the version text compiled beside it.
  char path[4096];
  ASSERT_GT(GetModuleFileNameA(nullptr, path, sizeof path), 0u);
  DWORD handle = 0;
  std::vector<unsigned char> block(GetFileVersionInfoSizeA(path, &handle));
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoA(path, handle, static_cast<DWORD>(block.size()), block.data()));
  void* text = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904b0\\FileVersion", &text, &length));
  int expected[4] = {-1, -1, -1, -1};
  ASSERT_EQ(sscanf(static_cast<const char*>(text), "%d.%d.%d.%d", &expected[0], &expected[1], &expected[2],
                   &expected[3]), 4);
  EXPECT_EQ(major, expected[0]);
  EXPECT_EQ(minor, expected[1]);
  EXPECT_EQ(build, expected[2]);
  EXPECT_EQ(revision, expected[3]);
  EXPECT_EQ(sub, expected[2] & 0xF);
  EXPECT_EQ(n, (expected[2] >> 4) & 0xFF);
  EXPECT_STREQ(app.GetFileVersionText(), static_cast<const char*>(text));
}

TEST(KApplicationInstallTest, InstalledVersionGivesCachedLabel) {
  InstalledApp app("LabelApp");
  install("LabelApp");
  writeDword(HKEY_LOCAL_MACHINE, uninstallKey(), "Version", 0x15010323);
  EXPECT_EQ(app.GetInstalledVersion(), 0x15010323u);
  EXPECT_STREQ(app.GetVersionLabel(), "21.1-Devc3");
  writeDword(HKEY_LOCAL_MACHINE, uninstallKey(), "Version", 0x16020100);
  EXPECT_STREQ(app.GetVersionLabel(), "21.1-Devc3");  // filled once, never refreshed
}

TEST(KApplicationInstallTest, LongPropertyIsReturnedWhole) {
  InstalledApp app("LongApp");
  install("LongApp");
  std::string location = "/opt/" + std::string(700, 'q');
  writeText(HKEY_LOCAL_MACHINE, uninstallKey(), "InstallLocation", location);
  writeText(HKEY_LOCAL_MACHINE, uninstallKey(), "InstallDate", "20240131");
  EXPECT_EQ(std::string(app.GetInstallLocation(0).GetString()), location);
  EXPECT_EQ(std::string(app.GetInstallLocation(KEY_WOW64_32KEY_VIEW).GetString()), location);
  EXPECT_STREQ(app.GetInstallDate(), "20240131");
}

TEST(KApplicationInstallTest, MissingProductCodeOrPropertyGivesEmptyAnswers) {
  InstalledApp none("NoProductApp");
  KString code = "stale";
  EXPECT_TRUE(none.GetProductCode(code, 0));
  EXPECT_TRUE(code.IsEmpty());
  EXPECT_TRUE(none.GetInstallLocation(0).IsEmpty());
  EXPECT_EQ(none.GetInstalledVersion(), 0u);

  InstalledApp bare("BareApp");
  writeText(HKEY_LOCAL_MACHINE, "Software\\TestFirm\\BareApp\\file locations", "PRODUCTCODE",
            "{99999999-0000-0000-0000-000000000000}");
  EXPECT_FALSE(bare.GetProductCode(code, KEY_WOW64_64KEY_VIEW));
  EXPECT_STREQ(code, "{99999999-0000-0000-0000-000000000000}");
  EXPECT_TRUE(bare.GetInstallDate().IsEmpty());
}

TEST(KApplicationInstallTest, OverlongProductCodeIsNotRead) {
  InstalledApp app("LongCodeApp");
  writeText(HKEY_LOCAL_MACHINE, "Software\\TestFirm\\LongCodeApp\\file locations", "PRODUCTCODE",
            std::string(60, 'x'));
  KString code;
  EXPECT_TRUE(app.GetProductCode(code, 0));
}

TEST(KApplicationInstallTest, UILanguageFallsBackToLocaleDefaults) {
  InstalledApp app("LanguageApp");
  EXPECT_EQ(app.GetUILanguage(true), GetSystemDefaultLCID());
  EXPECT_EQ(app.GetUILanguage(false), GetUserDefaultLCID());
  const std::string path = "Software\\TestFirm\\LanguageApp\\File locations";
  writeDword(HKEY_CURRENT_USER, path, "UILanguage", 0);
  EXPECT_EQ(app.GetUILanguage(true), GetSystemDefaultLCID());
  writeDword(HKEY_CURRENT_USER, path, "UILanguage", 0xFFFFFFFF);
  EXPECT_EQ(app.GetUILanguage(false), GetUserDefaultLCID());
  writeText(HKEY_CURRENT_USER, path, "UILanguage", "2052");
  EXPECT_EQ(app.GetUILanguage(true), GetSystemDefaultLCID());
  writeDword(HKEY_CURRENT_USER, path, "UILanguage", 2052);
  EXPECT_EQ(app.GetUILanguage(true), 2052u);
}

TEST(KFlagDefenceTest, RestoresOnlyWhatItChanged) {
  bool set = true;
  { KFlagDefence guard(set, true); }
  EXPECT_TRUE(set);
  bool clear = false;
  {
    KFlagDefence guard(clear, true);
    EXPECT_TRUE(clear);
  }
  EXPECT_FALSE(clear);
  bool cleared = false;
  {
    KFlagDefence guard(cleared, true);
    cleared = false;
  }
  EXPECT_FALSE(cleared);
  bool released = false;
  {
    KFlagDefence guard(released, true);
    guard.release();
  }
  EXPECT_TRUE(released);
}

TEST(KFlagDefenceTest, RestoresWhenAnExceptionLeavesTheBlock) {
  bool flag = false;
  try {
    KFlagDefence guard(flag, true);
    throw std::runtime_error("leave");
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(flag);
}

TEST(KApplicationInstallTest, UnreadableRegistryStoreGoesToTraceOutput) {
  struct TracingApp : InstalledApp {
    TracingApp() : InstalledApp("TraceApp") {}
    void OutputLine(const KString& text) override { lines += text.GetString(); }
    std::string lines;
  } app;
  KApplicationAbstract* previous = KSetApplication(&app);
  KString store = KRegistryStorePath(HKEY_CURRENT_USER);
  ASSERT_FALSE(store.IsEmpty());
  FILE* f = fopen(store, "w");
  ASSERT_NE(f, nullptr);
  fputs("this is not a registry file\n", f);
  fclose(f);
  HKEY key = nullptr;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_SUCCESS);
  remove(store);
  KSetApplication(previous);
  EXPECT_NE(app.lines.find("line 1"), std::string::npos) << app.lines;
}
