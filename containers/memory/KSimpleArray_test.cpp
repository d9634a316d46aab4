#include "containers/memory/KSimpleArray.h"
#include "containers/memory/KGrowingArray.h"
#include "containers/memory/KSimple2DArray.h"
#include "containers/memory/KSimplePtrArray.h"

#include <gtest/gtest.h>

#include "platform/KHeap.h"

namespace {

// Element that counts its constructions and destructions.
struct Counted {
  static long constructed;
  static long destroyed;
  int value = 0;
  Counted() { ++constructed; }
  Counted(const Counted& other) : value(other.value) { ++constructed; }
  Counted& operator=(const Counted&) = default;
  ~Counted() { ++destroyed; }
  static void resetCounts() { constructed = destroyed = 0; }
};
long Counted::constructed = 0;
long Counted::destroyed = 0;

struct HeapFailureOff {
  ~HeapFailureOff() { KHeapFailAfter(0); }
};

template <class Array>
void fillAndCheck(long n) {
  Counted::resetCounts();
  {
    Array a;
    a.setCount(n);
    ASSERT_EQ(a.getCount(), n);
    for (long i = 0; i < n; ++i) a[i].value = static_cast<int>(i + 1);
    a.setCount(n + 7);  // may move the elements
    for (long i = 0; i < n; ++i) ASSERT_EQ(a[i].value, i + 1) << "index " << i;
    for (long i = n; i < n + 7; ++i) ASSERT_EQ(a[i].value, 0);
    a.setCount(n / 2);
    a.removeAll();
    EXPECT_EQ(a.getCount(), 0);
    a.setCount(n);
  }
  EXPECT_EQ(Counted::constructed, Counted::destroyed) << "size " << n;
}

}  // namespace

TEST(KSimpleArrayTest, EveryConstructedElementIsDestroyedAcrossBufferAndHeapSizes) {
  for (long n : {0L, 1L, 49L, 50L, 51L, 1000L}) {
    fillAndCheck<KHSimpleArray<Counted>>(n);
    fillAndCheck<KSSimpleArray<Counted>>(n);
    fillAndCheck<KHGrowingArray<Counted>>(n);
    fillAndCheck<KSGrowingArray<Counted>>(n);
    fillAndCheck<KHSimple2DArray<Counted>>(n);
    fillAndCheck<KSSimple2DArray<Counted>>(n);
  }
}

TEST(KSimpleArrayTest, SetSizeZeroReleasesStorage) {
  KHSimpleArray<int> a(10);
  ASSERT_NE(a.getData(), nullptr);
  a.setSize(0);
  EXPECT_EQ(a.getData(), nullptr);
  EXPECT_EQ(a.getCount(), 0);
  EXPECT_EQ(a.getStorageKind(), kStorageNone);
}

TEST(KSimpleArrayTest, SetSizeToCurrentSizeOrBeyondLimitChangesNothing) {
  KHSimpleArray<int> a(10);
  int* data = a.getData();
  KHeapFailAfter(0);
  a.setSize(10);
  a.setSize(kArraySizeLimit);
  a.setSize(kArraySizeLimit + 5);
  EXPECT_EQ(KHeapRequestCount(), 0);
  EXPECT_EQ(a.getData(), data);
  EXPECT_EQ(a.getCount(), 10);
  EXPECT_EQ(a.getStorageKind(), kStorageHeap);
}

TEST(KSimpleArrayTest, ExactReallocationKeepsLeadingElements) {
  KHSimpleArray<int> a(5);
  for (int i = 0; i < 5; ++i) a[i] = i * 10;
  a.setSize(3);
  ASSERT_EQ(a.getCount(), 3);
  EXPECT_EQ(a[2], 20);
  a.setSize(8);
  EXPECT_EQ(a[0], 0);
  EXPECT_EQ(a[2], 20);
  EXPECT_EQ(a[7], 0);
}

TEST(KSimpleArrayTest, HeapFailureLeavesValueArrayUnchanged) {
  HeapFailureOff restore;
  KHGrowingArray<KString> a;
  a.setCount(3);
  a[1] = "kept";
  KString* data = a.getData();
  KHeapFailAfter(1);
  a.setCount(100);
  EXPECT_EQ(a.getCount(), 3);
  EXPECT_EQ(a.getAllocated(), 3);
  EXPECT_EQ(a.getData(), data);
  EXPECT_EQ(a[1], "kept");
  KHeapFailAfter(1);
  a.setAtGrow(10, KString("lost"), 1);
  EXPECT_EQ(a.getCount(), 3);
}

TEST(KSimpleArrayTest, SSimpleArrayWithinBufferNeedsNoHeap) {
  KHeapFailAfter(0);
  KSSimpleArray<double> a;
  a.setSize(10);
  a[9] = 9.0;
  a.setSize(50);
  EXPECT_EQ(a[9], 9.0);
  a.setSize(5);
  a.setSize(20);
  EXPECT_EQ(a[9], 0.0) << "elements cut off inside the buffer are reset";
  EXPECT_TRUE(a.usesBuffer());
  EXPECT_EQ(a.getStorageSize(), 0);
  EXPECT_EQ(KHeapRequestCount(), 0);
}

