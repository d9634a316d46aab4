#include "core/system/KEnvironment.h"

#include "platform/KRegistry.h"
#include "platform/KShell.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
class KEnvironmentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_id = KAddSettingChangeObserver([this](UINT message, WPARAM wParam, const char* area) {
      EXPECT_EQ(message, static_cast<UINT>(WM_SETTINGCHANGE));
      EXPECT_EQ(wParam, 0u);
      m_areas.push_back(area ? area : "(null)");
    });
  }
  void TearDown() override { KRemoveSettingChangeObserver(m_id); }

  static DWORD storedType(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, KSYSTEM_ENVIRONMENT_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    DWORD type = 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, nullptr, nullptr);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? type : 0;
  }

  int m_id = 0;
  std::vector<std::string> m_areas;
};
}  // namespace

TEST_F(KEnvironmentTest, SetThenReadAnnouncesEachTime) {
  ASSERT_FALSE(KSetEnvironmentVariable("QUELM_HOME", "/opt/quelm"));
  KString value;
  ASSERT_FALSE(KReadEnvironmentVariable("QUELM_HOME", value));
  EXPECT_STREQ(value, "/opt/quelm");
  EXPECT_EQ(m_areas, (std::vector<std::string>{"Environment", "Environment"}));
  EXPECT_EQ(storedType("QUELM_HOME"), static_cast<DWORD>(REG_SZ));
}

TEST_F(KEnvironmentTest, SetWithoutTypeKeepsExpandableType) {
  ASSERT_FALSE(KSetEnvironmentVariable("QUELM_PATH", "%HOME%/a", REG_EXPAND_SZ));
  ASSERT_FALSE(KSetEnvironmentVariable("QUELM_PATH", "%HOME%/b"));
  EXPECT_EQ(storedType("QUELM_PATH"), static_cast<DWORD>(REG_EXPAND_SZ));
  EXPECT_TRUE(KSetEnvironmentVariable("QUELM_PATH", "x", REG_DWORD));
}

TEST_F(KEnvironmentTest, DeleteAnnouncesAndReportsMissingValue) {
  ASSERT_FALSE(KSetEnvironmentVariable("QUELM_GONE", "1"));
  m_areas.clear();
  EXPECT_FALSE(KDeleteEnvironmentVariable("QUELM_GONE"));
  EXPECT_TRUE(KDeleteEnvironmentVariable("QUELM_GONE"));
  EXPECT_EQ(m_areas.size(), 2u);
  KString value = "unchanged";
  EXPECT_TRUE(KReadEnvironmentVariable("QUELM_GONE", value));
  EXPECT_STREQ(value, "unchanged");
  EXPECT_EQ(m_areas.size(), 2u);
}

TEST_F(KEnvironmentTest, ReadStopsAtStoredBytesWithoutTerminator) {
  ASSERT_FALSE(KSetEnvironmentVariable("QUELM_RAW", "seed"));
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, KSYSTEM_ENVIRONMENT_KEY, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "QUELM_RAW", 0, REG_SZ, reinterpret_cast<const BYTE*>("abcdef"), 3), ERROR_SUCCESS);
  RegCloseKey(key);
  KString value;
  ASSERT_FALSE(KReadEnvironmentVariable("QUELM_RAW", value));
  EXPECT_STREQ(value, "abc");
}
