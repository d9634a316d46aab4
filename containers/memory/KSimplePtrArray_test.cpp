#include "containers/memory/KSimplePtrArray.h"

#include <gtest/gtest.h>

#include "containers/memory/KExtensionList.h"
#include "containers/memory/KSimple2DArray.h"
#include "platform/KHeap.h"

namespace {

// Pointee that records its deletion.
struct Tracked {
  static int deleted;
  int id;
  explicit Tracked(int i) : id(i) {}
  virtual ~Tracked() { ++deleted; }
};
int Tracked::deleted = 0;

struct TrackedSet {
  Tracked* items[8];
  TrackedSet() {
    Tracked::deleted = 0;
    for (int i = 0; i < 8; ++i) items[i] = new Tracked(i);
  }
};

}  // namespace

TEST(KSimplePtrArrayTest, ShrinkingWithTheDeleteFlagDeletesExactlyThePointeesBeyond) {
  TrackedSet set;
  KHGrowingPtrArray<Tracked> a;
  for (Tracked* t : set.items) a.add(t);
  a.setCount(5, true);
  EXPECT_EQ(Tracked::deleted, 3);
  EXPECT_EQ(a.getCount(), 5);
  EXPECT_EQ(a.getAt(4), set.items[4]);
  a.setCount(2);  // without the flag nothing is deleted
  EXPECT_EQ(Tracked::deleted, 3);
  for (int i = 2; i < 5; ++i) delete set.items[i];
  a.removeAllDeleting();
  EXPECT_EQ(Tracked::deleted, 8);
  EXPECT_EQ(a.getCount(), 0);
}

TEST(KSimplePtrArrayTest, ExactResizeWithDeleteFlagReleasesStorageAfterDeleting) {
  TrackedSet set;
  KHGrowingPtrArray<Tracked> a;
  for (Tracked* t : set.items) a.add(t);
  a.grow(8);
  a.KSimplePtrArray<Tracked>::setSize(6, true);
  EXPECT_EQ(Tracked::deleted, 2);
  EXPECT_EQ(a.getAllocated(), 6);
  EXPECT_EQ(a.getAt(5), set.items[5]);
  a.removeAllDeleting();
  EXPECT_EQ(Tracked::deleted, 8);
}

TEST(KSimplePtrArrayTest, OneElementArrayHoldsItsPointerInline) {
  Tracked t(1);
  KHGrowingPtrArray<Tracked> a;
  KHeapFailAfter(0);
  a.add(&t);
  EXPECT_TRUE(a.holdsSingleInline());
  EXPECT_EQ(KHeapRequestCount(), 0);
  Tracked u(2);
  a.add(&u);
  EXPECT_FALSE(a.holdsSingleInline());
  EXPECT_EQ(a.getAt(0), &t);
  EXPECT_EQ(a.getAt(1), &u);
  a.removeAll();
}

TEST(KSimplePtrArrayTest, HeapFailureEmptiesThePointerArrayWithoutDeleting) {
  TrackedSet set;
  KHGrowingPtrArray<Tracked> a;
  for (int i = 0; i < 3; ++i) a.add(set.items[i]);
  KHeapFailAfter(1);
  a.setCount(100);
  KHeapFailAfter(0);
  EXPECT_EQ(a.getCount(), 0);
  EXPECT_EQ(a.getAllocated(), 0);
  EXPECT_EQ(Tracked::deleted, 0);
  for (Tracked* t : set.items) delete t;
}

TEST(KSimplePtrArrayTest, SGrowingPtrArrayUsesTheBufferUpTo50) {
  KSGrowingPtrArray<Tracked> a;
  Tracked t(0);
  KHeapFailAfter(0);
  for (int i = 0; i < 50; ++i) a.add(&t);
  EXPECT_TRUE(a.usesBuffer());
  EXPECT_EQ(KHeapRequestCount(), 0);
  a.add(nullptr);
  EXPECT_FALSE(a.usesBuffer());
  EXPECT_EQ(a.getCount(), 51);
  EXPECT_EQ(a.find(&t), 0);
  EXPECT_EQ(a.getAt(49), &t);
}

