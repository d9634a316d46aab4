// KADTRoot: an alternating digital tree that indexes items carrying bounds
// (intervals, or points) so that the items inside or overlapping a query are
// found without scanning them all.
//
// Each item's bounds are a point in key space (see KADTData.h for the keys).
// Every item is one node; the root's children split the domain of key 0 in
// halves, theirs key 1, and so on alternating. Invariant: the keys of every
// item lie in the region of its node (the domain halved along its path), so
// a search may skip any subtree whose region cannot meet the query.
//
//   insert: from the root, go left when split > key, else right (a key equal
//           to the split goes right); the item takes the first free child.
//   search: preorder walk; a node's item is tested, a child is entered only
//           when the key just split still meets the query's range.
//
// The tree links items and owns none of them. Walks keep their state on the
// stack (a deep, degenerate tree spills to the heap); nothing is allocated
// otherwise. Single-threaded: searches of an unchanged tree do not interfere.
#pragma once
#include <algorithm>
#include <cmath>
#include <new>
#include <utility>
#include <vector>

#include "containers/memory/KSimpleArray.h"
#include "numerics/shapes/KADTData.h"
#include "numerics/shapes/KADTItem.h"

template <class Item>
class KADTRootBase {
 public:
  virtual ~KADTRootBase() = default;
  // Number of levels: 0 for an empty tree, 1 for a root without children.
  virtual int height() const = 0;
};

// Query kinds of KADTRoot::search.
enum KADTQueryKind {
  kADTInside = 0,            // item.min >= q.min and item.max <= q.max
  kADTOverlaps = 1,          // item.max >= q.min and q.max >= item.min
  kADTOverlapsStrictly = 2,  // item.max > q.min and q.max > item.min
  kADTPrunedWalk = 3         // every item met in the walk pruned as kind 0
};

template <class Item, class B, class T>
class KADTRoot : public KADTRootBase<Item> {
 public:
  // dims: the dimension count (at most B::kCount); interval: the items are
  // intervals (two keys per dimension) rather than points.
  KADTRoot(int dims, bool interval) : m_nDims(dims), m_bInterval(interval) {}
  KADTRoot(const KADTRoot&) = delete;
  KADTRoot& operator=(const KADTRoot&) = delete;
  // Forgets the items; deletes none.
  ~KADTRoot() override { clear(); }

  int height() const override;
  virtual long getSizeOfThis() const { return static_cast<long>(sizeof(*this)); }

  // Forgets every item (deleting none) and makes `domain` the key range.
  void reset(const B& domain) {
    clear();
    m_domain = domain;
  }
  void clear() {
    m_pRoot = nullptr;
    m_nCount = 0;
  }

  // Links `item` into the tree (the tree takes no ownership). True (error)
  // and nothing linked when one of its keys is not a number or lies outside
  // the domain: such an item would sit in a region that does not hold it,
  // and searches would miss it.
  bool insert(Item* item);

  // Appends to `results` (from index 0) the items that pass query kind `kind`
  // (KADTQueryKind) and answers their count; 0 for an empty tree, -1 for an
  // unknown kind. Entries past the count are left as they were. `results`
  // grows only when it holds fewer entries than the items found.
  long search(const B& query, KSimpleArray<Item*>& results, int kind) const;

  // The order in which to create and insert items with the bounds
  // keys[0 .. n-1] (indices into keys, in `order`): the order of the tree's
  // descent, with the keys quantised to the domain. Items inserted in this
  // order become a preorder of the tree, so that items created in it lie in
  // memory as the walks visit them and each insert finds its path cached.
  // Any order gives the same search results. True when memory runs out.
  bool pathOrder(const B* keys, long n, std::vector<long>& order) const;

  Item* getRoot() const { return m_pRoot; }
  long getCount() const { return m_nCount; }
  const B& getDomain() const { return m_domain; }
  int getKeyCount() const { return (m_bInterval ? 2 : 1) * m_nDims; }

