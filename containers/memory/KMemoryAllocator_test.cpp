#include "containers/memory/KMemoryAllocator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/application/KApplicationAbstract.h"
#include "containers/memory/KMemoryAllocator2.h"
#include "platform/KHeap.h"

namespace {

// Application object whose option lookups the tests set.
class AllocatorApp : public KApplicationAbstract {
 public:
  std::map<std::string, long> values;
  bool LookupBoolOption(const KString& name, bool current) override {
    auto it = values.find(name.GetString());
    return it == values.end() ? current : it->second != 0;
  }
  long LookupIntegerOption(const KString& name, long current) override {
    auto it = values.find(name.GetString());
    return it == values.end() ? current : it->second;
  }
};

class KMemoryAllocatorTest : public testing::Test {
 protected:
  // Cached options keep their last value under an application that does not
  // define them, so every test starts from the built-in defaults.
  void SetUp() override {
    m_app.values = {{"slowFrugalMemoryMode", 0}, {"removeEmptyBlocks", 1},
                    {"debugAllocList", 0}, {"maxBlockSize", 100000}};
    m_previous = KSetApplication(&m_app);
    markOptionsChanged();
  }
  void TearDown() override {
    KHeapFailAfter(0);
    KSetApplication(m_previous);
    markOptionsChanged();
  }
  void setOption(const char* name, long value) {
    m_app.values[name] = value;
    markOptionsChanged();
  }
  AllocatorApp m_app;
  KApplicationAbstract* m_previous = nullptr;
};

}  // namespace

TEST_F(KMemoryAllocatorTest, SmallItemsUsePointerSizedSlotsAndReportTheirSize) {
  KMemoryAllocator a(2, 1000);
  EXPECT_EQ(a.getRequestedSize(), 2u);
  EXPECT_EQ(a.getItemSize(), sizeof(void*));
  char* p = static_cast<char*>(a.allocate());
  char* q = static_cast<char*>(a.allocate());
  EXPECT_EQ(q - p, static_cast<long>(sizeof(void*))) << "slots of a fresh block are adjacent";
  EXPECT_EQ(a.getUsedBytes(), 2 * sizeof(void*));
}

TEST_F(KMemoryAllocatorTest, FirstRequestTakesOneBlockAndThe1001stASecond) {
  KMemoryAllocator a(28, 1000);
  EXPECT_EQ(a.getBlockCount(), 0) << "no heap memory before the first request";
  std::vector<void*> slots;
  slots.push_back(a.allocate());
  EXPECT_EQ(a.getBlockCount(), 1);
  EXPECT_EQ(a.getBlockBytes(), 28000u);
  for (int i = 1; i < 1000; ++i) slots.push_back(a.allocate());
  EXPECT_EQ(a.getBlockCount(), 1);
  slots.push_back(a.allocate());
  EXPECT_EQ(a.getBlockCount(), 2);
  EXPECT_EQ(a.getBlockBytes(), 56000u);
  EXPECT_EQ(a.getUsedBytes(), 1001u * 28);
  for (void* p : slots) a.release(p);
}

TEST_F(KMemoryAllocatorTest, ItemsPerBlockAreCappedNear100000Bytes) {
  EXPECT_EQ(KMemoryAllocator(296, 1000).getItemsPerBlock(), 337u);
  EXPECT_EQ(KMemoryAllocator(28, 1000).getItemsPerBlock(), 1000u);
  // Records above the block limit still get one slot per block.
  KMemoryAllocator big(200000, 1000);
  EXPECT_EQ(big.getItemsPerBlock(), 1u);
  void* p = big.allocate();
  ASSERT_NE(p, nullptr);
  big.release(p);
  // One-byte records: 100000 of them fit the limit exactly. A zero size
  // divides as one.
  EXPECT_EQ(KMemoryAllocator(1, 100000).getItemsPerBlock(), 100000u);
  EXPECT_EQ(KMemoryAllocator(1, 200000).getItemsPerBlock(), 100000u);
  EXPECT_EQ(KMemoryAllocator(0, 100000).getItemsPerBlock(), 100000u);
  EXPECT_EQ(KMemoryAllocator(2, 100000).getItemsPerBlock(), 50000u);
}

