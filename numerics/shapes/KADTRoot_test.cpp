#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "geometry/coords/K1dLine.h"
#include "geometry/coords/K2dRect.h"
#include "numerics/shapes/KADTRoot.h"

namespace {
int g_deleted = 0;

template <class B>
class KTestBounds : public KADTItem<KTestBounds<B>, B, double> {
 public:
  explicit KTestBounds(const B& keys) : m_keys(keys) {}
  ~KTestBounds() override { ++g_deleted; }
  const B& keys() const { return m_keys; }
  B m_keys;
};
using KTestInterval = KTestBounds<K1dLine>;
using KIntervalTree = KADTRoot<KTestInterval, K1dLine, double>;

// The search exactly as the walk is defined, recursively: the order of the
// results must agree too.
void referenceWalk(const KTestInterval* node, KADTData<K1dLine, double> walk, std::vector<const KTestInterval*>& out) {
  const KADTFixedData<K1dLine, double>& fixed = *walk.m_pFixed;
  if (!fixed.m_pTest || fixed.m_pTest(node->keys(), fixed.m_query, 1)) out.push_back(node);
  if (!node->m_pRight) {
    if (node->m_pLeft) {
      walk.descend(true);
      if (walk.meets(walk.previousKey())) referenceWalk(node->m_pLeft, walk, out);
    }
    return;
  }
  if (node->m_pLeft) {
    KADTData<K1dLine, double> left = walk;
    left.descend(true);
    if (left.meets(left.previousKey())) referenceWalk(node->m_pLeft, left, out);
  }
  walk.descend(false);
  if (walk.meets(walk.previousKey())) referenceWalk(node->m_pRight, walk, out);
}

bool bruteTest(const K1dLine& item, const K1dLine& q, int kind) {
  switch (kind) {
    case 0: return item.low() >= q.low() && item.high() <= q.high();
    case 1: return item.high() >= q.low() && q.high() >= item.low();
    default: return item.high() > q.low() && q.high() > item.low();
  }
}

// In walk order.
std::vector<const KTestInterval*> searchAll(const KIntervalTree& tree, const K1dLine& q, int kind) {
  KHSimpleArray<KTestInterval*> results;
  long n = tree.search(q, results, kind);
  return std::vector<const KTestInterval*>(results.getData(), results.getData() + std::max(n, 0L));
}

std::vector<const KTestInterval*> sortedSearch(const KIntervalTree& tree, const K1dLine& q, int kind) {
  std::vector<const KTestInterval*> found = searchAll(tree, q, kind);
  std::sort(found.begin(), found.end());
  return found;
}

struct Forest {
  std::vector<std::unique_ptr<KTestInterval>> items;
  KIntervalTree tree{1, true};
  explicit Forest(const K1dLine& domain) { tree.reset(domain); }
  KTestInterval* add(double a, double b) {
    items.push_back(std::make_unique<KTestInterval>(K1dLine(a, b)));
    return tree.insert(items.back().get()) ? nullptr : items.back().get();
  }
};
}  // namespace

