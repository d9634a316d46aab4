#include "core/system/KTempCLocale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {
// A locale other than "C" that the machine has, or empty.
std::string someOtherLocale() {
  for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8", "POSIX"}) {
    const char* set = setlocale(LC_ALL, name);
    if (set && std::string(set) != "C") return set;
  }
  return std::string();
}
}  // namespace

TEST(KTempCLocaleTest, NestedInstancesSwitchOnceAndRestoreAtOuterEnd) {
  std::string before = setlocale(LC_ALL, nullptr);
  std::string other = someOtherLocale();
  if (other.empty()) GTEST_SKIP() << "no locale other than C installed";
  {
    KTempCLocale outer(true);
    EXPECT_STREQ(setlocale(LC_ALL, nullptr), "C");
    EXPECT_EQ(KTempCLocale::depth(), 1);
    {
      KTempCLocale inner(true);
      EXPECT_EQ(KTempCLocale::depth(), 2);
      EXPECT_STREQ(setlocale(LC_ALL, nullptr), "C");
    }
    // The inner end must not restore while the outer one is active.
    EXPECT_STREQ(setlocale(LC_ALL, nullptr), "C");
    EXPECT_EQ(KTempCLocale::depth(), 1);
  }
  EXPECT_EQ(std::string(setlocale(LC_ALL, nullptr)), other);
  EXPECT_EQ(KTempCLocale::depth(), 0);
  setlocale(LC_ALL, before.c_str());
}

TEST(KTempCLocaleTest, DisabledInstanceLeavesLocaleAndCounterAlone) {
  std::string other = someOtherLocale();
  if (other.empty()) GTEST_SKIP() << "no locale other than C installed";
  {
    KTempCLocale off(false);
    EXPECT_EQ(KTempCLocale::depth(), 0);
    EXPECT_EQ(std::string(setlocale(LC_ALL, nullptr)), other);
  }
  EXPECT_EQ(std::string(setlocale(LC_ALL, nullptr)), other);
  setlocale(LC_ALL, "C");
}
