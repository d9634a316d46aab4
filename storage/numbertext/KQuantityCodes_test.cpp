#include "storage/numbertext/KQuantityCodes.h"

#include <gtest/gtest.h>

#include <random>

namespace {

long packWithTime(int time) {
  int e[9] = {0, 0, 0, 0, time, 0, 0, 0, 0};
  return packDimensionCode(e);
}

TEST(KQuantityCodesTest, NamedCodesFollowFromThePacking) {
  int none[9] = {};
  int length[9] = {0, 0, 1, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(packDimensionCode(none), KQuantityCodes::kDimensionless);
  EXPECT_EQ(packDimensionCode(length), KQuantityCodes::kLength);
  EXPECT_EQ(packWithTime(1), KQuantityCodes::kTime);
  EXPECT_EQ(packWithTime(-1), KQuantityCodes::kPerTime);
  EXPECT_EQ(packWithTime(-6), KQuantityCodes::kTimescale);
  EXPECT_EQ(packWithTime(-5), KQuantityCodes::kRate);
}

TEST(KQuantityCodesTest, OutOfRangeExponentsPackToInvalid) {
  int e[9] = {};
  for (int i = 0; i <= 5; ++i) {
    e[i] = 7;
    EXPECT_EQ(packDimensionCode(e), KQuantityCodes::kInvalid) << i;
    e[i] = -7;
    EXPECT_EQ(packDimensionCode(e), KQuantityCodes::kInvalid) << i;
    e[i] = 0;
  }
  e[6] = -1;
  EXPECT_EQ(packDimensionCode(e), KQuantityCodes::kInvalid);
  e[6] = 5;
  EXPECT_EQ(packDimensionCode(e), KQuantityCodes::kInvalid);
  e[6] = 0;
  e[7] = 3;
  EXPECT_EQ(packDimensionCode(e), KQuantityCodes::kInvalid);
  e[7] = 0;
  e[8] = -3;
  EXPECT_EQ(packDimensionCode(e), KQuantityCodes::kInvalid);
}

TEST(KQuantityCodesTest, CodesSpanZeroToMaximumAndUnpackExactly) {
  int low[9] = {-6, -6, -6, -6, -6, -6, 0, -2, -2};
  int high[9] = {6, 6, 6, 6, 6, 6, 4, 2, 2};
  EXPECT_EQ(packDimensionCode(low), 0);
  EXPECT_EQ(packDimensionCode(high), 603351124);

  std::mt19937 rng(7);
  for (int n = 0; n < 100000; ++n) {
    int e[9], back[9];
    for (int i = 0; i <= 5; ++i) e[i] = static_cast<int>(rng() % 13) - 6;
    e[6] = static_cast<int>(rng() % 5);
    e[7] = static_cast<int>(rng() % 5) - 2;
    e[8] = static_cast<int>(rng() % 5) - 2;
    long code = packDimensionCode(e);
    if (code == KQuantityCodes::kInvalid) continue;
    ASSERT_FALSE(unpackDimensionCode(code, back)) << code;
    for (int i = 0; i < 9; ++i) ASSERT_EQ(back[i], e[i]) << code << " exponent " << i;
  }
}

TEST(KQuantityCodesTest, InvalidAndForeignNumbersDoNotUnpack) {
  int e[9];
  EXPECT_TRUE(unpackDimensionCode(KQuantityCodes::kInvalid, e));
  EXPECT_TRUE(unpackDimensionCode(-1, e));
  EXPECT_TRUE(unpackDimensionCode(603351125, e));
  for (int v : e) EXPECT_EQ(v, 0);
}

// The invalid code is also the packing of one in-range record; that record is
// given up so that the code keeps one meaning.
TEST(KQuantityCodesTest, RecordSharingTheInvalidCodeIsReserved) {
  int shared[9] = {-6, -5, -4, -3, -2, -1, 0, 1, 2};
  EXPECT_EQ(packDimensionCode(shared), KQuantityCodes::kInvalid);
  int e[9];
  EXPECT_TRUE(unpackDimensionCode(KQuantityCodes::kInvalid, e));
}

TEST(KQuantityCodesTest, TimescaleMarkersAreReportedAndResolved) {
  EXPECT_EQ(timescaleMarker(KQuantityCodes::kTimescale), 1);
  EXPECT_EQ(timescaleMarker(KQuantityCodes::kRate), -1);
  EXPECT_EQ(timescaleMarker(KQuantityCodes::kTime), 0);
  EXPECT_EQ(timescaleMarker(KQuantityCodes::kDimensionless), 0);
  EXPECT_EQ(timescaleMarker(KQuantityCodes::kInvalid), 0);
  EXPECT_EQ(resolveTimescaleMarker(KQuantityCodes::kTimescale), KQuantityCodes::kTime);
  EXPECT_EQ(resolveTimescaleMarker(KQuantityCodes::kRate), KQuantityCodes::kPerTime);
  EXPECT_EQ(resolveTimescaleMarker(KQuantityCodes::kLength), KQuantityCodes::kLength);

  int lengthPerScale[9] = {0, 0, 1, 0, -5, 0, 0, 0, 0};
  int lengthPerTime[9] = {0, 0, 1, 0, -1, 0, 0, 0, 0};
  EXPECT_EQ(resolveTimescaleMarker(packDimensionCode(lengthPerScale)), packDimensionCode(lengthPerTime));
}

}  // namespace