TEST(KADTRootTest, QueryKindsOnThreeIntervals) {
  Forest f(K1dLine(0, 3));
  KTestInterval* a = f.add(0, 1);
  KTestInterval* b = f.add(2, 3);
  KTestInterval* c = f.add(0.5, 2.5);
  ASSERT_TRUE(a && b && c);
  EXPECT_EQ(f.tree.getCount(), 3);
  using V = std::vector<const KTestInterval*>;
  // Preorder: the root, its left subtree ([0.5, 2.5] has key 0 below 1.5),
  // then its right subtree.
  EXPECT_EQ(searchAll(f.tree, K1dLine(1, 2), kADTOverlaps), (V{a, c, b}));
  V all{a, b, c};
  std::sort(all.begin(), all.end());
  EXPECT_EQ(sortedSearch(f.tree, K1dLine(1, 2), kADTOverlaps), all);
  EXPECT_EQ(searchAll(f.tree, K1dLine(1, 2), kADTOverlapsStrictly), (V{c}));
  EXPECT_EQ(sortedSearch(f.tree, K1dLine(0, 3), kADTInside), all);
  EXPECT_EQ(searchAll(f.tree, K1dLine(0.6, 0.9), kADTInside), V{});
  EXPECT_EQ(searchAll(f.tree, K1dLine(0, 1), kADTInside), (V{a}));
  EXPECT_EQ(searchAll(f.tree, K1dLine(3, 3), kADTOverlaps), (V{b}));
  EXPECT_EQ(searchAll(f.tree, K1dLine(3, 3), kADTOverlapsStrictly), V{});
  // Kind 3 reports what the walk meets: the root always, a child when its
  // half of key 0 ([0, 1.5] left, [1.5, 3] right) meets the query.
  EXPECT_EQ(searchAll(f.tree, K1dLine(2, 3), kADTPrunedWalk), (V{a, b}));
  EXPECT_EQ(searchAll(f.tree, K1dLine(0, 1), kADTPrunedWalk), (V{a, c}));
  EXPECT_EQ(searchAll(f.tree, K1dLine(1.5, 1.5), kADTPrunedWalk), (V{a, c, b}));
  KHSimpleArray<KTestInterval*> results;
  EXPECT_EQ(f.tree.search(K1dLine(0, 3), results, 4), -1);
  EXPECT_EQ(f.tree.search(K1dLine(0, 3), results, -1), -1);
}

TEST(KADTRootTest, KeysEqualToTheSplitGoRight) {
  Forest f(K1dLine(0, 4));
  KTestInterval* root = f.add(1, 1);
  KTestInterval* atSplit = f.add(2, 3);        // key 0 equals the split 2
  KTestInterval* below = f.add(1.999, 3.5);    // key 0 below it
  ASSERT_TRUE(root && atSplit && below);
  EXPECT_EQ(root->m_pRight, atSplit);
  EXPECT_EQ(root->m_pLeft, below);
  EXPECT_EQ(atSplit->m_pParent, root);
  // Level 1 splits key 1 over [0, 4] at 2: max 3.5 >= 2 goes right of `below`.
  KTestInterval* next = f.add(0.5, 3.5);
  EXPECT_EQ(below->m_pRight, next);
  KTestInterval* low = f.add(0.5, 1.5);
  EXPECT_EQ(below->m_pLeft, low);
  EXPECT_EQ(f.tree.height(), 3);
}

TEST(KADTRootTest, HeightAndEmptyTrees) {
  Forest f(K1dLine(0, 1));
  EXPECT_EQ(f.tree.height(), 0);
  KHSimpleArray<KTestInterval*> results;
  EXPECT_EQ(f.tree.search(K1dLine(0, 1), results, kADTOverlaps), 0);
  f.add(0.2, 0.3);
  EXPECT_EQ(f.tree.height(), 1);
  f.add(0.7, 0.8);
  EXPECT_EQ(f.tree.height(), 2);
  f.add(0.1, 0.2);
  EXPECT_EQ(f.tree.height(), 2);
  f.add(0.6, 0.9);
  EXPECT_EQ(f.tree.height(), 3);
  f.tree.clear();
  EXPECT_EQ(f.tree.height(), 0);
  EXPECT_EQ(f.tree.getCount(), 0);
}

TEST(KADTRootTest, KeysOutsideTheDomainOrNotNumbersAreRefused) {
  Forest f(K1dLine(0, 1));
  EXPECT_EQ(f.add(-0.5, 0.5), nullptr);
  EXPECT_EQ(f.add(0.5, 1.5), nullptr);
  EXPECT_EQ(f.add(std::nan(""), 0.5), nullptr);
  EXPECT_EQ(f.tree.getCount(), 0);
  EXPECT_NE(f.add(0, 1), nullptr);
  EXPECT_EQ(f.tree.getCount(), 1);
  Forest empty{K1dLine()};  // the empty domain holds nothing
  EXPECT_EQ(empty.add(0.5, 0.5), nullptr);
}

