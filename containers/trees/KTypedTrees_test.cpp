#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <memory>

#include "core/application/KApplicationAbstract.h"
#include "containers/trees/KGlobalUtils.h"
#include "containers/trees/KIDString.h"
#include "containers/trees/KOptionTrees.h"
#include "containers/trees/KStringID.h"
#include "containers/trees/KTreeTestSupport.h"
#include "platform/KMessageBox.h"

// A value a pointer tree can own: counts live objects and records what its
// tree answers to isEmpty() when the tree deletes it.
class KOwnedValue : public KObject {
 public:
  explicit KOwnedValue(long key) : m_key(key) { ++s_live; }
  ~KOwnedValue() override { --s_live; }
  void onNotify() override { s_emptyWhenNotified = s_tree && s_tree->isEmpty(); }

  long m_key;
  static inline int s_live = 0;
  static inline const KTreeItemBase* s_tree = nullptr;
  static inline bool s_emptyWhenNotified = false;
};

template <>
struct KTreeOrder<KOwnedValue> {
  static int compare(const KOwnedValue& a, const KOwnedValue& b, long) {
    return (a.m_key < b.m_key) - (b.m_key < a.m_key);
  }
  static int compareKey(const KOwnedValue& stored, const void* key, long) {
    long k = *static_cast<const long*>(key);
    return (stored.m_key < k) - (k < stored.m_key);
  }
};

namespace {

TEST(KTreeCompareTest, LongsCompareBySignOfTheDifference) {
  EXPECT_EQ(cmpFunc<long>(3, 5, 0), 1);
  EXPECT_EQ(cmpFunc<long>(5, 3, 0), -1);
  EXPECT_EQ(cmpFunc<long>(4, 4, 0), 0);
  EXPECT_EQ(cmpFunc<long>(LONG_MIN, LONG_MAX, 0), 1);  // no overflow
}

TEST(KTreeCompareTest, TextsCompareWithoutLetterCase) {
  EXPECT_EQ(cmpFunc<KString>(KString("a"), KString("B"), 0), -1);
  EXPECT_EQ(cmpFunc<KString>(KString("abc"), KString("ABC"), 0), 0);
  EXPECT_EQ(cmpFunc<KString>(KString("b"), KString("a"), 0), 1);
}

TEST(KTreeCompareTest, IdentifiedTextsWalkFromSmallestToGreatest) {
  KDataTreeItemRoot<KIDString> byText;
  KDataTreeItemRoot<KStringID> byId;
  const char* names[] = {"pear", "Apple", "fig"};
  for (long i = 0; i < 3; ++i) {
    byText.add(KIDString(i, KString(names[i])));
    byId.add(KStringID(KString(names[i]), 10 - i));
  }
  std::vector<std::string> order;
  for (const KIDString& v : walkValues(byText, 1)) order.push_back(v.m_string.str());
  EXPECT_EQ(order, (std::vector<std::string>{"Apple", "fig", "pear"}));
  std::vector<long> ids;
  for (const KStringID& v : walkValues(byId, 1)) ids.push_back(v.m_id);
  EXPECT_EQ(ids, (std::vector<long>{8, 9, 10}));
  EXPECT_NE(byText.find(static_cast<const void*>("APPLE")), nullptr);
  long id = 9;
  ASSERT_NE(byId.find(static_cast<const void*>(&id)), nullptr);
  EXPECT_EQ(byId.find(static_cast<const void*>(&id))->m_string, "Apple");
  KDataTreeItemRoot<KIDString> copy(byText);
  EXPECT_EQ(KTreeChecker::check(copy), "");
}

TEST(KTreeCompareTest, OptionNamesDifferingInCaseAreOneOption) {
  KDataTreeItemRoot<KOption<double>> tree;
  KOption<double> a;
  a.m_name = "Tolerance";
  a.m_value = 1.0;
  KOption<double> b = a;
  b.m_name = "TOLERANCE";
  b.m_value = 2.0;
  tree.add(a);
  bool added = true;
  tree.add(b, &added);
  EXPECT_FALSE(added);
  const KOption<double>* found = tree.find(static_cast<const void*>("tolerance"));
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->m_value, 2.0);
}

TEST(KGlobalUtilsTest, SignificantDigitComparison) {
  EXPECT_EQ(KGlobalUtils::cmpFunc(1.0, 1.0 + 1e-15, 0), 0);
  EXPECT_EQ(KGlobalUtils::cmpFunc(1.0, 1.0001, 0), 1);
  EXPECT_EQ(KGlobalUtils::cmpFunc(1.0001, 1.0, 54), -1);
  EXPECT_EQ(KGlobalUtils::cmpFunc(1.0, 1000.0, 195), 1);
  EXPECT_EQ(KGlobalUtils::cmpFunc(-5.0, 5.0, 210), 1);
  EXPECT_EQ(KGlobalUtils::cmpFunc(0.0, 0.0, 0), 0);
  EXPECT_EQ(KGlobalUtils::cmpFunc(9.99, 10.0, 0), 1);
}

