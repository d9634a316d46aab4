#include "platform/CList.h"

#include <gtest/gtest.h>

#include <list>
#include <random>
#include <vector>

#include "platform/KString.h"

namespace {

// Element that counts its constructions and destructions, and owns heap
// memory so that a leaked or doubly destroyed element shows under ASan.
struct Counted {
  static inline int constructed = 0;
  static inline int destroyed = 0;
  static void reset() { constructed = destroyed = 0; }
  Counted(int v = 0) : p(new int(v)) { ++constructed; }
  Counted(const Counted& o) : p(new int(*o.p)) { ++constructed; }
  Counted(Counted&& o) noexcept : p(o.p) { o.p = nullptr; ++constructed; }
  Counted& operator=(const Counted& o) { *p = *o.p; return *this; }
  ~Counted() { delete p; ++destroyed; }
  bool operator==(const Counted& o) const { return *p == *o.p; }
  int v() const { return *p; }
  int* p;
};

template <class L>
std::vector<int> values(const L& list) {
  std::vector<int> out;
  for (POSITION p = list.GetHeadPosition(); p;) out.push_back(list.GetNext(p).v());
  return out;
}

std::vector<KString> strings(const CList<KString>& list) {
  std::vector<KString> out;
  for (POSITION p = list.GetHeadPosition(); p;) out.push_back(list.GetNext(p));
  return out;
}

}  // namespace

TEST(CListTest, EveryConstructedElementIsDestroyed) {
  Counted::reset();
  {
    CList<Counted> list(3);
    for (int i = 0; i < 10; ++i) list.AddTail(Counted(i));
    list.RemoveHead();
    list.RemoveTail();
    list.RemoveAt(list.FindIndex(3));
    list.InsertBefore(list.GetHeadPosition(), Counted(100));
    list.InsertAfter(list.GetTailPosition(), Counted(200));
    list.SetAt(list.FindIndex(1), Counted(7));
    EXPECT_TRUE(list.checkInvariants());
  }
  EXPECT_GT(Counted::constructed, 0);
  EXPECT_EQ(Counted::constructed, Counted::destroyed);
}

TEST(CListTest, RemoveAllDestroysElementsAndReleasesBlocks) {
  Counted::reset();
  CList<Counted> list(4);
  for (int i = 0; i < 9; ++i) list.AddTail(Counted(i));
  EXPECT_EQ(list.GetBlockCount(), 3);
  list.RemoveAll();
  EXPECT_EQ(Counted::constructed, Counted::destroyed);
  EXPECT_EQ(list.GetBlockCount(), 0);
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.GetHeadPosition(), nullptr);
  list.AddTail(Counted(1));
  EXPECT_EQ(values(list), std::vector<int>{1});
}

TEST(CListTest, RemovedNodeIsReusedBeforeANewBlock) {
  CList<int> list(2);
  list.AddTail(1);
  POSITION second = list.AddTail(2);
  EXPECT_EQ(list.GetBlockCount(), 1);
  list.RemoveAt(second);
  POSITION again = list.AddTail(3);
  EXPECT_EQ(again, second);
  EXPECT_EQ(list.GetBlockCount(), 1);
  list.AddTail(4);
  EXPECT_EQ(list.GetBlockCount(), 2);
  EXPECT_TRUE(list.checkInvariants());
}

TEST(CListTest, EmptiedListGivesBlocksBack) {
  CList<int> list(2);
  list.AddTail(1);
  list.AddTail(2);
  list.AddTail(3);
  list.RemoveHead();
  list.RemoveHead();
  EXPECT_EQ(list.GetBlockCount(), 2);
  list.RemoveTail();
  EXPECT_EQ(list.GetBlockCount(), 0);
}

TEST(CListTest, HeadTailAndRemovalOrder) {
  CList<int> list;
  list.AddTail(2);
  list.AddHead(1);
  list.AddTail(3);
  EXPECT_EQ(list.GetHead(), 1);
  EXPECT_EQ(list.GetTail(), 3);
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.GetSize(), 3);
  EXPECT_EQ(list.RemoveHead(), 1);
  EXPECT_EQ(list.RemoveTail(), 3);
  EXPECT_EQ(list.RemoveTail(), 2);
  EXPECT_TRUE(list.IsEmpty());
}

TEST(CListTest, IteratesBothWays) {
  CList<int> list;
  for (int i = 0; i < 5; ++i) list.AddTail(i);
  std::vector<int> backwards;
  for (POSITION p = list.GetTailPosition(); p;) backwards.push_back(list.GetPrev(p));
  EXPECT_EQ(backwards, (std::vector<int>{4, 3, 2, 1, 0}));
}

TEST(CListTest, InsertWithNullPositionGoesToTheEnds) {
  CList<int> list;
  list.InsertBefore(nullptr, 2);
  list.InsertBefore(nullptr, 1);
  list.InsertAfter(nullptr, 3);
  POSITION mid = list.Find(2);
  list.InsertBefore(mid, 15);
  list.InsertAfter(mid, 25);
  std::vector<int> got;
  for (POSITION p = list.GetHeadPosition(); p;) got.push_back(list.GetNext(p));
  EXPECT_EQ(got, (std::vector<int>{1, 15, 2, 25, 3}));
}