TEST(KADTRootTest, ResultsGrowOnlyWhenTooShortAndKeepTheirTail) {
  Forest f(K1dLine(0, 10));
  for (int i = 0; i < 10; ++i) f.add(i, i + 1);
  KHSimpleArray<KTestInterval*> small;
  small.setSize(2);
  EXPECT_EQ(f.tree.search(K1dLine(0, 10), small, kADTInside), 10);
  EXPECT_GE(small.getCount(), 10);
  KHSimpleArray<KTestInterval*> large;
  large.setSize(20);
  KTestInterval* marker = f.items[0].get();
  for (int i = 0; i < 20; ++i) large[i] = marker;
  EXPECT_EQ(f.tree.search(K1dLine(3.5, 5.5), large, kADTOverlaps), 3);
  EXPECT_EQ(large.getCount(), 20);
  EXPECT_EQ(large[3], marker);
}

TEST(KADTRootTest, SearchAgreesWithBruteForceAndTheRecursiveWalk) {
  std::mt19937 rng(5);
  for (int round = 0; round < 40; ++round) {
    int n = 1 + round * 37 % 700;
    double width = (round % 4 == 0) ? 0.001 : 0.2;
    std::uniform_real_distribution<double> u(0, 1), w(0, width);
    // Some rounds draw from few distinct values, so that equal keys and
    // touching intervals are common.
    auto value = [&] { return round % 3 == 0 ? std::floor(u(rng) * 8) / 8 : u(rng); };
    Forest f(K1dLine(0, 1 + width));
    for (int i = 0; i < n; ++i) {
      double a = value();
      ASSERT_NE(f.add(a, round % 3 == 0 ? a + std::floor(w(rng) * 40) / 40 : a + w(rng)), nullptr);
    }
    for (int qi = 0; qi < 60; ++qi) {
      double a = u(rng) * 1.4 - 0.2, b = a + (qi % 5 == 0 ? 0.0 : w(rng) * 3);
      if (round % 3 == 0) a = std::floor(a * 8) / 8, b = std::floor(b * 8) / 8;
      K1dLine q(a, b);
      for (int kind = 0; kind < 4; ++kind) {
        std::vector<const KTestInterval*> got = searchAll(f.tree, q, kind);
        KADTFixedData<K1dLine, double> fixed;
        // The reference walk uses the tree's own range set-up but its own
        // recursion and result list.
        std::vector<const KTestInterval*> walked;
        fixed.m_query = q;
        fixed.m_nKeys = 2;
        fixed.m_nDims = 1;
        double lo0 = q.low(), hi0 = q.high(), lo1 = q.low(), hi1 = q.high();
        if (kind == 1 || kind == 2) {
          lo0 = std::min(f.tree.getDomain().low(), q.high());
          hi0 = std::max(f.tree.getDomain().low(), q.high());
          lo1 = std::min(q.low(), f.tree.getDomain().high());
          hi1 = std::max(q.low(), f.tree.getDomain().high());
        }
        fixed.m_rangeLow[0] = lo0, fixed.m_rangeHigh[0] = hi0;
        fixed.m_rangeLow[1] = lo1, fixed.m_rangeHigh[1] = hi1;
        static bool (*const tests[3])(const K1dLine&, const K1dLine&, int) = {
            [](const K1dLine& i, const K1dLine& qq, int) { return bruteTest(i, qq, 0); },
            [](const K1dLine& i, const K1dLine& qq, int) { return bruteTest(i, qq, 1); },
            [](const K1dLine& i, const K1dLine& qq, int) { return bruteTest(i, qq, 2); }};
        fixed.m_pTest = kind < 3 ? tests[kind] : nullptr;
        referenceWalk(f.tree.getRoot(), KADTData<K1dLine, double>(f.tree.getDomain(), &fixed), walked);
        ASSERT_EQ(got, walked) << "round " << round << " kind " << kind;
        if (kind == 3) {
          for (const KTestInterval* item : searchAll(f.tree, q, 0))
            EXPECT_NE(std::find(got.begin(), got.end(), item), got.end());
          continue;
        }
        std::vector<const KTestInterval*> brute;
        for (const auto& item : f.items)
          if (bruteTest(item->keys(), q, kind)) brute.push_back(item.get());
        std::sort(got.begin(), got.end());
        std::sort(brute.begin(), brute.end());
        ASSERT_EQ(got, brute) << "round " << round << " kind " << kind << " q " << a << " " << b;
      }
    }
  }
}

