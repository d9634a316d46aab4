#include "core/system/KTextNumbers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

TEST(KTextNumbersTest, ColumnLettersAreBijectiveBase26) {
  EXPECT_EQ(KColumnLettersToIndex("A"), 0);
  EXPECT_EQ(KColumnLettersToIndex("Z"), 25);
  EXPECT_EQ(KColumnLettersToIndex("AA"), 26);
  EXPECT_EQ(KColumnLettersToIndex("ab"), 27);
  EXPECT_EQ(KColumnLettersToIndex("AZ"), 51);
  EXPECT_EQ(KColumnLettersToIndex("ZZ"), 701);
  EXPECT_EQ(KColumnLettersToIndex("aaa"), 702);
}

TEST(KTextNumbersTest, ColumnLettersRejectMixedCaseEmptyAndOtherCharacters) {
  EXPECT_EQ(KColumnLettersToIndex("Ab"), -1);
  EXPECT_EQ(KColumnLettersToIndex("aB"), -1);
  EXPECT_EQ(KColumnLettersToIndex(""), -1);
  EXPECT_EQ(KColumnLettersToIndex(nullptr), -1);
  EXPECT_EQ(KColumnLettersToIndex("A1"), -1);
  EXPECT_EQ(KColumnLettersToIndex(" A"), -1);
  EXPECT_EQ(KColumnLettersToIndex("ZZZZZZZZZZZZ"), -1);  // beyond int
}

TEST(KTextNumbersTest, RunningMeanAddsOneValue) {
  EXPECT_DOUBLE_EQ(KRunningMean(3, 2.0, 6.0), 3.0);
  EXPECT_DOUBLE_EQ(KRunningMean(0, 123.0, 7.5), 7.5);
  EXPECT_DOUBLE_EQ(KRunningMean(1, 4.0, 8.0), 6.0);
}

TEST(KTextNumbersTest, StepGrowsWithByteCount) {
  const ULONGLONG K = 1024, M = 1024 * 1024;
  EXPECT_EQ(KStepForByteCount(40 * K), 1);
  EXPECT_EQ(KStepForByteCount(50 * K - 1), 1);
  EXPECT_EQ(KStepForByteCount(50 * K), 10);
  EXPECT_EQ(KStepForByteCount(100 * K), 10);
  EXPECT_EQ(KStepForByteCount(500 * K), 50);
  EXPECT_EQ(KStepForByteCount(3 * M), 100);
  EXPECT_EQ(KStepForByteCount(5 * M), 1000);
  EXPECT_EQ(KStepForByteCount(20 * M), 5000);
  EXPECT_EQ(KStepForByteCount(0), 1);
}

TEST(KTextNumbersTest, DateTextSpellsDayAndMonth) {
  const char* oldTz = getenv("TZ");
  std::string saved = oldTz ? oldTz : "";
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_STREQ(KDateTimeText(1700000000), "Tuesday, November 14, 2023, 22:13:20");
  if (oldTz) setenv("TZ", saved.c_str(), 1);
  else unsetenv("TZ");
  tzset();
}
