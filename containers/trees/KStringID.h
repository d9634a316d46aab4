// KStringID: a text with a numeric identifier, ordered by the identifier
// (smallest first in an in-order walk). The search key is a const long*.
#pragma once
#include "containers/trees/KDataTreeItemRoot.h"

class KStringID {
 public:
  KStringID() = default;
  KStringID(const KString& text, long id) : m_string(text), m_id(id) {}

  KString m_string;
  long m_id = 0;
};

template <>
struct KTreeOrder<KStringID> {
  static int compare(const KStringID& a, const KStringID& b, long) {
    return (a.m_id < b.m_id) - (b.m_id < a.m_id);
  }
  static int compareKey(const KStringID& stored, const void* key, long) {
    long id = *static_cast<const long*>(key);
    return (stored.m_id < id) - (id < stored.m_id);
  }
};

extern template class KDataTreeItem<KStringID>;
extern template class KTreeRootBase<KStringID, KDataTreeItem<KStringID>>;
extern template class KDataTreeItemRoot<KStringID>;