TEST(KADTRootTest, RectanglesInTwoDimensionsAgreeWithBruteForce) {
  using Item = KTestBounds<K2dRect>;
  std::mt19937 rng(9);
  std::uniform_real_distribution<double> u(0, 1), w(0, 0.1);
  for (bool interval : {true, false}) {
    std::vector<std::unique_ptr<Item>> items;
    KADTRoot<Item, K2dRect, double> tree(2, interval);
    tree.reset(K2dRect(0, 0, 1.1, 1.1));
    for (int i = 0; i < 500; ++i) {
      double x = u(rng), y = u(rng);
      K2dRect r = interval ? K2dRect(x, y, x + w(rng), y + w(rng)) : K2dRect(K2dCoords(x, y));
      items.push_back(std::make_unique<Item>(r));
      ASSERT_FALSE(tree.insert(items.back().get()));
    }
    for (int qi = 0; qi < 100; ++qi) {
      double x = u(rng), y = u(rng);
      K2dRect q(x, y, x + w(rng) * 3, y + w(rng) * 3);
      for (int kind = 0; kind < 3; ++kind) {
        KHSimpleArray<Item*> results;
        long n = tree.search(q, results, kind);
        std::vector<Item*> got(results.getData(), results.getData() + n), brute;
        for (const auto& item : items) {
          const K2dRect& r = item->keys();
          bool in = r.getMin().x() >= q.getMin().x() && r.getMax().x() <= q.getMax().x() &&
                    r.getMin().y() >= q.getMin().y() && r.getMax().y() <= q.getMax().y();
          bool over = r.getMax().x() >= q.getMin().x() && q.getMax().x() >= r.getMin().x() &&
                      r.getMax().y() >= q.getMin().y() && q.getMax().y() >= r.getMin().y();
          bool strict = r.getMax().x() > q.getMin().x() && q.getMax().x() > r.getMin().x() &&
                        r.getMax().y() > q.getMin().y() && q.getMax().y() > r.getMin().y();
          // Point items: overlap is containment.
          bool want = kind == 0 ? in : kind == 1 ? (interval ? over : in) : strict;
          if (want) brute.push_back(item.get());
        }
        std::sort(got.begin(), got.end());
        std::sort(brute.begin(), brute.end());
        ASSERT_EQ(got, brute) << interval << " kind " << kind;
      }
    }
  }
}

TEST(KADTRootTest, EqualKeysMakeAChainThatEveryWalkSurvives) {
  const int n = 15000;  // each insert walks the whole chain
  std::vector<KTestInterval*> raw;
  KIntervalTree tree(1, true);
  tree.reset(K1dLine(0, 1));
  for (int i = 0; i < n; ++i) {
    raw.push_back(new KTestInterval(K1dLine(0.25, 0.5)));
    ASSERT_FALSE(tree.insert(raw.back()));
  }
  EXPECT_EQ(tree.height(), n);
  KHSimpleArray<KTestInterval*> results;
  EXPECT_EQ(tree.search(K1dLine(0.3, 0.4), results, kADTOverlaps), n);
  EXPECT_EQ(tree.search(K1dLine(0.6, 0.7), results, kADTOverlaps), 0);
  // A left-leaning chain with a right leaf at every level: the pending right
  // children pile up on the walk stack.
  KIntervalTree zig(1, true);
  zig.reset(K1dLine(0, 1));
  std::vector<std::unique_ptr<KTestInterval>> owned;
  for (int i = 0; i < 2000; ++i) {
    owned.push_back(std::make_unique<KTestInterval>(K1dLine(0.0, 0.0)));
    ASSERT_FALSE(zig.insert(owned.back().get()));
  }
  EXPECT_EQ(zig.search(K1dLine(0, 0), results, kADTInside), 2000);

  g_deleted = 0;
  KTestInterval* root = tree.getRoot();
  tree.clear();
  root->deleteSubtree();
  EXPECT_EQ(g_deleted, n);
}