 private:
  T keyOf(const B& keys, int k) const { return k < m_nDims ? keys.getMin()[k] : keys.getMax()[k - m_nDims]; }
  KADTFixedData<B, T> makeFixed(const B& query, int kind) const;
  template <class Test>
  long walk(const KADTFixedData<B, T>& fixed, KSimpleArray<Item*>& results, Test test) const;
  // The low 32 bits of v moved to the even bit positions.
  static unsigned long long spreadBits(unsigned long long v) {
    v &= 0xFFFFFFFFULL;
    v = (v | (v << 16)) & 0x0000FFFF0000FFFFULL;
    v = (v | (v << 8)) & 0x00FF00FF00FF00FFULL;
    v = (v | (v << 4)) & 0x0F0F0F0F0F0F0F0FULL;
    v = (v | (v << 2)) & 0x3333333333333333ULL;
    v = (v | (v << 1)) & 0x5555555555555555ULL;
    return v;
  }

  Item* m_pRoot = nullptr;
  long m_nCount = 0;
  B m_domain;
  int m_nDims;
  bool m_bInterval;
};

// A last-in first-out stack of walk entries: 128 entries inline (left
// uninitialised until used), on the heap beyond that, which only a
// degenerate tree needs.
template <class E>
class KADTWalkStack {
 public:
  KADTWalkStack() {}
  ~KADTWalkStack() {}
  KADTWalkStack(const KADTWalkStack&) = delete;
  KADTWalkStack& operator=(const KADTWalkStack&) = delete;

  // The slot above the top, to be filled and then kept or dropped by
  // commit(); walks push this way without a branch on the condition.
  E* slot() {
    if (m_nUsed == m_nCapacity) grow();
    return m_pBase + m_nUsed;
  }
  void commit(bool keep) { m_nUsed += keep ? 1 : 0; }
  void push(const E& e) {
    *slot() = e;
    ++m_nUsed;
  }
  bool pop(E& e) {
    if (m_nUsed == 0) return false;
    e = m_pBase[--m_nUsed];
    return true;
  }

 private:
  void grow() {
    if (m_spill.empty()) m_spill.assign(m_pBase, m_pBase + m_nUsed);
    m_spill.resize(m_spill.size() * 2);
    m_pBase = m_spill.data();
    m_nCapacity = static_cast<long>(m_spill.size());
  }
  static constexpr long kInline = 128;
  union {
    E m_inline[kInline];
  };
  E* m_pBase = m_inline;
  long m_nUsed = 0;
  long m_nCapacity = kInline;
  std::vector<E> m_spill;
};

// The final tests of the query kinds, over the first `dims` dimensions.
template <class B>
struct KADTTests {
  static bool inside(const B& item, const B& q, int dims) {
    for (int d = 0; d < dims; ++d)
      if (!(item.getMin()[d] >= q.getMin()[d] && item.getMax()[d] <= q.getMax()[d])) return false;
    return true;
  }
  static bool overlaps(const B& item, const B& q, int dims) {
    for (int d = 0; d < dims; ++d)
      if (!(item.getMax()[d] >= q.getMin()[d] && q.getMax()[d] >= item.getMin()[d])) return false;
    return true;
  }
  static bool overlapsStrictly(const B& item, const B& q, int dims) {
    for (int d = 0; d < dims; ++d)
      if (!(item.getMax()[d] > q.getMin()[d] && q.getMax()[d] > item.getMin()[d])) return false;
    return true;
  }
};

template <class Item, class B, class T>
int KADTRoot<Item, B, T>::height() const {
  struct Entry {
    const Item* node;
    int depth;
  };
  if (!m_pRoot) return 0;
  int best = 0;
  KADTWalkStack<Entry> stack;
  Entry e{m_pRoot, 1};
  do {
    if (e.depth > best) best = e.depth;
    if (e.node->m_pLeft) stack.push(Entry{e.node->m_pLeft, e.depth + 1});
    if (e.node->m_pRight) stack.push(Entry{e.node->m_pRight, e.depth + 1});
  } while (stack.pop(e));
  return best;
}

