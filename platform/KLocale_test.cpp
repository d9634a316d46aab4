#include "platform/KLocale.h"

#include "platform/KLastError.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

namespace {

// Sets the locale variables for one test and puts the old ones back.
class LocaleEnv {
 public:
  LocaleEnv(const char* all, const char* messages, const char* numeric, const char* lang) {
    const char* values[] = {all, messages, numeric, lang};
    for (int i = 0; i < 4; ++i) {
      const char* old = getenv(kNames[i]);
      m_had[i] = old != nullptr;
      m_old[i] = old ? old : "";
      if (values[i]) setenv(kNames[i], values[i], 1);
      else unsetenv(kNames[i]);
    }
  }
  ~LocaleEnv() {
    for (int i = 0; i < 4; ++i) {
      if (m_had[i]) setenv(kNames[i], m_old[i].c_str(), 1);
      else unsetenv(kNames[i]);
    }
  }

 private:
  static constexpr const char* kNames[4] = {"LC_ALL", "LC_MESSAGES", "LC_NUMERIC", "LANG"};
  bool m_had[4];
  std::string m_old[4];
};

int cmp(const char* a, const char* b, DWORD flags = NORM_IGNORECASE) {
  return CompareStringA(LOCALE_USER_DEFAULT, flags, a, -1, b, -1);
}

}  // namespace

TEST(KLocaleTest, LocaleNamesMapToIdentifiers) {
  EXPECT_EQ(KLocaleNameToLCID("zh_CN.UTF-8"), 2052u);
  EXPECT_EQ(KLocaleNameToLCID("zh_CN.GB18030@stroke"), 2052u);
  EXPECT_EQ(KLocaleNameToLCID("en_US.UTF-8"), 1033u);
  EXPECT_EQ(KLocaleNameToLCID("de_DE"), 1031u);
  EXPECT_EQ(KLocaleNameToLCID("fr_FR.utf8"), 1036u);
  EXPECT_EQ(KLocaleNameToLCID("ja_JP.eucJP"), 1041u);
  EXPECT_EQ(KLocaleNameToLCID("de_AT.UTF-8"), 1031u);  // language alone when the territory is unknown
  EXPECT_EQ(KLocaleNameToLCID("en_GB"), 2057u);
  for (const char* neutral : {"C", "POSIX", "C.UTF-8", "", "xx_YY", "deu"}) EXPECT_EQ(KLocaleNameToLCID(neutral), 1033u);
  EXPECT_EQ(KLocaleNameToLCID(nullptr), 1033u);
}

