#include "core/script/KOleVariantArrayIndex.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::string walk(KOleVariantArrayIndex& index) {
  std::string visited;
  for (bool more = index.isValid(); more; more = index.advance()) {
    visited += "(";
    for (int d = 0; d < index.getDimensions(); ++d) visited += (d ? "," : "") + std::to_string(index[d]);
    visited += ")";
  }
  return visited;
}

VARIANT arrayOf(std::initializer_list<SAFEARRAYBOUND> bounds) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_ARRAY | VT_R8;
  v.parray = SafeArrayCreate(VT_R8, static_cast<UINT>(bounds.size()), bounds.begin());
  return v;
}
}  // namespace

TEST(KOleVariantArrayIndexTest, VisitsLastDimensionFirst) {
  KOleVariantArrayIndex index(std::vector<LONG>{2, 3});
  EXPECT_EQ(walk(index), "(0,0)(0,1)(0,2)(1,0)(1,1)(1,2)");
  EXPECT_FALSE(index.isValid());
  EXPECT_FALSE(index.advance());
  KOleVariantArrayIndex single(std::vector<LONG>{1});
  EXPECT_EQ(walk(single), "(0)");
}

TEST(KOleVariantArrayIndexTest, FollowsTheBoundsOfASafeArray) {
  VARIANT v = arrayOf({{2, 0}, {1, 0}, {2, 0}});
  KOleVariantArrayIndex index(v);
  EXPECT_EQ(index.getDimensions(), 3);
  ASSERT_TRUE(index.isValid());
  double value = 0;
  EXPECT_EQ(SafeArrayGetElement(v.parray, index.getIndices(), &value), S_OK);
  EXPECT_EQ(walk(index), "(0,0,0)(0,0,1)(1,0,0)(1,0,1)");
  VariantClear(&v);
}

TEST(KOleVariantArrayIndexTest, InvalidWithoutAnElementToStandOn) {
  VARIANT fromOne = arrayOf({{3, 1}});
  EXPECT_FALSE(KOleVariantArrayIndex(fromOne).isValid());
  VARIANT secondFromOne = arrayOf({{3, 0}, {2, 1}});
  EXPECT_FALSE(KOleVariantArrayIndex(secondFromOne).isValid());
  VARIANT empty = arrayOf({{2, 0}, {0, 0}});
  KOleVariantArrayIndex emptyIndex(empty);
  EXPECT_FALSE(emptyIndex.isValid());
  EXPECT_EQ(walk(emptyIndex), "");
  VariantClear(&fromOne);
  VariantClear(&secondFromOne);
  VariantClear(&empty);

  EXPECT_FALSE(KOleVariantArrayIndex(std::vector<LONG>{}).isValid());
  EXPECT_FALSE(KOleVariantArrayIndex(std::vector<LONG>{4, 0}).isValid());
  VARIANT notArray;
  VariantInit(&notArray);
  notArray.vt = VT_R8;
  EXPECT_FALSE(KOleVariantArrayIndex(notArray).isValid());
}
