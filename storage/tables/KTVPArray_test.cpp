// Token-value dictionaries: case-insensitive tokens, the add and replace
// rules, and the object file round trip in both file forms.
#include "storage/tables/KTVPArray.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "containers/trees/KTreeIteratorBase.h"
#include "storage/objectfile/KBinaryPersistance.h"
#include "storage/objectfile/KTextPersistance.h"
#include "platform/KExceptions.h"

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

// ---- object files ----------------------------------------------------------

namespace {

// Runs `body`; an exception of the file layers fails the test with its text.
template <class F>
void withFileErrors(F&& body) {
  try {
    body();
  } catch (const CException& e) {
    KString message;
    e.GetErrorMessage(message);
    ADD_FAILURE() << "exception: " << message.GetString();
  }
}

class KTVPArrayFileTest : public testing::TestWithParam<std::tuple<bool, int>> {
 protected:
  void SetUp() override {
    char name[] = "/tmp/ktvparrayXXXXXX";
    int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);
    m_path = name;
  }
  void TearDown() override { std::remove(m_path.c_str()); }

  // The form and level of the test's parameter.
  std::unique_ptr<KImplPersistance> open(bool writing) {
    auto [text, level] = GetParam();
    if (text) return std::make_unique<KTextPersistance>(m_path.c_str(), writing, level);
    return std::make_unique<KBinaryPersistance>(m_path.c_str(), writing, level);
  }
  void writeArray(const KTVPArray& a) {
    auto out = open(true);
    a.write(*out, nullptr);
    out->Close();
  }
  // Writes the two string arrays as given, inside the object "KTVPArray".
  void writeRaw(const std::vector<KString>& tokens, const std::vector<KString>& values) {
    auto out = open(true);
    out->beginObject("KTVPArray", "KTVPArray");
    out->writeS("tokens", static_cast<long>(tokens.size()), tokens.data());
    out->writeS("values", static_cast<long>(values.size()), values.data());
    out->endObject();
    out->Close();
  }

  std::string m_path;
};

}  // namespace

TEST_P(KTVPArrayFileTest, ReadBackHoldsTheSamePairs) {
  withFileErrors([&] {
    KTVPArray a;
    for (int i = 0; i < 120; ++i) {
      KString t, v;
      t.Format("Key%03d", i);
      v.Format("value \"%d\" with blanks", i);
      a.addPair(t, v);
    }
    a.addPair("empty", "");
    writeArray(a);

    KTVPArray b;
    auto in = open(false);
    b.read(*in, nullptr);
    EXPECT_EQ(in->getDepth(), 0);
    ASSERT_EQ(b.getCount(), a.getCount());
    KTreeIterator<KPtrTreeItem<KTokenValuePair>> it(a.getPairs(), KTreeIteratorBase::kInOrder);
    for (; !it.atEnd(); it.advance()) {
      const KTokenValuePair* p = b.find(it.data()->getToken());
      ASSERT_NE(p, nullptr) << it.data()->getToken().GetString();
      EXPECT_STREQ(p->getToken(), it.data()->getToken());
      EXPECT_STREQ(p->getValue(), it.data()->getValue());
    }
  });
}

TEST_P(KTVPArrayFileTest, ArraysFollowTheDepthFirstWalk) {
  withFileErrors([&] {
    KTVPArray a;
    for (const char* t : {"d", "b", "f", "a", "c", "e", "g"}) a.addPair(t, KString(t) + "!");
    writeArray(a);
    std::vector<std::string> walk;
    KTreeIterator<KPtrTreeItem<KTokenValuePair>> it(a.getPairs(), KTreeIteratorBase::kDepthFirst);
    for (; !it.atEnd(); it.advance()) walk.push_back(it.data()->getToken().GetString());

    auto in = open(false);
    in->enterObject("KTVPArray", "KTVPArray");
    KHSimpleArray<KString> tokens, values;
    ASSERT_EQ(in->readStrings("tokens", tokens), 7);
    ASSERT_EQ(in->readStrings("values", values), 7);
    for (long i = 0; i < 7; ++i) {
      EXPECT_EQ(walk[i], tokens[i].GetString()) << i;
      EXPECT_EQ(walk[i] + "!", values[i].GetString()) << i;
    }
  });
}

TEST_P(KTVPArrayFileTest, EmptyArrayWritesTwoEmptyArrays) {
  withFileErrors([&] {
    KTVPArray a;
    writeArray(a);
    auto in = open(false);
    in->enterObject("KTVPArray", "KTVPArray");
    EXPECT_EQ(in->findAttribute('S', "tokens"), 0);
    EXPECT_EQ(in->findAttribute('S', "values"), 0);
    in->leaveObject();
    KTVPArray b;
    auto again = open(false);
    b.read(*again, nullptr);
    EXPECT_EQ(b.getCount(), 0);
  });
}

TEST_P(KTVPArrayFileTest, OfEqualTokensTheHigherIndexIsKept) {
  withFileErrors([&] {
    writeRaw({"size", "SIZE", "other"}, {"first", "second", "third"});
    KTVPArray b;
    auto in = open(false);
    b.read(*in, nullptr);
    ASSERT_EQ(b.getCount(), 2);
    EXPECT_STREQ(b.find(KString("size"))->getToken(), "SIZE");
    EXPECT_STREQ(b.find(KString("size"))->getValue(), "second");
  });
}

TEST_P(KTVPArrayFileTest, ShorterValuesArrayThrowsTheFileException) {
  writeRaw({"a", "b", "c"}, {"1", "2"});
  KTVPArray b;
  auto in = open(false);
  try {
    b.read(*in, nullptr);
    FAIL() << "no exception";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.m_cause, CFileException::genericException);
    EXPECT_EQ(e.m_lOsError, -1);
    EXPECT_TRUE(e.m_strFileName.IsEmpty());
  }
  EXPECT_EQ(b.getCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(BothFormsPlainAndCompressed, KTVPArrayFileTest,
                         testing::Combine(testing::Bool(), testing::Values(0, 6)),
                         [](const testing::TestParamInfo<std::tuple<bool, int>>& info) {
                           return std::string(std::get<0>(info.param) ? "Text" : "Binary") + "Level" +
                                  std::to_string(std::get<1>(info.param));
                         });
