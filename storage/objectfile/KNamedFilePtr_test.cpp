#include "storage/objectfile/KNamedFilePtr.h"

#include <gtest/gtest.h>

#include "storage/objectfile/FReadBack.h"

TEST(KNamedFilePtr, OrdersByHalvesThenByNameWhenTheFirstHalfIsZero) {
  auto cmp = [](const KNamedFilePtr& a, const KNamedFilePtr& b) { return KTreeOrder<KNamedFilePtr>::compare(a, b, 0); };
  EXPECT_EQ(cmp(KNamedFilePtr("x", 1, 9), KNamedFilePtr("a", 2, 0)), 1);
  EXPECT_EQ(cmp(KNamedFilePtr("x", 2, 0), KNamedFilePtr("a", 1, 9)), -1);
  EXPECT_EQ(cmp(KNamedFilePtr("x", 0, 1), KNamedFilePtr("a", 0, 2)), 1);
  EXPECT_EQ(cmp(KNamedFilePtr("abc", 0, 0), KNamedFilePtr("ABC", 0, 0)), 0);
  EXPECT_NE(cmp(KNamedFilePtr("abc", 0, 0), KNamedFilePtr("abd", 0, 0)), 0);
  EXPECT_EQ(cmp(KNamedFilePtr("abc", 3, 0), KNamedFilePtr("xyz", 3, 0)), 0);  // names ignored
  KNamedFilePtr p;
  p.setKey64(0x123456789ABCDEF0ULL);
  EXPECT_EQ(p.getKey64(), 0x123456789ABCDEF0ULL);
}

TEST(KNamedFilePtr, TreeFindsNamesOfBothKinds) {
  KNamedFilePtrTree tree;
  tree.add(KNamedFilePtr::forName("Width", 100));
  tree.add(KNamedFilePtr::forName(KPersistName(7, 1), 200));
  tree.add(KNamedFilePtr::forName("height", 300));
  ASSERT_NE(tree.findName("WIDTH"), nullptr);
  EXPECT_EQ(tree.findName("WIDTH")->m_position, 100);
  EXPECT_EQ(tree.findName(KPersistName(7, 1))->m_position, 200);
  EXPECT_EQ(tree.findName(KPersistName(7, 2)), nullptr);
  EXPECT_EQ(tree.findName("depth"), nullptr);
}

TEST(FReadBack, PointerTreeOwnsAndFindsRecords) {
  KTreeItem<FReadBack> tree;
  int objects[2];
  tree.add(*new FReadBack("Part", "p1", 10, &objects[0]));
  tree.add(*new FReadBack("Part", "p2", 20, &objects[1]));
  KNamedFilePtr key = KNamedFilePtr::forName("P2", 0);
  const FReadBack* found = tree.find(static_cast<const void*>(&key));
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->m_pObject, &objects[1]);
  tree.emptyTree(tree, true, true);
}
