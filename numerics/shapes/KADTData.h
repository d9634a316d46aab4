// The walk state of an alternating digital tree (see KADTRoot.h):
// KADTFixedData, shared by one walk, and KADTData, the state at one node.
//
// Keys: an item with bounds B of dimension count d has 2d keys when the tree
// indexes intervals (keys 0 ... d-1 the minimum corner, d ... 2d-1 the
// maximum corner) and d keys when it indexes points (the minimum corner).
// Level l of the tree splits key l mod (key count).
#pragma once

// The largest key count a bounds type B allows.
template <class B>
constexpr int kADTMaxKeys = 2 * B::kCount;

template <class B, class T>
struct KADTFixedData {
  // Per key, the range its values must meet for a subtree to be searched.
  T m_rangeLow[kADTMaxKeys<B>] = {};
  T m_rangeHigh[kADTMaxKeys<B>] = {};
  B m_query;
  int m_nKeys = 2;
  int m_nDims = 1;
  // The final test of an item's bounds against the query; null when every
  // item met is reported.
  bool (*m_pTest)(const B& item, const B& query, int dims) = nullptr;
};

template <class B, class T>
class KADTData {
 public:
  KADTData() = default;
  // The state at the root: every key's region is the domain of its
  // dimension, level and key index 0, the split at the midpoint of key 0.
  KADTData(const B& domain, const KADTFixedData<B, T>* fixed) : m_pFixed(fixed) {
    for (int k = 0; k < fixed->m_nKeys; ++k) {
      int d = k % fixed->m_nDims;
      m_low[k] = domain.getMin()[d];
      m_high[k] = domain.getMax()[d];
    }
    m_split = (m_low[0] + m_high[0]) / 2;
  }

  // Halves the region of the current key at the split value (left: the
  // lower half), moves to the next level and answers the key just split.
  // (The key index wraps by comparison: this runs at every node of every
  // walk, where a division would dominate.)
  int descend(bool left) {
    int split = m_nKey;
    (left ? m_high : m_low)[split] = m_split;
    ++m_nLevel;
    m_nKey = split + 1 == m_pFixed->m_nKeys ? 0 : split + 1;
    m_split = (m_low[m_nKey] + m_high[m_nKey]) / 2;
    return split;
  }
  // The key split by the last descent.
  int previousKey() const { return (m_nKey == 0 ? m_pFixed->m_nKeys : m_nKey) - 1; }
  // The region of key k meets its pruning range (closed on both sides).
  bool meets(int k) const { return (m_low[k] <= m_pFixed->m_rangeHigh[k]) & (m_pFixed->m_rangeLow[k] <= m_high[k]); }

  T m_low[kADTMaxKeys<B>];
  T m_high[kADTMaxKeys<B>];
  T m_split = T();
  int m_nLevel = 0;
  int m_nKey = 0;
  const KADTFixedData<B, T>* m_pFixed = nullptr;
};