template <class Item, class B, class T>
bool KADTRoot<Item, B, T>::insert(Item* item) {
  const B& keys = item->keys();
  int nKeys = getKeyCount();
  for (int k = 0; k < nKeys; ++k) {
    int d = k % m_nDims;
    T key = keyOf(keys, k);
    if (!(key >= m_domain.getMin()[d] && key <= m_domain.getMax()[d])) return true;
  }
  item->m_pLeft = item->m_pRight = item->m_pParent = nullptr;
  ++m_nCount;
  if (!m_pRoot) {
    m_pRoot = item;
    return false;
  }
  KADTFixedData<B, T> fixed;
  fixed.m_nKeys = nKeys;
  fixed.m_nDims = m_nDims;
  KADTData<B, T> walk(m_domain, &fixed);
  Item* node = m_pRoot;
  for (;;) {
    bool left = walk.m_split > keyOf(keys, walk.m_nKey);
    Item*& child = left ? node->m_pLeft : node->m_pRight;
    if (!child) {
      child = item;
      item->m_pParent = node;
      return false;
    }
    walk.descend(left);
    node = child;
  }
}

template <class Item, class B, class T>
KADTFixedData<B, T> KADTRoot<Item, B, T>::makeFixed(const B& query, int kind) const {
  KADTFixedData<B, T> fixed;
  fixed.m_query = query;
  fixed.m_nDims = m_nDims;
  fixed.m_nKeys = getKeyCount();
  // Point items have no separate maximum key: overlap is containment.
  if (kind == kADTOverlaps && fixed.m_nKeys == m_nDims) kind = kADTInside;
  for (int k = 0; k < fixed.m_nKeys; ++k) {
    int d = k % m_nDims;
    T low = query.getMin()[d], high = query.getMax()[d];
    if (kind == kADTOverlaps || kind == kADTOverlapsStrictly) {
      if (k < m_nDims)
        low = m_domain.getMin()[d];  // a minimum key may lie anywhere below q.max
      else
        high = m_domain.getMax()[d];  // a maximum key anywhere above q.min
      if (low > high) std::swap(low, high);
    }
    fixed.m_rangeLow[k] = low;
    fixed.m_rangeHigh[k] = high;
  }
  switch (kind) {
    case kADTInside:
      fixed.m_pTest = &KADTTests<B>::inside;
      break;
    case kADTOverlaps:
      fixed.m_pTest = &KADTTests<B>::overlaps;
      break;
    case kADTOverlapsStrictly:
      fixed.m_pTest = &KADTTests<B>::overlapsStrictly;
      break;
    default:
      fixed.m_pTest = nullptr;
      break;
  }
  return fixed;
}

template <class Item, class B, class T>
long KADTRoot<Item, B, T>::search(const B& query, KSimpleArray<Item*>& results, int kind) const {
  if (kind < kADTInside || kind > kADTPrunedWalk) return -1;
  if (!m_pRoot) return 0;
  const KADTFixedData<B, T> fixed = makeFixed(query, kind);
  // The final test is bound at compile time for the common kinds: the walk
  // visits tens of nodes per query and an indirect call at each would cost
  // more than the test itself.
  const int dims = m_nDims;
  if (fixed.m_pTest == &KADTTests<B>::overlaps)
    return walk(fixed, results, [&](const B& k) { return KADTTests<B>::overlaps(k, query, dims); });
  if (fixed.m_pTest == &KADTTests<B>::inside)
    return walk(fixed, results, [&](const B& k) { return KADTTests<B>::inside(k, query, dims); });
  if (fixed.m_pTest)
    return walk(fixed, results, [&](const B& k) { return fixed.m_pTest(k, query, dims); });
  return walk(fixed, results, [](const B&) { return true; });
}