TEST(KADTRootTest, DeleteSubtreeDeletesChildrenFirstAndUnlinksFromTheParent) {
  KIntervalTree tree(1, true);
  tree.reset(K1dLine(0, 1));
  std::vector<KTestInterval*> raw;
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(0, 0.5);
  for (int i = 0; i < 300; ++i) {
    double a = u(rng);
    raw.push_back(new KTestInterval(K1dLine(a, a + u(rng))));
    ASSERT_FALSE(tree.insert(raw.back()));
  }
  KTestInterval* root = tree.getRoot();
  KTestInterval* left = root->m_pLeft;
  ASSERT_NE(left, nullptr);
  auto count = [](KTestInterval* node) {
    int c = 0;
    std::vector<KTestInterval*> stack{node};
    while (!stack.empty()) {
      KTestInterval* x = stack.back();
      stack.pop_back();
      if (!x) continue;
      ++c;
      stack.push_back(x->m_pLeft);
      stack.push_back(x->m_pRight);
    }
    return c;
  };
  int inLeft = count(left), total = count(root);
  EXPECT_EQ(total, 300);
  g_deleted = 0;
  left->deleteSubtree();
  EXPECT_EQ(g_deleted, inLeft);
  EXPECT_EQ(root->m_pLeft, nullptr);
  EXPECT_EQ(count(root), 300 - inLeft);
  g_deleted = 0;
  root->deleteSubtree();
  EXPECT_EQ(g_deleted, 300 - inLeft);
}

TEST(KADTRootTest, PathOrderIsAPermutationThatBecomesThePreorder) {
  std::mt19937 rng(21);
  std::uniform_real_distribution<double> u(0, 1), w(0, 0.05);
  const long n = 3000;
  std::vector<K1dLine> keys;
  for (long i = 0; i < n; ++i) {
    double a = u(rng);
    keys.emplace_back(a, a + w(rng));
  }
  keys.emplace_back(0.5, std::nan(""));  // quantised as the domain's low end; never inserted
  KIntervalTree tree(1, true);
  tree.reset(K1dLine(0, 1.05));
  std::vector<long> order;
  ASSERT_FALSE(tree.pathOrder(keys.data(), n + 1, order));
  ASSERT_EQ(static_cast<long>(order.size()), n + 1);
  std::vector<long> sorted = order;
  std::sort(sorted.begin(), sorted.end());
  for (long i = 0; i <= n; ++i) ASSERT_EQ(sorted[i], i);

  std::vector<std::unique_ptr<KTestInterval>> items;
  std::vector<const KTestInterval*> inserted;
  for (long i : order) {
    if (i == n) continue;
    items.push_back(std::make_unique<KTestInterval>(keys[i]));
    ASSERT_FALSE(tree.insert(items.back().get()));
    inserted.push_back(items.back().get());
  }
  EXPECT_EQ(searchAll(tree, tree.getDomain(), kADTPrunedWalk), inserted);
  // The same items inserted in input order answer the same queries.
  KIntervalTree plain(1, true);
  plain.reset(tree.getDomain());
  std::vector<std::unique_ptr<KTestInterval>> copies;
  for (long i = 0; i < n; ++i) {
    copies.push_back(std::make_unique<KTestInterval>(keys[i]));
    ASSERT_FALSE(plain.insert(copies.back().get()));
  }
  for (int qi = 0; qi < 200; ++qi) {
    double a = u(rng);
    K1dLine q(a, a + w(rng));
    for (int kind = 0; kind < 3; ++kind)
      EXPECT_EQ(searchAll(tree, q, kind).size(), searchAll(plain, q, kind).size()) << qi << " " << kind;
  }
  EXPECT_LT(tree.height(), 40);
}