TEST(KSimpleArrayTest, SGrowingArrayKeepsBufferTo50AndMovesToHeapInOrderAt51) {
  KSGrowingArray<int> a;
  a.setCount(10);
  for (int i = 0; i < 10; ++i) a[i] = i;
  EXPECT_TRUE(a.usesBuffer());
  EXPECT_EQ(a.getAllocated(), 50);
  a.setCount(50);
  for (int i = 10; i < 50; ++i) a[i] = i;
  EXPECT_TRUE(a.usesBuffer());
  a.setCount(51);
  EXPECT_FALSE(a.usesBuffer());
  EXPECT_EQ(a.getStorageKind(), kStorageHeap);
  EXPECT_EQ(a.getAllocated(), 51);
  for (int i = 0; i < 50; ++i) ASSERT_EQ(a[i], i);
  EXPECT_EQ(a[50], 0);
}

// setSize and grow ask for exact storage; within the buffer the storage
// recorded is still the whole buffer, and the used count stays.
template <class Array, class Heap>
void checkSizedWithinTheBuffer() {
  Array a;
  a.setSize(10);
  EXPECT_TRUE(a.usesBuffer());
  EXPECT_EQ(a.getAllocated(), 50);
  EXPECT_EQ(a.getCount(), 0);
  a.setCount(3);
  a.grow(20);
  EXPECT_EQ(a.getAllocated(), 50);
  EXPECT_EQ(a.getCount(), 3);
  a.setSize(50);
  EXPECT_EQ(a.getAllocated(), 50);
  a.setSize(51);
  EXPECT_FALSE(a.usesBuffer());
  EXPECT_EQ(a.getAllocated(), 51);
  Heap h;
  h.setSize(10);
  EXPECT_EQ(h.getAllocated(), 10);
}

TEST(KSimpleArrayTest, SGrowingArraysSizedWithinTheBufferRecordTheBuffer) {
  checkSizedWithinTheBuffer<KSGrowingArray<int>, KHGrowingArray<int>>();
  checkSizedWithinTheBuffer<KSGrowingPtrArray<int>, KHGrowingPtrArray<int>>();
}

TEST(KSimpleArrayTest, SetAtGrowGrowsByTheCallersStepOnly) {
  KHGrowingArray<int> a;
  a.setAtGrow(10, 7, 5);
  EXPECT_EQ(a.getAllocated(), 15);
  EXPECT_EQ(a.getCount(), 11);
  EXPECT_EQ(a[10], 7);
  a.setAtGrow(12, 8, 5);  // inside the storage: no growth
  EXPECT_EQ(a.getAllocated(), 15);
  EXPECT_EQ(a.getCount(), 13);
  a.setAtGrow(15, 9, 0);  // a step below 1 counts as 1
  EXPECT_EQ(a.getAllocated(), 16);
  EXPECT_EQ(a.getCount(), 16);
  EXPECT_EQ(a.add(10), 16);
  EXPECT_EQ(a.getAllocated(), 17);
}

TEST(KSimpleArrayTest, SetAtGrowOnSGrowingArrayTakesTheWholeBuffer) {
  KSGrowingArray<int> a;
  a.setAtGrow(10, 7, 5);
  EXPECT_EQ(a.getAllocated(), 50);
  EXPECT_EQ(a.getCount(), 11);
  EXPECT_TRUE(a.usesBuffer());
}

TEST(KSimpleArrayTest, SetAtGrowCopiesAValueThatLivesInTheMovingStorage) {
  KHGrowingArray<KString> a;
  a.setCount(1);
  a[0] = "first element text that is long enough to live on the heap";
  a.setAtGrow(100, a[0], 1);
  EXPECT_EQ(a[100], a[0]);
}

TEST(KSimpleArrayTest, SetCountBelowCountResetsStringsAndKeepsStorage) {
  KHGrowingArray<KString> a;
  a.setCount(8);
  for (long i = 0; i < 8; ++i) a[i] = "x";
  KString* data = a.getData();
  a.setCount(3);
  EXPECT_EQ(a.getCount(), 3);
  EXPECT_EQ(a.getAllocated(), 8);
  EXPECT_EQ(a.getData(), data);
  EXPECT_EQ(a[2], "x");
  for (long i = 3; i < 8; ++i) EXPECT_TRUE(a[i].IsEmpty()) << i;
  a.setCount(8);  // refilling costs no allocation
  EXPECT_EQ(a.getData(), data);
}

TEST(KSimpleArrayTest, GrowingReserveNeverShrinksAndCutsOnlyTheCount) {
  KHGrowingArray<int> a;
  a.reserve(20);
  EXPECT_EQ(a.getAllocated(), 20);
  EXPECT_EQ(a.getCount(), 0);
  a.setCount(10);
  a.reserve(15);
  EXPECT_EQ(a.getAllocated(), 20);
  a.reserve(4);
  EXPECT_EQ(a.getCount(), 4);
  EXPECT_EQ(a.getAllocated(), 20);
  a.removeAll();
  EXPECT_EQ(a.getAllocated(), 0);
  EXPECT_EQ(a.getValidCount(), 0);
}

TEST(KSimpleArrayTest, CopiesAreDeepAndIndependent) {
  KSGrowingArray<KString> a;
  a.add("one");
  a.add("two");
  KSGrowingArray<KString> b(a);
  b[0] = "changed";
  EXPECT_EQ(a[0], "one");
  EXPECT_EQ(b.getCount(), 2);
  EXPECT_EQ(b[1], "two");
}

TEST(KSimpleArrayTest, MemoryReportCountsHeapStorageOnly) {
  KString name;
  KSSimpleArray<double> s(50);
  EXPECT_EQ(s.dumpAllocatedMembers(nullptr, false, name), 0);
  s.setSize(51);
  EXPECT_EQ(s.dumpAllocatedMembers(nullptr, false, name), static_cast<long>(51 * sizeof(double)));
}