template <class Item, class B, class T>
template <class Test>
long KADTRoot<Item, B, T>::walk(const KADTFixedData<B, T>& fixed, KSimpleArray<Item*>& results, Test test) const {
  struct Entry {
    const Item* node;
    KADTData<B, T> walk;
  };
  long found = 0;
  long capacity = results.getCount();
  Item** out = results.getData();
  // Preorder: a node, its left subtree, then its right subtree (the right
  // child is pushed first). The children are pushed unconditionally and kept
  // or dropped by their test, so that the walk does not branch on the
  // shape of the tree.
  KADTWalkStack<Entry> stack;
  stack.push(Entry{m_pRoot, KADTData<B, T>(m_domain, &fixed)});
  Entry e;
  while (stack.pop(e)) {
    const Item* node = e.node;
    if (test(node->keys())) {
      Item* hit = const_cast<Item*>(node);
      if (found < capacity) {
        out[found] = hit;
      } else {
        results.setAtGrow(found, hit, found + 1);
        capacity = results.getCount();
        out = results.getData();
      }
      ++found;
    }
    Entry* right = stack.slot();
    right->node = node->m_pRight;
    right->walk = e.walk;
    int k = right->walk.descend(false);
    stack.commit((right->node != nullptr) & right->walk.meets(k));
    Entry* left = stack.slot();
    left->node = node->m_pLeft;
    left->walk = e.walk;
    k = left->walk.descend(true);
    stack.commit((left->node != nullptr) & left->walk.meets(k));
  }
  return found;
}

template <class Item, class B, class T>
bool KADTRoot<Item, B, T>::pathOrder(const B* keys, long n, std::vector<long>& order) const {
  struct Coded {
    unsigned long long code;
    long index;
  };
  // 48 bits of code: enough to order a million items to well below the
  // depth at which subtrees hold single items, and three 16-bit passes.
  constexpr int kCodeBits = 48;
  const int nKeys = getKeyCount();
  const int bits = kCodeBits / nKeys;  // per key
  try {
    std::vector<Coded> a(static_cast<size_t>(n)), b(static_cast<size_t>(n));
    // Key k maps to (key - low) * scale, clamped to [0, top]; NaN maps to 0.
    const double top = std::ldexp(1.0, bits) - 1.0;
    double low[kADTMaxKeys<B>], scale[kADTMaxKeys<B>];
    for (int k = 0; k < nKeys; ++k) {
      int d = k % m_nDims;
      low[k] = m_domain.getMin()[d];
      double width = m_domain.getMax()[d] - low[k];
      scale[k] = width > 0 ? std::ldexp(1.0, bits) / width : 0.0;
    }
    for (long i = 0; i < n; ++i) {
      unsigned long long q[kADTMaxKeys<B>];
      for (int k = 0; k < nKeys; ++k) {
        double v = (static_cast<double>(keyOf(keys[i], k)) - low[k]) * scale[k];
        v = v >= 0.0 ? (v < top ? v : top) : 0.0;
        q[k] = static_cast<unsigned long long>(v);
      }
      // Level l takes the next bit of key l mod nKeys, most significant first.
      unsigned long long code = 0;
      if (nKeys == 2) {
        code = (spreadBits(q[0]) << 1) | spreadBits(q[1]);
      } else {
        for (int level = 0; level < bits * nKeys; ++level) {
          int k = level % nKeys;
          code = (code << 1) | ((q[k] >> (bits - 1 - level / nKeys)) & 1ULL);
        }
      }
      a[static_cast<size_t>(i)] = Coded{code, i};
    }
    // Least-significant-digit radix sort, 16 bits per pass; stable, so equal
    // codes keep their input order.
    std::vector<size_t> count(65537);
    for (int shift = 0; shift < kCodeBits; shift += 16) {
      std::fill(count.begin(), count.end(), 0);
      for (const Coded& c : a) ++count[((c.code >> shift) & 0xFFFF) + 1];
      for (size_t v = 0; v < 65536; ++v) count[v + 1] += count[v];
      for (const Coded& c : a) b[count[(c.code >> shift) & 0xFFFF]++] = c;
      a.swap(b);
    }
    order.resize(static_cast<size_t>(n));
    for (long i = 0; i < n; ++i) order[static_cast<size_t>(i)] = a[static_cast<size_t>(i)].index;
  } catch (const std::bad_alloc&) {
    return true;
  }
  return false;
}
