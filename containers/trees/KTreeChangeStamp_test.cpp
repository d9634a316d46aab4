// The change stamp of tree roots: every operation that may move a value to
// another item takes a new stamp, an overwrite in place keeps it, and no two
// roots, even one built where another died, ever answer the same stamp.
#include "containers/trees/KTreeRootBase.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>

#include "containers/trees/KTreeTestSupport.h"

namespace {

using KLongTree = KDataTreeItemRoot<long>;

// Does `change` give `tree` a new stamp?
bool restamps(KLongTree& tree, const std::function<void()>& change) {
  const unsigned long long before = tree.getChangeStamp();
  change();
  return tree.getChangeStamp() != before;
}

TEST(KTreeChangeStampTest, AddingAndRemovingRestampButOverwritingInPlaceDoesNot) {
  KLongTree tree;
  EXPECT_NE(tree.getChangeStamp(), 0u);
  EXPECT_TRUE(restamps(tree, [&] { tree.add(5); }));  // into the root object
  EXPECT_TRUE(restamps(tree, [&] { tree.add(7); }));  // into a new item
  EXPECT_FALSE(restamps(tree, [&] { tree.add(7); }));
  EXPECT_FALSE(restamps(tree, [&] { EXPECT_EQ(tree.find(7L), tree.find(7L)); }));
  long key = 9;
  EXPECT_FALSE(restamps(tree, [&] { EXPECT_EQ(tree.remove(&key), -1); }));
  key = 5;
  EXPECT_TRUE(restamps(tree, [&] { EXPECT_NE(tree.remove(&key), -1); }));
  EXPECT_EQ(tree.getCount(), 1);
}

TEST(KTreeChangeStampTest, ListModeRebuildEmptyingAndCopyingRestamp) {
  KLongTree tree;
  for (long v = 1; v <= 6; ++v) tree.add(v);
  EXPECT_TRUE(restamps(tree, [&] { tree.convertToLinkedList(false); }));
  EXPECT_TRUE(restamps(tree, [&] { tree.add(10); }));  // appended to the list
  EXPECT_TRUE(restamps(tree, [&] { tree.convertFromLinkedList(true); }));
  EXPECT_EQ(KTreeChecker::check(tree), "");
  EXPECT_EQ(tree.getCount(), 7);

  KLongTree other;
  other.add(3);
  other.add(4);
  EXPECT_TRUE(restamps(tree, [&] { tree = other; }));
  EXPECT_EQ(tree.getCount(), 2);
  EXPECT_TRUE(restamps(tree, [&] { tree.emptyTree(tree, true, false); }));
  EXPECT_TRUE(restamps(tree, [&] { tree.copyTree(other); }));  // node-for-node into an empty tree
  EXPECT_TRUE(restamps(tree, [&] { tree.copyTree(other); }));  // value by value into a full one
  KLongTree copy(tree);
  EXPECT_NE(copy.getChangeStamp(), tree.getChangeStamp());
}

TEST(KTreeChangeStampTest, ARootBuiltWhereAnotherDiedHasAStampOfItsOwn) {
  alignas(KLongTree) unsigned char place[sizeof(KLongTree)];
  KLongTree* first = new (place) KLongTree;
  first->add(1);
  const unsigned long long firstStamp = first->getChangeStamp();
  first->~KLongTree();
  KLongTree* second = new (place) KLongTree;
  second->add(2);
  EXPECT_EQ(static_cast<void*>(second), static_cast<void*>(place));
  EXPECT_NE(second->getChangeStamp(), firstStamp);
  KLongTree beside;
  EXPECT_NE(beside.getChangeStamp(), second->getChangeStamp());
  second->~KLongTree();
}

}  // namespace