TEST(KSimplePtrArrayTest, ExtensionListDeletesItsExtensionsWithItself) {
  int before = 0;
  struct Probe : KExtension {
    int* counter;
    Probe(intptr_t h, int* c) : KExtension(h), counter(c) {}
    ~Probe() override { ++*counter; }
  };
  {
    KExtensionList list;
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(list.addExtension(new Probe(100 + i, &before)));
    EXPECT_EQ(list.getExtensionCount(), 4);
    EXPECT_EQ(list.findExtension(102)->getHandle(), 102);
    EXPECT_FALSE(list.removeExtension(0));
    EXPECT_EQ(before, 1);
    EXPECT_EQ(list.getExtension(0)->getHandle(), 101);
    EXPECT_TRUE(list.removeExtension(3));
  }
  EXPECT_EQ(before, 4);
}

TEST(KSimple2DArrayTest, ResizeWithZeroColumnsReleasesStorageAndDimensions) {
  KHSimple2DArray<double> a(3, 4);
  EXPECT_EQ(a.getCount(), 12);
  a.resize(3, 0);
  EXPECT_EQ(a.getRows(), 0);
  EXPECT_EQ(a.getColumns(), 0);
  EXPECT_EQ(a.getData(), nullptr);
  a.resize(-2, 5);
  EXPECT_EQ(a.getCount(), 0);
}

TEST(KSimple2DArrayTest, ResizeKeepsElementsInLinearOrder) {
  KHSimple2DArray<int> a(2, 3);
  for (int i = 0; i < 6; ++i) a[i] = i;
  EXPECT_EQ(a.at(1, 0), 3);
  a.resize(3, 3);
  EXPECT_EQ(a.getRows(), 3);
  EXPECT_EQ(a.getColumns(), 3);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(a[i], i);
  EXPECT_EQ(a.at(1, 0), 3) << "contents are not re-laid out by row";
  a.resize(9, 1);  // same product: storage and contents stay
  EXPECT_EQ(a.getRows(), 9);
  EXPECT_EQ(a[5], 5);
  a.removeAll();
  EXPECT_EQ(a.getRows(), 0);
}

TEST(KSimple2DArrayTest, SArrayStaysInItsBufferUpTo50Elements) {
  KHeapFailAfter(0);
  KSSimple2DArray<double> a(5, 10);
  a.at(4, 9) = 1.5;
  a.resize(7, 7);
  EXPECT_TRUE(a.usesBuffer());
  EXPECT_EQ(KHeapRequestCount(), 0);
  a.resize(6, 10);
  EXPECT_FALSE(a.usesBuffer());
  EXPECT_EQ(a.getCount(), 60);
}

TEST(KSimple2DArrayTest, ResizeWithoutKeepResetsTheElements) {
  KHSimple2DArray<int> a(2, 3);
  for (int i = 0; i < 6; ++i) a[i] = i + 1;
  a.resize(3, 3, false);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(a[i], 0) << i;
  a[4] = 7;
  a.resize(3, 3, false);  // same product: still reset
  EXPECT_EQ(a[4], 0);
  a[4] = 7;
  a.resize(1, 9);
  EXPECT_EQ(a[4], 7);
}

TEST(KSimple2DArrayTest, ReserveOnAnSArrayKeepsTheWholeBuffer) {
  KSSimple2DArray<double> s;
  s.reserve(10);
  EXPECT_TRUE(s.usesBuffer());
  EXPECT_EQ(s.getAllocated(), 50);
  EXPECT_EQ(s.getRows(), 1);
  EXPECT_EQ(s.getColumns(), 10);
  s.at(0, 9) = 2.5;
  KHeapFailAfter(0);
  s.resize(5, 10);
  EXPECT_EQ(KHeapRequestCount(), 0);
  EXPECT_EQ(s.at(0, 9), 2.5);
  s.reserve(60);
  EXPECT_FALSE(s.usesBuffer());
  EXPECT_EQ(s.getAllocated(), 60);
  EXPECT_EQ(s[9], 2.5);
  // Heap 2D arrays reserve exactly.
  KHSimple2DArray<double> h;
  h.reserve(10);
  EXPECT_EQ(h.getAllocated(), 10);
}
