// Long random operation sequences against std::set with the same ordering.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "containers/trees/KTreeTestSupport.h"

namespace {

// The model orders values as the tree's in-order walk lists them.
template <class T>
struct WalkLess {
  bool operator()(const T& a, const T& b) const { return KTreeOrder<T>::compare(b, a, 0) < 0; }
};

const void* keyPtr(const long& v) { return &v; }
const void* keyPtr(const KString& v) { return v.GetString(); }

long randomValue(std::mt19937& rng, long) { return static_cast<long>(rng() % 3000); }
KString randomValue(std::mt19937& rng, KString) {
  static const char letters[] = "abcdeABCDE";
  KString s;
  int n = 1 + static_cast<int>(rng() % 4);
  for (int i = 0; i < n; ++i) s += letters[rng() % 10];
  return s;
}

template <class T>
void runAgainstModel(unsigned seed, int steps, int checkEvery) {
  using Tree = KDataTreeItemRoot<T>;
  using Model = std::set<T, WalkLess<T>>;
  std::mt19937 rng(seed);
  auto tree = std::make_unique<Tree>();
  Model model;
  for (int step = 0; step < steps; ++step) {
    unsigned op = rng() % 100;
    T v = randomValue(rng, T());
    if (op < 45) {
      bool added = false;
      tree->add(v, &added);
      auto it = model.find(v);
      ASSERT_EQ(added, it == model.end()) << "step " << step;
      if (it != model.end()) model.erase(it);
      model.insert(v);  // the stored value takes the new form
    } else if (op < 65) {
      const T* found = tree->find(keyPtr(v));
      ASSERT_EQ(found != nullptr, model.count(v) == 1) << "step " << step;
      long depth;
      ASSERT_EQ(tree->find(v, depth) != nullptr, model.count(v) == 1);
    } else if (op < 90) {
      long result = tree->remove(keyPtr(v));
      ASSERT_EQ(result >= 0, model.erase(v) == 1) << "step " << step;
    } else if (op < 96) {
      // Bulk load; without `unique` only values new to the tree and to the
      // batch are offered, so the result is still a set.
      bool unique = rng() % 2 == 0;
      tree->convertToLinkedList(false);
      int n = static_cast<int>(rng() % 40);
      Model batch;
      for (int i = 0; i < n; ++i) {
        T w = randomValue(rng, T());
        if (!unique && (model.count(w) || batch.count(w))) continue;
        tree->add(w);
        batch.insert(w);
      }
      ASSERT_EQ(KTreeChecker::check(*tree), "");
      tree->convertFromLinkedList(unique);
      for (const T& w : batch) model.insert(w);
    } else if (op < 98) {
      auto copy = std::make_unique<Tree>(*tree);
      tree = std::move(copy);
    } else {
      Tree copy;
      copy = *tree;
      *tree = copy;
    }
    ASSERT_EQ(tree->getCount(), static_cast<long>(model.size())) << "step " << step;
    if (step % checkEvery == 0 || step == steps - 1) {
      ASSERT_EQ(KTreeChecker::check(*tree), "") << "step " << step;
      auto values = walkValues(*tree, KTreeIteratorBase::kInOrder);
      ASSERT_EQ(values.size(), model.size());
      auto m = model.begin();
      for (size_t i = 0; i < values.size(); ++i, ++m)
        ASSERT_EQ(KTreeOrder<T>::compare(values[i], *m, 0), 0) << "step " << step << " index " << i;
    }
  }
}

TEST(KTreeDifferentialTest, LongValuesSmallTreeCheckedEveryStep) {
  runAgainstModel<long>(1, 3000, 1);
}

TEST(KTreeDifferentialTest, LongValuesLongSequences) {
  for (unsigned seed : {7u, 99u}) runAgainstModel<long>(seed, 20000, 50);
}

TEST(KTreeDifferentialTest, CaseInsensitiveTextsCheckedEveryStep) {
  runAgainstModel<KString>(3, 3000, 1);
}

TEST(KTreeDifferentialTest, CaseInsensitiveTextsLongSequences) {
  runAgainstModel<KString>(11, 20000, 50);
}

TEST(KTreeDifferentialTest, TextsKeepTheLetterCaseOfTheLastAdd) {
  KDataTreeItemRoot<KString> tree;
  tree.add(KString("abc"));
  tree.add(KString("ABC"));
  ASSERT_NE(tree.find(static_cast<const void*>("aBc")), nullptr);
  EXPECT_EQ(*tree.find(static_cast<const void*>("aBc")), "ABC");
}

}  // namespace
