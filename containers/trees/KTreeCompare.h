// Ordering of tree values. Every element type T has a comparison
// cmpFunc<T>(a, b, treeId): negative, 0 or positive, 0 meaning "the same tree
// value". A tree places a new value w below a stored value v on the m_left
// side when cmpFunc(v, w) < 0, so an in-order walk lists first the values
// that the comparison puts "before" in that sense.
//
// KTreeOrder<T> carries the two rules per element type: compare (values) and
// compareKey (a stored value against a search key given as const void*,
// with the same sign as compare(stored, value-with-that-key)). The primary
// rule serves arithmetic types: sign of (b - a), key = const T*.
#pragma once
#include "containers/trees/KTreeItemBase.h"
#include "platform/KString.h"

// Case-insensitive comparison of two texts under the application's compare
// locale: -1 when a sorts first, 0 when equal (or when a text is null), 1
// when b sorts first.
//
// Inline and without asking the application for its locale: the platform's
// CompareStringA(locale, NORM_IGNORECASE, a, -1, b, -1) orders the same in
// every locale (bytes as unsigned values, ASCII letters folded to lower case,
// a prefix first), so the locale cannot change the answer and the per-call
// virtual lookup, flag checks and two strlen passes are pure overhead on the
// trees' hottest path. KTreeCompare_test pins this equality against the
// platform call under several locales.
inline int kFoldNoCase(unsigned char c) { return static_cast<unsigned>(c - 'A') < 26u ? c + ('a' - 'A') : c; }
inline int kCompareNoCase(const char* a, const char* b) {
  if (!a || !b) return 0;  // the platform call fails: counts as equal
  for (;; ++a, ++b) {
    int x = kFoldNoCase(static_cast<unsigned char>(*a));
    int y = kFoldNoCase(static_cast<unsigned char>(*b));
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) return 0;
  }
}

template <class T>
struct KTreeOrder {
  static int compare(const T& a, const T& b, long) { return (a < b) - (b < a); }
  static int compareKey(const T& stored, const void* key, long treeId) {
    return compare(stored, *static_cast<const T*>(key), treeId);
  }
};

// Texts: case-insensitive, a against b; the key is a const char*. In-order
// walks therefore run from the greatest text to the smallest.
template <>
struct KTreeOrder<KString> {
  static int compare(const KString& a, const KString& b, long) {
    return kCompareNoCase(a.GetString(), b.GetString());
  }
  static int compareKey(const KString& stored, const void* key, long) {
    return kCompareNoCase(stored.GetString(), static_cast<const char*>(key));
  }
};

template <class T>
inline int cmpFunc(const T& a, const T& b, long treeId) {
  return KTreeOrder<T>::compare(a, b, treeId);
}

extern template QUELM_TREES_API int cmpFunc<long>(const long&, const long&, long);