TEST_F(KMemoryAllocatorTest, ReleasingTheLastSlotReturnsAllBlocksByDefault) {
  KMemoryAllocator a(40, 100);
  void* p = a.allocate();
  void* q = a.allocate();
  a.release(p);
  EXPECT_EQ(a.getBlockCount(), 1);
  a.release(q);
  EXPECT_EQ(a.getBlockCount(), 0);
  EXPECT_EQ(a.getBlockBytes(), 0u);
  ASSERT_NE(a.allocate(), nullptr);
  EXPECT_EQ(a.getBlockCount(), 1);
  a.freeAll();
}

TEST_F(KMemoryAllocatorTest, KeepsEmptyBlocksWhenRemoveEmptyBlocksIsOff) {
  setOption("removeEmptyBlocks", 0);
  KMemoryAllocator a(40, 100);
  void* p = a.allocate();
  a.release(p);
  EXPECT_EQ(a.getBlockCount(), 1);
  EXPECT_EQ(a.allocate(), p) << "the released slot is reused first";
}

TEST_F(KMemoryAllocatorTest, SlowFrugalModeTakesOneZeroedAllocationPerRecord) {
  setOption("slowFrugalMemoryMode", 1);
  KMemoryAllocator a(24, 1000);
  KHeapFailAfter(0);
  auto* p = static_cast<unsigned char*>(a.allocate());
  auto* q = static_cast<unsigned char*>(a.allocate());
  EXPECT_EQ(KHeapRequestCount(), 2);
  EXPECT_EQ(a.getBlockCount(), 0);
  for (int i = 0; i < 24; ++i) ASSERT_EQ(p[i], 0);
  std::memset(p, 0xAB, 24);
  a.release(p);
  a.release(q);
  EXPECT_EQ(a.getUsedBytes(), 0u);
  KHeapFailAfter(1);
  EXPECT_EQ(a.allocate(), nullptr) << "a failed single allocation answers null";
  EXPECT_EQ(a.getUsedBytes(), 0u);
}

TEST_F(KMemoryAllocatorTest, SwitchingSlowModeWithSlotsOutReleasesEachKindCorrectly) {
  setOption("removeEmptyBlocks", 0);
  KMemoryAllocator a(32, 10);
  void* blockSlot = a.allocate();
  setOption("slowFrugalMemoryMode", 1);
  std::vector<void*> singles;
  for (int i = 0; i < 12; ++i) singles.push_back(a.allocate());  // 9 from the block, then singles
  setOption("slowFrugalMemoryMode", 0);
  for (void* p : singles) a.release(p);
  a.release(blockSlot);
  EXPECT_EQ(a.getUsedBytes(), 0u);
  EXPECT_EQ(a.getBlockCount(), 1);
  // All ten block slots are free again; no single allocation joined them.
  setOption("debugAllocList", 1);
  int onList = 0;
  for (void* p : singles)
    if (a.isOnFreeList(p)) ++onList;
  EXPECT_EQ(onList, 9);
  EXPECT_TRUE(a.isOnFreeList(blockSlot));
}

TEST_F(KMemoryAllocatorTest, HeapFailureHalvesTheBlockUntilOneSucceeds) {
  KMemoryAllocator a(20, 1000);
  KHeapFailAfter(1);
  ASSERT_NE(a.allocate(), nullptr);
  EXPECT_EQ(a.getBlockBytes(), 500u * 20);
  a.freeAll();
  KMemoryAllocator b(20, 8);
  unsigned long before = KMemoryAllocator::getTotalUsedBytes();
  KHeapFailAfter(1);
  void* p = b.allocate();  // 8 fails, 4 succeeds
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(b.getBlockBytes(), 4u * 20);
  EXPECT_EQ(KMemoryAllocator::getTotalUsedBytes(), before + 20);
  b.release(p);
}

TEST_F(KMemoryAllocatorTest, AllocateAnswersNullWhenNotEvenOneSlotCanBeHad) {
  KMemoryAllocator a(20, 1);
  unsigned long used = KMemoryAllocator::getTotalUsedBytes();
  KHeapFailAfter(1);
  EXPECT_EQ(a.allocate(), nullptr);
  EXPECT_EQ(a.getUsedBytes(), 0u);
  EXPECT_EQ(a.getBlockCount(), 0);
  EXPECT_EQ(KMemoryAllocator::getTotalUsedBytes(), used);
}

