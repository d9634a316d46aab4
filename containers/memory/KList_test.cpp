#include "containers/memory/KList.h"

#include <gtest/gtest.h>

TEST(KListTest, ListsKeepTheirBlockSizeAndOrder) {
  KRealList<long> list;
  EXPECT_EQ(list.GetBlockSize(), 10);
  for (long i = 0; i < 25; ++i) list.AddTail(i);
  EXPECT_EQ(list.GetCount(), 25);
  EXPECT_EQ(list.GetBlockCount(), 3);
  EXPECT_EQ(list.GetHead(), 0);
  EXPECT_EQ(list.GetTail(), 24);
}

TEST(KPtrListTest, DestructorEmptiesWithoutDeletingPointees) {
  int values[3] = {1, 2, 3};
  {
    KPtrList<int> list;
    for (int& v : values) list.AddTail(&v);
    EXPECT_EQ(list.GetCount(), 3);
    POSITION pos = list.GetHeadPosition();
    EXPECT_EQ(list.GetNext(pos), &values[0]);
    EXPECT_EQ(list.Find(&values[2]) != nullptr, true);
  }
  // Deleting stack objects would have crashed; the values are intact.
  EXPECT_EQ(values[2], 3);
}

TEST(KPtrListTest, MemoryReportCounts12BytesPerNode) {
  int v = 0;
  KPtrList<int> list;
  KString name;
  for (int i = 0; i < 7; ++i) list.AddTail(&v);
  EXPECT_EQ(list.dumpAllocatedMembers(nullptr, false, name), 84);
}
