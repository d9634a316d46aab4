// The tree instances that the library compiles once and the program exports.
#include "containers/trees/KIDString.h"
#include "containers/trees/KOptionTrees.h"
#include "containers/trees/KStringID.h"

KMemoryAllocator& kPtrTreeItemAllocator() {
  static KMemoryAllocator allocator(sizeof(KPtrTreeItem<long>), 1000);
  return allocator;
}

template class KDataTreeItem<KString>;
template class KTreeRootBase<KString, KDataTreeItem<KString>>;
template class KDataTreeItemRoot<KString>;

template class KDataTreeItem<KStringID>;
template class KTreeRootBase<KStringID, KDataTreeItem<KStringID>>;
template class KDataTreeItemRoot<KStringID>;

template class KDataTreeItem<KIDString>;
template class KTreeRootBase<KIDString, KDataTreeItem<KIDString>>;
template class KDataTreeItemRoot<KIDString>;

template class KPtrTreeItem<long>;
template class KTreeRootBase<long, KPtrTreeItem<long>>;

template class KDataTreeItem<KOption<long>>;
template class KDataTreeItem<KOption<double>>;
template class KDataTreeItem<KOption<KString>>;
template class KDataTreeItem<KOption<bool>>;
template class KTreeRootBase<KOption<long>, KDataTreeItem<KOption<long>>>;
template class KTreeRootBase<KOption<double>, KDataTreeItem<KOption<double>>>;
template class KTreeRootBase<KOption<KString>, KDataTreeItem<KOption<KString>>>;
template class KTreeRootBase<KOption<bool>, KDataTreeItem<KOption<bool>>>;
template class KDataTreeItemRoot<KOption<long>>;
template class KDataTreeItemRoot<KOption<double>>;
template class KDataTreeItemRoot<KOption<KString>>;
template class KDataTreeItemRoot<KOption<bool>>;
