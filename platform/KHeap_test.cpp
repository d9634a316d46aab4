#include "platform/KHeap.h"

#include <gtest/gtest.h>

TEST(KHeapTest, ChosenRequestFailsOnceAndIsCounted) {
  KHeapFailAfter(3);
  void* a = KHeapAlloc(8);
  void* b = KHeapAlloc(8);
  void* c = KHeapAlloc(8);
  void* d = KHeapAlloc(8);
  EXPECT_NE(a, nullptr);
  EXPECT_NE(b, nullptr);
  EXPECT_EQ(c, nullptr);
  EXPECT_NE(d, nullptr);
  EXPECT_EQ(KHeapRequestCount(), 4);
  KHeapFree(a);
  KHeapFree(b);
  KHeapFree(d);
  KHeapFailAfter(0);
  EXPECT_EQ(KHeapRequestCount(), 0);
}

TEST(KHeapTest, ZeroByteRequestAnswersABlock) {
  KHeapFailAfter(0);
  void* p = KHeapAlloc(0);
  void* q = KHeapAlloc(0);
  EXPECT_NE(p, nullptr);
  EXPECT_NE(p, q);
  KHeapFree(p);
  KHeapFree(q);
  KHeapFree(nullptr);
}

TEST(KHeapTest, PeakFollowsTheBytesHeld) {
  KHeapResetPeak();
  const size_t before = KHeapLiveBytes();
  void* a = KHeapAlloc(1 << 20);
  void* b = KHeapAlloc(1 << 20);
  ASSERT_TRUE(a && b);
  EXPECT_GE(KHeapLiveBytes(), before + (2u << 20));
  KHeapFree(a);
  KHeapFree(b);
  EXPECT_EQ(KHeapLiveBytes(), before);
  EXPECT_GE(KHeapPeakBytes(), before + (2u << 20));
  KHeapResetPeak();
  EXPECT_EQ(KHeapPeakBytes(), before);
}
