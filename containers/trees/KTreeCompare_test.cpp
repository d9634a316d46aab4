#include "containers/trees/KTreeCompare.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/application/KApplicationAbstract.h"
#include "platform/KLocale.h"

namespace {

int platformAnswer(LCID locale, const char* a, const char* b) {
  switch (CompareStringA(locale, NORM_IGNORECASE, a, -1, b, -1)) {
    case CSTR_LESS_THAN: return -1;
    case CSTR_GREATER_THAN: return 1;
    default: return 0;
  }
}

std::string randomText(std::mt19937& rng) {
  // Short texts over a small alphabet so that equal prefixes, case variants
  // and prefix pairs are frequent; bytes above 127 and the folding edges
  // ('@', '[', '`', '{') included.
  static const char alphabet[] = "aAbBzZ@[`{09_\x80\xc4\xe4\xff";
  std::string s(rng() % 6, ' ');
  for (char& c : s) c = alphabet[rng() % (sizeof(alphabet) - 1)];
  return s;
}

TEST(KTreeCompareTest, NoCaseComparisonEqualsThePlatformCallInEveryLocale) {
  std::mt19937 rng(5);
  for (LCID locale : {LCID(LOCALE_USER_DEFAULT), LCID(LCID_GERMAN), LCID(LCID_JAPANESE), LCID(LCID_RUSSIAN)}) {
    for (int i = 0; i < 20000; ++i) {
      std::string a = randomText(rng), b = randomText(rng);
      ASSERT_EQ(kCompareNoCase(a.c_str(), b.c_str()), platformAnswer(locale, a.c_str(), b.c_str()))
          << "locale " << locale << " '" << a << "' '" << b << "'";
    }
  }
}

TEST(KTreeCompareTest, NoCaseComparisonFoldsOnlyAsciiLettersAndPutsPrefixesFirst) {
  EXPECT_EQ(kCompareNoCase("Apple", "aPPLE"), 0);
  EXPECT_EQ(kCompareNoCase("app", "Apple"), -1);
  EXPECT_EQ(kCompareNoCase("Apple", "app"), 1);
  EXPECT_EQ(kCompareNoCase("Z", "["), 1);  // 'Z' compares as 'z' (122), above '[' (91)
  EXPECT_EQ(kCompareNoCase("\xc4", "\xe4"), -1);  // bytes above 127 are not folded
}

TEST(KTreeCompareTest, NullTextCountsAsEqual) {
  EXPECT_EQ(kCompareNoCase(nullptr, "a"), 0);
  EXPECT_EQ(kCompareNoCase("a", nullptr), 0);
}

}  // namespace
