// Sort keys for rebuilding a tree from linked-list mode. The rebuild's
// general sort compares through a C function on pointers to item pointers,
// which costs two indirect loads and an indirect call per comparison. A root
// whose caller asks for the tree's own order sorts records of (key, item)
// instead, with an inlined comparison that answers exactly as the tree's own
// order (KTreeOrder<T>::compare of the second value against the first):
//   arithmetic values  the value itself;
//   KString            the first eight case-folded bytes packed big-endian
//                      (an exact prefix of the order), then the whole text;
//   anything else      a pointer to the value.
// Equal answers mean std::sort performs the same permutation as the general
// sort, equal items included.
#pragma once
#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "containers/trees/KTreeCompare.h"

template <class T, class Enable = void>
struct KTreeSortKey {
  using Key = const T*;
  static Key make(const T& value) { return &value; }
  // True when `a` goes to a lower slot than `b`.
  static bool less(const Key& a, const Key& b, long treeId) {
    return KTreeOrder<T>::compare(*b, *a, treeId) < 0;
  }
};

template <class T>
struct KTreeSortKey<T, std::enable_if_t<std::is_arithmetic_v<T>>> {
  using Key = T;
  static Key make(const T& value) { return value; }
  static bool less(const Key& a, const Key& b, long treeId) {
    return KTreeOrder<T>::compare(b, a, treeId) < 0;
  }
};

template <>
struct KTreeSortKey<KString> {
  struct Key {
    uint64_t prefix;  // folded bytes 0..7, zero after the end of the text
    const char* text;
  };
  static Key make(const KString& value) {
    const char* text = value.GetString();
    uint64_t prefix = 0;
    int i = 0;
    for (; i < 8 && text[i]; ++i) prefix = prefix << 8 | static_cast<uint64_t>(kFoldNoCase(static_cast<unsigned char>(text[i])));
    if (i > 0) prefix <<= 8 * (8 - i);  // an empty text stays 0 (a shift by 64 is undefined)
    return {prefix, text};
  }
  // kCompareNoCase(b, a) < 0: the folded bytes compare in sequence, the end
  // of a text below every byte, so unequal prefixes decide alone.
  static bool less(const Key& a, const Key& b, long) {
    if (a.prefix != b.prefix) return b.prefix < a.prefix;
    return kCompareNoCase(b.text, a.text) < 0;
  }
};

// Sorts n items of item type Item (values of type T) by the tree's order.
template <class T, class Item>
void kTreeSortItems(KTreeItemBase** items, long n, long treeId) {
  using SortKey = KTreeSortKey<T>;
  struct Record {
    typename SortKey::Key key;
    KTreeItemBase* item;
  };
  std::vector<Record> records(static_cast<size_t>(n));
  for (long i = 0; i < n; ++i)
    records[static_cast<size_t>(i)] = {SortKey::make(*static_cast<const Item*>(items[i])->value()), items[i]};
  std::sort(records.begin(), records.end(),
            [treeId](const Record& a, const Record& b) { return SortKey::less(a.key, b.key, treeId); });
  for (long i = 0; i < n; ++i) items[i] = records[static_cast<size_t>(i)].item;
}