TEST_F(KMemoryAllocatorTest, IsOnFreeListIsInactiveUntilDebugAllocListIsSet) {
  setOption("removeEmptyBlocks", 0);
  KMemoryAllocator a(16, 10);
  void* p = a.allocate();
  void* q = a.allocate();
  a.release(p);
  setOption("debugAllocList", 0);
  EXPECT_FALSE(a.isOnFreeList(p));
  EXPECT_EQ(KMemoryAllocator::getAllocationCheckLevel(), 0);
  setOption("debugAllocList", 1);
  EXPECT_TRUE(a.isOnFreeList(p));
  EXPECT_FALSE(a.isOnFreeList(q));
  EXPECT_FALSE(a.isOnFreeList(nullptr));
  int outside = 0;
  EXPECT_FALSE(a.isOnFreeList(&outside));
  a.release(q);
  EXPECT_TRUE(a.isOnFreeList(q));
}

TEST_F(KMemoryAllocatorTest, ResetAppliesMaxBlockSizeAsAnItemCount) {
  setOption("maxBlockSize", 64);
  KMemoryAllocator a(16, 1000);
  a.allocate();
  a.reset(48, 1000);
  EXPECT_EQ(a.getBlockCount(), 0);
  EXPECT_EQ(a.getUsedBytes(), 0u);
  EXPECT_EQ(a.getRequestedSize(), 48u);
  EXPECT_EQ(a.getItemsPerBlock(), 64u);
  a.reset(48, 20);
  EXPECT_EQ(a.getItemsPerBlock(), 20u);
  // Caps of 0 and 1 both leave one item per block, which still serves.
  for (long cap : {0L, 1L}) {
    setOption("maxBlockSize", cap);
    a.reset(48, 1000);
    EXPECT_EQ(a.getItemsPerBlock(), 1u) << cap;
    void* p = a.allocate();
    void* q = a.allocate();
    ASSERT_NE(p, nullptr);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(a.getBlockCount(), 2);
    a.release(p);
    a.release(q);
  }
  setOption("maxBlockSize", 2);
  a.reset(48, 1000);
  EXPECT_EQ(a.getItemsPerBlock(), 2u);
}

TEST_F(KMemoryAllocatorTest, ProcessTotalsFollowEveryAllocator) {
  unsigned long used = KMemoryAllocator::getTotalUsedBytes();
  unsigned long blocks = KMemoryAllocator::getTotalBlockBytes();
  {
    KMemoryAllocator a(32, 100);
    KMemoryAllocator b(64, 10);
    a.allocate();
    b.allocate();
    b.allocate();
    EXPECT_EQ(KMemoryAllocator::getTotalUsedBytes(), used + 32 + 128);
    EXPECT_EQ(KMemoryAllocator::getTotalBlockBytes(), blocks + 3200 + 640);
    a.freeAll();
    EXPECT_EQ(KMemoryAllocator::getTotalUsedBytes(), used + 128);
  }
  EXPECT_EQ(KMemoryAllocator::getTotalUsedBytes(), used);
  EXPECT_EQ(KMemoryAllocator::getTotalBlockBytes(), blocks);
}

TEST(KMemoryAllocator2Test, NewBlockHalvesDownToTheMinimum) {
  KMemoryAllocator2 arena(4096);
  KHeapFailAfter(1);
  EXPECT_FALSE(arena.newBlock(1000));
  EXPECT_EQ(arena.getTotalBlockBytes(), 2048u);
  KHeapFailAfter(1);
  EXPECT_TRUE(arena.newBlock(3000)) << "half of 4096 is below the minimum";
  KHeapFailAfter(0);
  EXPECT_FALSE(arena.newBlock(10000)) << "a minimum above the block size is honoured";
  EXPECT_EQ(arena.getRemaining(), 10000u);
  void* p = arena.allocate(100);
  void* q = arena.allocate(1);
  EXPECT_EQ(static_cast<char*>(q) - static_cast<char*>(p), 112);
  arena.freeAll();
  EXPECT_EQ(arena.getBlockCount(), 0);
  EXPECT_EQ(arena.getTotalBlockBytes(), 0u);
}
