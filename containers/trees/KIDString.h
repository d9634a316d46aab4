// KIDString: a numeric identifier with a text, ordered by the text without
// regard to letter case (smallest first in an in-order walk). The search key
// is the text as a const char*.
#pragma once
#include "containers/trees/KDataTreeItemRoot.h"

class KIDString {
 public:
  KIDString() = default;
  KIDString(long id, const KString& text) : m_id(id), m_string(text) {}

  long m_id = 0;
  KString m_string;
};

template <>
struct KTreeOrder<KIDString> {
  static int compare(const KIDString& a, const KIDString& b, long) {
    return kCompareNoCase(b.m_string.GetString(), a.m_string.GetString());
  }
  static int compareKey(const KIDString& stored, const void* key, long) {
    return kCompareNoCase(static_cast<const char*>(key), stored.m_string.GetString());
  }
};

extern template class KDataTreeItem<KIDString>;
extern template class KTreeRootBase<KIDString, KDataTreeItem<KIDString>>;
extern template class KDataTreeItemRoot<KIDString>;
