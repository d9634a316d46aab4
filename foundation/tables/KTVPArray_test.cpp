// Token-value dictionaries: case-insensitive tokens, the add and replace
// rules, and the object file round trip in both file forms.
#include "foundation/tables/KTVPArray.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "foundation/trees/KTreeIteratorBase.h"

namespace {

std::vector<std::string> tokensInOrder(const KTVPArray& a) {
  std::vector<std::string> out;
  KTreeIterator<KPtrTreeItem<KTokenValuePair>> it(a.getPairs(), KTreeIteratorBase::kInOrder);
  for (; !it.atEnd(); it.advance()) out.push_back(it.data()->getToken().GetString());
  return out;
}

}  // namespace

TEST(KTVPArrayTest, TokensDifferingInCaseAreOneToken) {
  KTVPArray a;
  EXPECT_FALSE(a.addPair("Width", "1"));
  EXPECT_TRUE(a.addPair("WIDTH", "2"));
  ASSERT_EQ(a.getCount(), 1);
  const KTokenValuePair* p = a.find(KString("wIdTh"));
  ASSERT_NE(p, nullptr);
  EXPECT_STREQ(p->getToken(), "Width");
  EXPECT_STREQ(p->getValue(), "1");
}

TEST(KTVPArrayTest, SetPairWithReplaceTakesTheNewTokenAndValue) {
  KTVPArray a;
  a.addPair("Width", "1");
  EXPECT_TRUE(a.setPair("WIDTH", "2", false));
  EXPECT_STREQ(a.find(KString("width"))->getValue(), "1");
  EXPECT_FALSE(a.setPair("WIDTH", "2", true));
  ASSERT_EQ(a.getCount(), 1);
  const KTokenValuePair* p = a.find(KString("width"));
  EXPECT_STREQ(p->getToken(), "WIDTH");
  EXPECT_STREQ(p->getValue(), "2");
  EXPECT_EQ(a.getChangeCount(), 2);
}

TEST(KTVPArrayTest, SetPairAddsAMissingToken) {
  KTVPArray a;
  EXPECT_FALSE(a.setPair("depth", "3", true));
  EXPECT_STREQ(a.find(KString("DEPTH"))->getValue(), "3");
  EXPECT_EQ(a.find(KString("height")), nullptr);
}

TEST(KTVPArrayTest, InOrderWalkListsTokensSmallestFirstIgnoringCase) {
  KTVPArray a;
  for (const char* t : {"delta", "Alpha", "charlie", "Bravo", "echo"}) a.addPair(t, "v");
  EXPECT_EQ(tokensInOrder(a), (std::vector<std::string>{"Alpha", "Bravo", "charlie", "delta", "echo"}));
}

// Many pairs, so that the destructor has a real tree of owned pairs to free
// (the sanitizer build reports any pair left behind).
TEST(KTVPArrayTest, ManyPairsAreAllFound) {
  KTVPArray a;
  for (int i = 0; i < 500; ++i) {
    KString t;
    t.Format("token%d", i);
    KString v;
    v.Format("%d", i * 7);
    ASSERT_FALSE(a.addPair(t, v));
  }
  ASSERT_EQ(a.getCount(), 500);
  for (int i = 0; i < 500; ++i) {
    KString t;
    t.Format("TOKEN%d", i);
    const KTokenValuePair* p = a.find(t);
    ASSERT_NE(p, nullptr) << i;
    EXPECT_EQ(atoi(p->getValue()), i * 7);
  }
  KString label;
  EXPECT_GT(a.dumpAllocatedMembers(nullptr, false, label), 500 * static_cast<long>(sizeof(KTokenValuePair)));
}

TEST(KTokenValuePairTest, CopiesReferTheirOwnTexts) {
  KTokenValuePair a("t", "v");
  KTokenValuePair b(a);
  b.set("u", "w");
  EXPECT_STREQ(a.getToken(), "t");
  EXPECT_STREQ(a.getValue(), "v");
  EXPECT_STREQ(b.getToken(), "u");
  KTokenValuePair c("x", "y");
  c = a;
  c.set("z", "q");
  EXPECT_STREQ(a.getToken(), "t");
  EXPECT_STREQ(c.getValue(), "q");
}

TEST(KTokenValuePairTest, ConstTreeLeavesPairsToTheirOwner) {
  KTokenValuePair a("b", "1"), b("A", "2");
  {
    KConstTreeItem<KTokenValuePair> tree;
    tree.add(a);
    tree.add(b);
    KString key("a");
    ASSERT_NE(tree.find(static_cast<const void*>(&key)), nullptr);
    EXPECT_STREQ(tree.find(static_cast<const void*>(&key))->getValue(), "2");
  }
  EXPECT_STREQ(a.getValue(), "1");
}
