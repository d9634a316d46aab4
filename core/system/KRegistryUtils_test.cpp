#include "core/system/KRegistryUtils.h"

#include "core/application/KApplicationAbstract.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
class NamedApp : public KApplicationAbstract {
 public:
  KString GetCompanyKeyName() override { return "TestFirm"; }
  KString GetRegistryKeyName() override { return m_key; }
  KString m_key = "RegUtilsApp";
};

class KRegistryUtilsTest : public ::testing::Test {
 protected:
  void SetUp() override { m_previous = KSetApplication(&m_app); }
  void TearDown() override { KSetApplication(m_previous); }
  NamedApp m_app;
  KApplicationAbstract* m_previous = nullptr;
};
}  // namespace

TEST_F(KRegistryUtilsTest, AppPathJoinsCompanyApplicationAndSubkey) {
  EXPECT_STREQ(KAppRegistryPath(), "Software\\TestFirm\\RegUtilsApp");
  EXPECT_STREQ(KAppRegistryPath("Window"), "Software\\TestFirm\\RegUtilsApp\\Window");
}

TEST_F(KRegistryUtilsTest, DwordWrittenUnderUserRootReadsBackFromAppPath) {
  ASSERT_FALSE(KWriteRegistryDword(HKEY_CURRENT_USER, "Counts", "Answer", 42));
  EXPECT_EQ(KReadRegistryDword(HKEY_CURRENT_USER, KAppRegistryPath("Counts"), "Answer", 7), 42u);
}

TEST_F(KRegistryUtilsTest, OtherRootWritesUnderCompanyKeyOnly) {
  ASSERT_FALSE(KWriteRegistryDword(HKEY_LOCAL_MACHINE, "Shared", "Level", 3));
  EXPECT_EQ(KReadRegistryDword(HKEY_LOCAL_MACHINE, "Software\\TestFirm\\Shared", "Level", 0), 3u);
}

TEST_F(KRegistryUtilsTest, DwordReadGivesDefaultForMissingOrWrongType) {
  const char text[] = "12";
  ASSERT_FALSE(KWriteRegistryValue(HKEY_CURRENT_USER, "Types", "AsText", REG_SZ, text, sizeof text));
  EXPECT_EQ(KReadRegistryDword(HKEY_CURRENT_USER, KAppRegistryPath("Types"), "AsText", 99), 99u);
  EXPECT_EQ(KReadRegistryDword(HKEY_CURRENT_USER, KAppRegistryPath("Types"), "Missing", 5), 5u);
  EXPECT_EQ(KReadRegistryDword(HKEY_CURRENT_USER, "Software\\No\\Such\\Key", "X", 6), 6u);
  const unsigned long long wide = 77;
  ASSERT_FALSE(KWriteRegistryValue(HKEY_CURRENT_USER, "Types", "AsQword", REG_QWORD, &wide, sizeof wide));
  EXPECT_EQ(KReadRegistryDword(HKEY_CURRENT_USER, KAppRegistryPath("Types"), "AsQword", 8), 8u);
}

TEST_F(KRegistryUtilsTest, BoundedIntegerClampsPresentValuesOnly) {
  ASSERT_FALSE(KWriteRegistryDword(HKEY_CURRENT_USER, "Place", "Big", 5000));
  ASSERT_FALSE(KWriteRegistryDword(HKEY_CURRENT_USER, "Place", "Small", static_cast<DWORD>(-50)));
  ASSERT_FALSE(KWriteRegistryDword(HKEY_CURRENT_USER, "Place", "Inside", 30));
  EXPECT_EQ(KReadBoundedInteger("Place", "Big", -1, 0, 100), 100);
  EXPECT_EQ(KReadBoundedInteger("Place", "Small", -1, 0, 100), 0);
  EXPECT_EQ(KReadBoundedInteger("Place", "Inside", -1, 0, 100), 30);
  // Absent: the default even though it lies outside the bounds.
  EXPECT_EQ(KReadBoundedInteger("Place", "Absent", -1, 0, 100), -1);
}

TEST_F(KRegistryUtilsTest, AppUserKeyOpensOnlyWhenEveryLevelExists) {
  m_app.m_key = "FreshApp";
  EXPECT_EQ(KOpenAppUserKey(), nullptr);
  ASSERT_FALSE(KWriteRegistryDword(HKEY_CURRENT_USER, nullptr, "Made", 1));
  HKEY key = KOpenAppUserKey();
  ASSERT_NE(key, nullptr);
  DWORD type = 0, value = 0, size = sizeof value;
  EXPECT_EQ(RegQueryValueExA(key, "Made", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
  EXPECT_EQ(value, 1u);
  RegCloseKey(key);
}
