// Variables keep the value record they found between evaluations; these tests
// move, remove and replace records under a bound expression and check that it
// always reads the value its name has now.
#include "numerics/expr/KExpr.h"
#include "numerics/expr/KExprValues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <vector>

namespace {

// Evaluates `e` (already parsed) against `values`; NaN stands for a failure.
double valueOf(KExpr& e, const KExprValues* values) {
  double v = 0.0;
  KString error;
  return e.evaluate(values, &v, error) ? NAN : v;
}

// An expression that has been evaluated often enough to be bound and laid out.
struct Bound {
  explicit Bound(const char* text) { m_e.parse(text, false, 0); }
  double operator()(const KExprValues* values) { return valueOf(m_e, values); }
  KExpr m_e;
};

TEST(KExprBindingTest, ValuesEditedInPlaceAreSeen) {
  KExprValues values(true);
  values.addValue("a", 1);
  values.addValue("b", 2);
  Bound e("a*10+b");
  EXPECT_EQ(e(&values), 12.0);
  EXPECT_EQ(e(&values), 12.0);
  const unsigned long long stamp = values.getChangeStamp();
  values.addValue("a", 3);  // overwrites the record in place
  EXPECT_EQ(values.getChangeStamp(), stamp);
  EXPECT_EQ(e(&values), 32.0);
  KExprValue probe("b", 0);
  values.find(probe)->m_value = 5;
  EXPECT_EQ(e(&values), 35.0);
  // A plain value becomes one defined by an expression, in place, and back.
  KExpr twice;
  twice.parse("2*b", false, 0);
  values.addValue("a", 0, &twice);
  EXPECT_EQ(e(&values), 105.0);
  values.addValue("a", 1);
  EXPECT_EQ(e(&values), 15.0);
}

TEST(KExprBindingTest, AnInsertionThatRotatesAtTheRootMovesTheBoundRecord) {
  KExprValues values(true);
  values.addValue("n1", 1);  // held by the root object itself
  Bound e("n1");
  ASSERT_EQ(e(&values), 1.0);
  ASSERT_EQ(e(&values), 1.0);
  const KExprValue* before = values.lookup("n1");
  values.addValue("n2", 2);
  values.addValue("n3", 3);  // three in a row: the root exchanges values with a child
  ASSERT_NE(values.lookup("n1"), before) << "the record was expected to move";
  EXPECT_EQ(e(&values), 1.0);
}

TEST(KExprBindingTest, ARemovalThatCopiesTheSuccessorMovesTheBoundRecord) {
  KExprValues values(true);
  // m at the root; f holds h and c below it, t holds w and p.
  for (const char* name : {"m", "f", "t", "c", "h", "p", "w"}) values.addValue(name, name[0]);
  Bound c("c"), f("f");
  for (int i = 0; i < 2; ++i) ASSERT_EQ(c(&values), 'c');
  ASSERT_EQ(f(&values), 'f');
  const KExprValue* before = values.lookup("c");
  EXPECT_NE(values.remove("f"), -1);  // f's item takes the value of its successor c
  ASSERT_NE(values.lookup("c"), before) << "the record was expected to move";
  EXPECT_EQ(c(&values), 'c');
  EXPECT_TRUE(std::isnan(f(&values)));
  values.remove("m");  // the value of the root object
  EXPECT_EQ(c(&values), 'c');
}

TEST(KExprBindingTest, AddedNamesShadowPredefinedOnesAndEmptyingUnbinds) {
  KExprValues values(true);
  values.addValue("r", 2);
  Bound e("PI*r");
  EXPECT_DOUBLE_EQ(e(&values), 2 * 3.141592653589793);
  EXPECT_DOUBLE_EQ(e(&values), 2 * 3.141592653589793);
  values.addValue("PI", 3);
  EXPECT_EQ(e(&values), 6.0);
  values.emptyTree(values, true, false);
  EXPECT_TRUE(std::isnan(e(&values)));
  values.addValue("r", 5);
  EXPECT_DOUBLE_EQ(e(&values), 5 * 3.141592653589793);
  EXPECT_TRUE(std::isnan(e(nullptr)));
  Bound pi("PI");
  EXPECT_EQ(pi(&values), pi(nullptr));
}

TEST(KExprBindingTest, ListModeAndTheRebuildRelocateRecords) {
  KExprValues values(true);
  for (int i = 0; i < 9; ++i) values.addValue(KString("v") + KString(static_cast<char>('0' + i)), i);
  Bound e("v2*100+v7");
  EXPECT_EQ(e(&values), 207.0);
  EXPECT_EQ(e(&values), 207.0);
  values.convertToLinkedList(false);
  EXPECT_TRUE(std::isnan(e(&values)));  // names are not found in list mode
  values.addValue("v9", 9);
  values.convertFromLinkedList(true);
  EXPECT_EQ(e(&values), 207.0);
  values.addValue("v7", 8);
  EXPECT_EQ(e(&values), 208.0);
}

TEST(KExprBindingTest, AnotherValueSetOrOneBuiltWhereTheFirstDiedIsLookedUpAfresh) {
  KExprValues one(true), two(false);
  one.addValue("x", 1);
  two.addValue("x", 2);
  Bound e("X+x");  // case-insensitive sets find both spellings
  EXPECT_TRUE(std::isnan(e(&one)));
  Bound f("x");
  EXPECT_EQ(f(&one), 1.0);
  EXPECT_EQ(f(&one), 1.0);
  EXPECT_EQ(f(&two), 2.0);
  EXPECT_EQ(e(&two), 4.0);
  EXPECT_EQ(f(&one), 1.0);

  alignas(KExprValues) unsigned char place[sizeof(KExprValues)];
  auto* first = new (place) KExprValues(true);
  for (const char* name : {"k", "x", "d", "q"}) first->addValue(name, 1);
  EXPECT_EQ(f(first), 1.0);
  EXPECT_EQ(f(first), 1.0);
  first->~KExprValues();
  auto* second = new (place) KExprValues(true);
  for (const char* name : {"q", "d", "x", "k"}) second->addValue(name, name[0]);
  EXPECT_EQ(f(second), 'x');
  second->~KExprValues();
}

// Random adds, overwrites, removals, rebuilds and clears against a map; after
// every step each name is read through expressions that stay bound throughout.
TEST(KExprBindingTest, BoundNamesFollowRandomChangesOfTheValues) {
  const std::vector<std::string> names = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"};
  KExprValues values(true);
  std::map<std::string, double> model;
  std::vector<std::unique_ptr<Bound>> reads;
  for (const std::string& n : names) reads.push_back(std::make_unique<Bound>(n.c_str()));
  Bound sum("a+b+c+d+e+f+g+h+i+j+k+l");
  std::mt19937 rng(7);
  double next = 1.0;
  for (int step = 0; step < 3000; ++step) {
    const std::string& name = names[rng() % names.size()];
    const unsigned action = rng() % 20;
    if (action < 11) {
      values.addValue(name.c_str(), next);
      model[name] = next++;
    } else if (action < 18) {
      values.remove(name.c_str());
      model.erase(name);
    } else if (action == 18) {
      values.convertToLinkedList(false);
      values.convertFromLinkedList(true);
    } else if (step % 7 == 0) {
      values.emptyTree(values, true, false);
      model.clear();
    }
    for (size_t i = 0; i < names.size(); ++i) {
      auto it = model.find(names[i]);
      const double got = (*reads[i])(&values);
      if (it == model.end()) ASSERT_TRUE(std::isnan(got)) << "step " << step << " " << names[i];
      else ASSERT_EQ(got, it->second) << "step " << step << " " << names[i];
    }
    if (model.size() == names.size()) {
      double want = 0.0;
      for (const auto& entry : model) want += entry.second;
      ASSERT_EQ(sum(&values), want) << "step " << step;
    }
  }
}

}  // namespace
