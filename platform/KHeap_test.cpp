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
