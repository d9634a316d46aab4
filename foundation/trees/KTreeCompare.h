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
#include "foundation/trees/KTreeItemBase.h"
#include "platform/KString.h"

// Case-insensitive comparison of two texts under the application's compare
// locale: -1 when a sorts first, 0 when equal (or when the locale call
// fails), 1 when b sorts first.
QUELM_TREES_API int kCompareNoCase(const char* a, const char* b);

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