TEST(KLocaleTest, UserDefaultFollowsAllThenMessagesThenLang) {
  {
    LocaleEnv env(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(GetUserDefaultLCID(), 1033u);
    EXPECT_EQ(GetSystemDefaultLCID(), 1033u);
  }
  {
    LocaleEnv env(nullptr, "ja_JP.UTF-8", nullptr, "de_DE.UTF-8");
    EXPECT_EQ(GetUserDefaultLCID(), 1041u);
    EXPECT_EQ(GetSystemDefaultLCID(), 1031u);
  }
  {
    LocaleEnv env("zh_CN.UTF-8", "ja_JP.UTF-8", nullptr, "fr_FR");
    EXPECT_EQ(GetUserDefaultLCID(), 2052u);
  }
  {
    LocaleEnv env("", "", nullptr, "fr_FR");  // empty variables count as unset
    EXPECT_EQ(GetUserDefaultLCID(), 1036u);
  }
}

TEST(KLocaleTest, ThreadLocaleStartsAtUserDefaultAndIsPerThread) {
  LocaleEnv env(nullptr, nullptr, nullptr, "de_DE.UTF-8");
  LCID other = 0, afterSet = 0;
  std::thread t([&] {
    other = GetThreadLocale();
    SetThreadLocale(2052);
    afterSet = GetThreadLocale();
  });
  t.join();
  EXPECT_EQ(other, 1031u);
  EXPECT_EQ(afterSet, 2052u);
  std::thread u([&] {
    EXPECT_TRUE(SetThreadLocale(LOCALE_SYSTEM_DEFAULT));
    EXPECT_EQ(GetThreadLocale(), 1031u);
    EXPECT_FALSE(SetThreadLocale(0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(SetThreadLocale(0x10000));
    EXPECT_EQ(GetThreadLocale(), 1031u);
  });
  u.join();
}

TEST(KLocaleTest, CompareIgnoringCaseFoldsAsciiLettersOnly) {
  EXPECT_EQ(cmp("Alpha", "aLPHA"), CSTR_EQUAL);
  EXPECT_EQ(cmp("alpha", "Beta"), CSTR_LESS_THAN);
  EXPECT_EQ(cmp("Beta", "alpha"), CSTR_GREATER_THAN);
  EXPECT_EQ(cmp("a_b", "aBc"), CSTR_LESS_THAN);  // '_' sorts before letters once folded
  EXPECT_EQ(cmp("abc", "ab"), CSTR_GREATER_THAN);
  EXPECT_EQ(cmp("", ""), CSTR_EQUAL);
  EXPECT_EQ(cmp("\xC3\x89", "\xC3\xA9"), CSTR_LESS_THAN);  // non-ASCII bytes keep their case
  EXPECT_EQ(cmp("z", "\x80"), CSTR_LESS_THAN);               // bytes compare unsigned
  EXPECT_EQ(cmp("B", "a", 0), CSTR_LESS_THAN);               // case-sensitive: plain byte order
  EXPECT_EQ(cmp("B", "a", SORT_STRINGSORT), CSTR_LESS_THAN);
}

TEST(KLocaleTest, CompareHonoursExplicitLengths) {
  EXPECT_EQ(CompareStringA(1033, NORM_IGNORECASE, "abcX", 3, "ABCy", 3), CSTR_EQUAL);
  EXPECT_EQ(CompareStringA(1033, 0, "ab", 2, "abc", -1), CSTR_LESS_THAN);
  EXPECT_EQ(CompareStringA(1033, 0, "a\0b", 3, "a\0c", 3), CSTR_LESS_THAN);  // zero bytes inside counts compare
  EXPECT_EQ(CompareStringA(1033, 0, "x", 0, "", -1), CSTR_EQUAL);
  EXPECT_EQ(CompareStringA(1033, 0, "x", -5, "x", -1), CSTR_EQUAL);  // any negative length means zero-terminated
}

TEST(KLocaleTest, CompareFailsOnNullTextOrUnknownFlags) {
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(CompareStringA(1033, NORM_IGNORECASE, nullptr, -1, "a", -1), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(CompareStringA(1033, NORM_IGNORECASE, "a", -1, nullptr, 0), 0);
  EXPECT_EQ(CompareStringA(1033, 0x10, "a", -1, "a", -1), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FLAGS));
}

TEST(KLocaleTest, DecimalPointAndListSeparatorFollowTheNumericLocale) {
  {
    LocaleEnv env(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(KUserDecimalPoint(), ".");
    EXPECT_EQ(KUserListSeparator(), ",");
    EXPECT_EQ(KUserDecimalChar(), '.');
  }
  {
    LocaleEnv env(nullptr, nullptr, "de_DE.UTF-8", "en_US.UTF-8");
    EXPECT_EQ(KUserDecimalPoint(), ",");
    EXPECT_EQ(KUserListSeparator(), ";");
    EXPECT_EQ(KUserDecimalChar(), ',');  // the cache follows the new name
    char buf[4];
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, sizeof buf), 2);
    EXPECT_STREQ(buf, ",");
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SLIST, buf, sizeof buf), 2);
    EXPECT_STREQ(buf, ";");
    EXPECT_EQ(GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_SDECIMAL, buf, sizeof buf), 2);
    EXPECT_STREQ(buf, ".");
  }
  {
    LocaleEnv env("C", nullptr, "de_DE.UTF-8", nullptr);  // LC_ALL overrides LC_NUMERIC
    EXPECT_EQ(KUserDecimalPoint(), ".");
    EXPECT_EQ(KUserDecimalChar(), '.');
  }
}

TEST(KLocaleTest, LocaleInfoChecksBuffersAndKinds) {
  char buf[2];
  EXPECT_EQ(GetLocaleInfoA(1031, LOCALE_SDECIMAL, nullptr, 0), 2);
  EXPECT_EQ(GetLocaleInfoA(1031, LOCALE_SDECIMAL, buf, 2), 2);
  EXPECT_STREQ(buf, ",");
  EXPECT_EQ(GetLocaleInfoA(1033, LOCALE_SLIST, buf, 2), 2);
  EXPECT_STREQ(buf, ",");
  EXPECT_EQ(GetLocaleInfoA(1033, LOCALE_SLIST, buf, 1), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(GetLocaleInfoA(1033, 0x1001, buf, 2), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FLAGS));
  EXPECT_EQ(GetLocaleInfoA(1033, LOCALE_SDECIMAL, nullptr, 2), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}
