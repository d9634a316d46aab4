// Trees of stored option records: ordered by name without regard to letter
// case (in-order walks run from the greatest name to the smallest), searched
// by the name as a const char*.
#pragma once
#include "containers/options/KOption.h"
#include "containers/trees/KDataTreeItemRoot.h"

template <class V>
struct KTreeOrder<KOption<V>> {
  // The inline comparison equals the record's own (KTreeCompare_test pins
  // it to the platform call), without the call's cost on every step.
  static int compare(const KOption<V>& a, const KOption<V>& b, long) {
    return kCompareNoCase(a.m_name.GetString(), b.m_name.GetString());
  }
  static int compareKey(const KOption<V>& stored, const void* key, long) {
    return kCompareNoCase(stored.m_name.GetString(), static_cast<const char*>(key));
  }
};

extern template class KDataTreeItem<KOption<long>>;
extern template class KDataTreeItem<KOption<double>>;
extern template class KDataTreeItem<KOption<KString>>;
extern template class KDataTreeItem<KOption<bool>>;
extern template class KTreeRootBase<KOption<long>, KDataTreeItem<KOption<long>>>;
extern template class KTreeRootBase<KOption<double>, KDataTreeItem<KOption<double>>>;
extern template class KTreeRootBase<KOption<KString>, KDataTreeItem<KOption<KString>>>;
extern template class KTreeRootBase<KOption<bool>, KDataTreeItem<KOption<bool>>>;
extern template class KDataTreeItemRoot<KOption<long>>;
extern template class KDataTreeItemRoot<KOption<double>>;
extern template class KDataTreeItemRoot<KOption<KString>>;
extern template class KDataTreeItemRoot<KOption<bool>>;