// Near and below the smallest normal double the power of ten that scales
// the mantissas underflows; the comparison must still order the values.
TEST(KGlobalUtilsTest, SubnormalValuesKeepTheirOrder) {
  EXPECT_EQ(KGlobalUtils::cmpFunc(5e-324, 1e-323, 0), 1);
  EXPECT_EQ(KGlobalUtils::cmpFunc(1e-323, 5e-324, 0), -1);
  EXPECT_EQ(KGlobalUtils::cmpFunc(-5e-324, -1e-323, 0), -1);
  EXPECT_EQ(KGlobalUtils::cmpFunc(1e-323, 1e-323, 0), 0);
  EXPECT_EQ(KGlobalUtils::cmpFunc(3e-320, 3.1e-320, 0), 1);
  EXPECT_EQ(KGlobalUtils::cmpFunc(2e-308, 2.0000000001e-308, 0), 1);
  EXPECT_EQ(KGlobalUtils::cmpFunc(2e-308, 2e-308 * (1 + 1e-16), 0), 0);
  // Every neighbouring pair of the smallest subnormals, both ways.
  for (double a = 5e-324; a < 1e-320; a = std::nextafter(a, 1.0) * 1.5) {
    const double b = std::nextafter(a, 1.0);
    ASSERT_EQ(KGlobalUtils::cmpFunc(a, b, 0), 1) << a;
    ASSERT_EQ(KGlobalUtils::cmpFunc(b, a, 0), -1) << a;
  }
}

TEST(KGlobalUtilsTest, RelativeToleranceIdentifiers) {
  EXPECT_EQ(KGlobalUtils::cmpFunc(100.0, 100.005, 211), 0);
  EXPECT_EQ(KGlobalUtils::cmpFunc(1.0, -1.0, 211), -1);
  EXPECT_EQ(KGlobalUtils::cmpFunc(-1.0, 1.0, 212), 1);
  EXPECT_EQ(KGlobalUtils::cmpFunc(0.0, 1e-11, 212), 0);
  EXPECT_EQ(KGlobalUtils::cmpFunc(100.0, 101.0, 212), 1);
}

TEST(KGlobalUtilsTest, UnsetMarkersAreAlwaysEqual) {
  for (long id : {0L, 54L, 211L, 212L, 999L}) EXPECT_EQ(KGlobalUtils::cmpFunc(DBL_MIN, DBL_MIN, id), 0);
}

class KDiagnosticApplication : public KApplicationAbstract {
 public:
  bool IsDeveloperDiagnostics() override { return true; }
};

TEST(KGlobalUtilsTest, UnknownIdentifierIsReportedUnderDiagnosticsOnly) {
  std::vector<std::string> shown;
  KMessagePresenter previous = AfxSetMessagePresenter([&](const char* text, UINT) {
    shown.push_back(text);
    return IDOK;
  });
  EXPECT_EQ(KGlobalUtils::cmpFunc(1.0, 2.0, 7), 1);
  EXPECT_TRUE(shown.empty());
  KDiagnosticApplication app;
  KApplicationAbstract* old = KSetApplication(&app);
  EXPECT_EQ(KGlobalUtils::cmpFunc(1.0, 2.0, 7), 1);
  KSetApplication(old);
  AfxSetMessagePresenter(previous);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "KGlobalUtils::cmpFunc unknown treeId = 7");
}

TEST(KPointerTreeTest, DestroyingAnOwningTreeLeavesThePointeesAlive) {
  std::vector<std::unique_ptr<KOwnedValue>> values;
  {
    KTreeItem<KOwnedValue> tree;
    for (long k : {3L, 1L, 2L}) {
      values.push_back(std::make_unique<KOwnedValue>(k));
      tree.add(*values.back());
    }
    EXPECT_EQ(KTreeChecker::check(tree), "");
  }
  EXPECT_EQ(KOwnedValue::s_live, 3);
}

TEST(KPointerTreeTest, EmptyingWithCallDeleteDeletesValuesWhileIsEmptyAnswersTrue) {
  int before = KOwnedValue::s_live;
  KTreeItem<KOwnedValue> tree;
  for (long k = 0; k < 10; ++k) tree.add(*new KOwnedValue(k));
  bool added = true;
  KOwnedValue duplicate(4);
  tree.add(duplicate, &added);
  EXPECT_FALSE(added);  // the caller keeps `duplicate`
  long key = 5;
  long depth = 0;
  std::unique_ptr<KOwnedValue> removed(tree.remove(&key, depth));
  ASSERT_NE(removed, nullptr);
  EXPECT_EQ(removed->m_key, 5);
  KOwnedValue::s_tree = &tree;
  tree.emptyTree(tree, true, true);
  KOwnedValue::s_tree = nullptr;
  EXPECT_TRUE(KOwnedValue::s_emptyWhenNotified);
  EXPECT_EQ(KOwnedValue::s_live, before + 2);  // `duplicate` and `removed`
  EXPECT_EQ(tree.getCount(), 0);
}

TEST(KPointerTreeTest, ConstTreeCopiesShareThePointersNotTheItems) {
  long values[] = {5, 1, 9, 3};
  auto tree = std::make_unique<KConstTreeItem<long>>();
  for (long& v : values) tree->add(v);
  KConstTreeItem<long> copy(*tree);
  tree.reset();
  EXPECT_EQ(walkValues(copy, 1), (std::vector<long>{1, 3, 5, 9}));
  long key = 9;
  EXPECT_EQ(copy.find(static_cast<const void*>(&key)), &values[2]);
}

}  // namespace

TEST(KGlobalUtilsTest, NonFiniteValuesCompareWithoutDigits) {
  EXPECT_EQ(KGlobalUtils::cmpFunc(1.0, HUGE_VAL, 0), 1);
  EXPECT_EQ(KGlobalUtils::cmpFunc(HUGE_VAL, HUGE_VAL, 0), 0);
  EXPECT_EQ(KGlobalUtils::cmpFunc(NAN, 1.0, 0), 0);
}
