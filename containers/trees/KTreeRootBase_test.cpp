#include "containers/trees/KTreeRootBase.h"

#include <gtest/gtest.h>

#include <memory>

#include "containers/memory/KGrowingArray.h"
#include "containers/trees/KTreeTestSupport.h"

namespace {

using KLongTree = KDataTreeItemRoot<long>;
using KTextTree = KDataTreeItemRoot<KString>;

TEST(KTreeRootBaseTest, FirstValueLivesInTheRootObjectWithoutAnItem) {
  KLongTree tree;
  unsigned long used = KLongTree::getStaticAllocator().getUsedBytes();
  bool added = false;
  EXPECT_EQ(tree.add(42, &added), 1);
  EXPECT_TRUE(added);
  EXPECT_EQ(tree.getCount(), 1);
  ASSERT_NE(tree.getData(), nullptr);
  EXPECT_EQ(*tree.getData(), 42);
  EXPECT_EQ(KLongTree::getStaticAllocator().getUsedBytes(), used);
}

TEST(KTreeRootBaseTest, EqualValueOverwritesTheStoredTextAndAddsNothing) {
  KTextTree tree;
  tree.add(KString("Apple"));
  tree.add(KString("pear"));
  bool added = true;
  tree.add(KString("APPLE"), &added);
  EXPECT_FALSE(added);
  EXPECT_EQ(tree.getCount(), 2);
  const KString* stored = tree.find(static_cast<const void*>("apple"));
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(*stored, "APPLE");
}

TEST(KTreeRootBaseTest, SortedInsertsKeepInvariantsAndRootHoldsTheMiddle) {
  KLongTree tree;
  const KTreeItemBase* rootAddress = &tree;
  for (long v = 1; v <= 7; ++v) {
    tree.add(v);
    EXPECT_EQ(KTreeChecker::check(tree), "") << "after " << v;
    if (v == 3) {
      EXPECT_EQ(*tree.getData(), 2);  // rotated at the root by exchanging values
    }
  }
  EXPECT_EQ(&tree, rootAddress);
  EXPECT_EQ(walkValues(tree, KTreeIteratorBase::kInOrder), (std::vector<long>{1, 2, 3, 4, 5, 6, 7}));
  long descending = 0;
  for (long v = 20; v >= 10; --v) tree.add(v), descending++;
  EXPECT_EQ(KTreeChecker::check(tree), "");
  EXPECT_EQ(tree.getCount(), 7 + descending);
}

TEST(KTreeRootBaseTest, RemovingTheRootValueLeavesTheOthers) {
  KLongTree tree;
  for (long v : {2L, 1L, 3L}) tree.add(v);
  long key = 2;
  EXPECT_GE(tree.remove(&key), 0);
  EXPECT_EQ(tree.getCount(), 2);
  EXPECT_EQ(KTreeChecker::check(tree), "");
  EXPECT_EQ(walkValues(tree, KTreeIteratorBase::kInOrder), (std::vector<long>{1, 3}));
  EXPECT_NE(*tree.getData(), 2);
}

TEST(KTreeRootBaseTest, RemovingAnAbsentKeyReportsMinusOne) {
  KLongTree tree;
  for (long v : {5L, 6L}) tree.add(v);
  long key = 9;
  long depth = 0;
  EXPECT_EQ(tree.remove(&key, depth), nullptr);
  EXPECT_EQ(depth, -1);
  EXPECT_EQ(tree.remove(&key), -1);
  EXPECT_EQ(tree.getCount(), 2);
}

TEST(KTreeRootBaseTest, RemovingEveryValueEmptiesTheTree) {
  KLongTree tree;
  for (long v = 0; v < 100; ++v) tree.add((v * 37) % 100);
  for (long v = 0; v < 100; ++v) {
    long key = (v * 11) % 100;
    ASSERT_GE(tree.remove(&key), 0);
    ASSERT_EQ(KTreeChecker::check(tree), "") << "after removing " << key;
  }
  EXPECT_TRUE(tree.isEmpty());
  EXPECT_EQ(tree.getData(), nullptr);
}

TEST(KTreeRootBaseTest, WalkOrdersOverTexts) {
  KTextTree tree;
  for (const char* s : {"b", "A", "d"}) tree.add(KString(s));
  EXPECT_EQ(texts(walkValues(tree, KTreeIteratorBase::kInOrder)), (std::vector<std::string>{"d", "b", "A"}));
  EXPECT_EQ(texts(walkValues(tree, KTreeIteratorBase::kReverse)), (std::vector<std::string>{"A", "b", "d"}));
  EXPECT_EQ(texts(walkValues(tree, KTreeIteratorBase::kDepthFirst)), (std::vector<std::string>{"b", "d", "A"}));
}

TEST(KTreeRootBaseTest, DepthFirstWalkVisitsEveryItemInPreOrder) {
  KLongTree tree;
  for (long v = 0; v < 1000; ++v) tree.add((v * 7919) % 1000);
  std::vector<long> expected;
  struct Pre {
    static void run(const KTreeItemBase* x, std::vector<long>& out) {
      if (!x) return;
      out.push_back(*static_cast<const KDataTreeItem<long>*>(x)->value());
      run(x->m_left, out);
      run(x->m_right, out);
    }
  };
  Pre::run(&tree, expected);
  EXPECT_EQ(walkValues(tree, KTreeIteratorBase::kDepthFirst), expected);
}

TEST(KTreeRootBaseTest, LinkedListWalkIsInInsertionOrderWhateverWasAsked) {
  KTextTree tree;
  tree.add(KString("x"));
  tree.convertToLinkedList(false);
  tree.add(KString("m"));
  tree.add(KString("a"));
  tree.add(KString("m"));
  EXPECT_EQ(KTreeChecker::check(tree), "");
  for (long order : {0L, 1L, 2L, 3L})
    EXPECT_EQ(texts(walkValues(tree, order)), (std::vector<std::string>{"x", "m", "a", "m"}));
  EXPECT_EQ(tree.find(static_cast<const void*>("x")), nullptr);  // no search in list mode
  EXPECT_EQ(tree.remove(static_cast<const void*>("x")), -1);
}

TEST(KTreeRootBaseTest, NestedLinkedListModeRebuildsOnlyAtTheLastLevel) {
  KLongTree tree;
  tree.convertToLinkedList(false);
  tree.convertToLinkedList(false);
  for (long v : {4L, 4L, 1L, 9L}) tree.add(v);
  tree.convertFromLinkedList(true);
  EXPECT_TRUE(tree.isLinkedList());
  EXPECT_EQ(tree.getCount(), 4);
  EXPECT_EQ(tree.convertFromLinkedList(true), 2);
  EXPECT_FALSE(tree.isLinkedList());
  EXPECT_EQ(tree.getCount(), 3);
  EXPECT_EQ(KTreeChecker::check(tree), "");
}

TEST(KTreeRootBaseTest, UniqueRebuildCompactsDuplicates) {
  for (bool unique : {true, false}) {
    KTextTree tree;
    tree.convertToLinkedList(false);
    for (const char* s : {"a", "b", "A", "d"}) tree.add(KString(s));
    tree.convertFromLinkedList(unique);
    EXPECT_EQ(tree.getCount(), unique ? 3 : 4);
    if (unique) {
      EXPECT_EQ(KTreeChecker::check(tree), "");
    }
  }
}

TEST(KTreeRootBaseTest, RebuildLevelCountsAndLeafColours) {
  KLongTree one;
  one.convertToLinkedList(false);
  one.add(1L);
  EXPECT_EQ(one.convertFromLinkedList(false), 0);
  EXPECT_EQ(one.getCount(), 1);

  KLongTree two;
  two.convertToLinkedList(false);
  for (long v : {2L, 1L}) two.add(v);
  EXPECT_EQ(two.convertFromLinkedList(false), 2);
  EXPECT_EQ(KTreeChecker::check(two), "");

  KLongTree seven;
  seven.convertToLinkedList(false);
  for (long v : {5L, 3L, 7L, 1L, 6L, 2L, 4L}) seven.add(v);
  EXPECT_EQ(seven.convertFromLinkedList(false), 3);
  EXPECT_EQ(seven.maxDepth(), 3);
  EXPECT_EQ(KTreeChecker::check(seven), "");
  EXPECT_EQ(*seven.getData(), 4);
  KTreeIteratorBase it(seven, KTreeIteratorBase::kInOrder);
  for (; !it.atEnd(); it.advance()) {
    const KTreeItemBase* x = it.current();
    if (!x->m_left && !x->m_right) {
      EXPECT_TRUE(x->isRed());
    }
  }
}

TEST(KTreeRootBaseTest, LeavingListModeOfATreeWithValuesFlattensAndRebuilds) {
  KLongTree tree;
  for (long v = 0; v < 50; ++v) tree.add(v);
  tree.convertToLinkedList(false);
  EXPECT_EQ(KTreeChecker::check(tree), "");
  for (long v = 25; v < 75; ++v) tree.add(v);
  EXPECT_EQ(tree.getCount(), 100);
  EXPECT_EQ(tree.convertFromLinkedList(true), 7);
  EXPECT_EQ(tree.getCount(), 75);
  EXPECT_EQ(KTreeChecker::check(tree), "");
}

TEST(KTreeRootBaseTest, CopiesAreDeepAndIndependent) {
  auto tree = std::make_unique<KTextTree>();
  for (const char* s : {"one", "two", "three", "four", "five"}) tree->add(KString(s));
  KTextTree copy(*tree);
  EXPECT_EQ(KTreeChecker::check(copy), "");
  KTextTree assigned;
  assigned.add(KString("old"));
  assigned = *tree;
  assigned = assigned;
  EXPECT_EQ(KTreeChecker::check(assigned), "");
  tree->add(KString("six"));
  tree.reset();  // the copies must not share its items
  EXPECT_EQ(copy.getCount(), 5);
  EXPECT_EQ(texts(walkValues(copy, 1)), texts(walkValues(assigned, 1)));
  EXPECT_EQ(assigned.find(static_cast<const void*>("old")), nullptr);
}

TEST(KTreeRootBaseTest, CopyOfAListKeepsTheListAndItsDuplicates) {
  KLongTree tree;
  tree.convertToLinkedList(false);
  for (long v : {3L, 3L, 1L}) tree.add(v);
  KLongTree copy(tree);
  EXPECT_TRUE(copy.isLinkedList());
  EXPECT_EQ(walkValues(copy, 3), (std::vector<long>{3, 3, 1}));
  EXPECT_EQ(copy.convertFromLinkedList(true), 2);
}

TEST(KTreeRootBaseTest, CopyTreeIntoATreeWithValuesMergesThem) {
  KLongTree a, b;
  for (long v : {1L, 2L, 3L}) a.add(v);
  for (long v : {3L, 4L}) b.add(v);
  b.copyTree(a);
  EXPECT_EQ(walkValues(b, 1), (std::vector<long>{1, 2, 3, 4}));
  EXPECT_EQ(KTreeChecker::check(b), "");
}

TEST(KTreeRootBaseTest, AddAllBranchesAppendsInOrder) {
  KTextTree tree;
  for (const char* s : {"b", "A", "d"}) tree.add(KString(s));
  KHGrowingArray<KString> out;
  out.add(KString("first"));
  tree.addAllBranches(out);
  ASSERT_EQ(out.getCount(), 4);
  EXPECT_EQ(out[1], "d");
  EXPECT_EQ(out[3], "A");
}

TEST(KTreeRootBaseTest, MemoryReportCountsItemsBelowTheRoot) {
  KLongTree tree;
  for (long v : {1L, 2L, 3L}) tree.add(v);
  KString name;
  long itemSize = static_cast<long>(sizeof(KDataTreeItem<long>));
  EXPECT_EQ(tree.dumpAllocatedMembersDeep(nullptr, false, name), 2 * itemSize);
  EXPECT_EQ(tree.dumpAllocatedMembers(nullptr, false, name), 2 * itemSize);
}

TEST(KTreeRootBaseTest, ItemsReturnToThePerTypeAllocator) {
  KMemoryAllocator& allocator = KLongTree::getStaticAllocator();
  unsigned long before = allocator.getUsedBytes();
  {
    KLongTree tree;
    for (long v = 0; v < 3000; ++v) tree.add(v);
    EXPECT_EQ(allocator.getUsedBytes(), before + 2999 * allocator.getItemSize());
    EXPECT_EQ(&tree.getAllocator(), &allocator);
  }
  EXPECT_EQ(allocator.getUsedBytes(), before);
}

}  // namespace