TEST(CListTest, FindStartsAfterTheGivenPosition) {
  CList<int> list;
  POSITION first = list.AddTail(7);
  list.AddTail(8);
  POSITION second = list.AddTail(7);
  EXPECT_EQ(list.Find(7), first);
  EXPECT_EQ(list.Find(7, first), second);
  EXPECT_EQ(list.Find(7, second), nullptr);
  EXPECT_EQ(list.Find(9), nullptr);
}

TEST(CListTest, FindIndexOutOfRangeIsNull) {
  CList<int> list;
  EXPECT_EQ(list.FindIndex(0), nullptr);
  list.AddTail(5);
  list.AddTail(6);
  EXPECT_EQ(list.GetAt(list.FindIndex(1)), 6);
  EXPECT_EQ(list.FindIndex(2), nullptr);
  EXPECT_EQ(list.FindIndex(-1), nullptr);
}

TEST(CListTest, MoveToHeadKeepsEveryPosition) {
  CList<int> list(3);
  std::vector<POSITION> pos;
  for (int i = 0; i < 5; ++i) pos.push_back(list.AddTail(i));
  list.MoveToHead(pos[3]);
  list.MoveToHead(pos[3]);  // already at the head
  list.MoveToTail(pos[0]);
  list.MoveToTail(pos[0]);  // already at the tail
  std::vector<int> got;
  for (POSITION p = list.GetHeadPosition(); p;) got.push_back(list.GetNext(p));
  EXPECT_EQ(got, (std::vector<int>{3, 1, 2, 4, 0}));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(list.GetAt(pos[i]), i);
  EXPECT_EQ(list.GetBlockCount(), 2);
  EXPECT_TRUE(list.checkInvariants());
}

TEST(CListTest, MoveOfTheOnlyElementIsHarmless) {
  CList<int> list;
  POSITION p = list.AddTail(1);
  list.MoveToHead(p);
  list.MoveToTail(p);
  EXPECT_EQ(list.GetHeadPosition(), p);
  EXPECT_EQ(list.GetTailPosition(), p);
  EXPECT_TRUE(list.checkInvariants());
}

TEST(CListTest, SpliceCopiesKeepOrder) {
  CList<KString> a, b;
  a.AddTail("x");
  b.AddTail("1");
  b.AddTail("2");
  a.AddHead(&b);
  a.AddTail(&b);
  EXPECT_EQ(strings(a), (std::vector<KString>{"1", "2", "x", "1", "2"}));
  EXPECT_EQ(b.GetCount(), 2);
}

TEST(CListTest, SpliceOfItselfCopiesOnce) {
  CList<KString> a;
  a.AddTail("a");
  a.AddTail("b");
  a.AddTail(&a);
  EXPECT_EQ(strings(a), (std::vector<KString>{"a", "b", "a", "b"}));
  a.AddHead(&a);
  EXPECT_EQ(a.GetCount(), 8);
  EXPECT_EQ(strings(a)[0], "a");
  EXPECT_EQ(strings(a)[3], "b");
}

TEST(CListTest, AddingAnElementOfTheSameListCopiesIt) {
  CList<KString> list(1);
  list.AddTail("first");
  for (int i = 0; i < 5; ++i) list.AddTail(list.GetHead());
  EXPECT_EQ(list.GetCount(), 6);
  EXPECT_EQ(list.GetTail(), "first");
}

TEST(CListTest, MatchesStdListOnRandomOperations) {
  std::mt19937 rng(12345);
  CList<Counted> list(4);
  std::list<int> model;
  Counted::reset();
  for (int step = 0; step < 5000; ++step) {
    int op = static_cast<int>(rng() % 8);
    int v = static_cast<int>(rng() % 1000);
    if (op == 0) {
      list.AddHead(Counted(v));
      model.push_front(v);
    } else if (op == 1) {
      list.AddTail(Counted(v));
      model.push_back(v);
    } else if (model.empty()) {
      continue;
    } else {
      INT_PTR i = static_cast<INT_PTR>(rng() % model.size());
      auto it = std::next(model.begin(), i);
      POSITION p = list.FindIndex(i);
      if (op == 2) {
        EXPECT_EQ(list.RemoveHead().v(), model.front());
        model.pop_front();
      } else if (op == 3) {
        list.RemoveAt(p);
        model.erase(it);
      } else if (op == 4) {
        list.InsertBefore(p, Counted(v));
        model.insert(it, v);
      } else if (op == 5) {
        list.InsertAfter(p, Counted(v));
        model.insert(std::next(it), v);
      } else if (op == 6) {
        list.MoveToHead(p);
        model.splice(model.begin(), model, it);
      } else {
        list.MoveToTail(p);
        model.splice(model.end(), model, it);
      }
    }
    ASSERT_TRUE(list.checkInvariants());
    ASSERT_EQ(values(list), std::vector<int>(model.begin(), model.end()));
  }
  list.RemoveAll();
  EXPECT_EQ(Counted::constructed, Counted::destroyed);
}

TEST(CListTest, FailedBlockAllocationThrowsAndKeepsTheList) {
  Counted::reset();
  {
    CList<Counted> list(2);
    list.AddTail(Counted(1));
    list.AddTail(Counted(2));
    KHeapFailAfter(1);
    EXPECT_THROW(list.AddTail(Counted(3)), CMemoryException);
    KHeapFailAfter(0);
    EXPECT_EQ(values(list), (std::vector<int>{1, 2}));
    EXPECT_TRUE(list.checkInvariants());
    list.AddTail(Counted(3));
    EXPECT_EQ(list.GetCount(), 3);
  }
  EXPECT_EQ(Counted::constructed, Counted::destroyed);
}
