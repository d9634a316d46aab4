#include "storage/objectfile/KNamedFilePtr.h"

template class KDataTreeItem<KNamedFilePtr>;
template class KTreeRootBase<KNamedFilePtr, KDataTreeItem<KNamedFilePtr>>;
template class KDataTreeItemRoot<KNamedFilePtr>;

KNamedFilePtr KNamedFilePtr::forName(const KPersistName& name, LONGLONG position) {
  if (name.isNumeric()) return KNamedFilePtr(name.m_name, name.m_nId, name.m_nIndex, position);
  return KNamedFilePtr(name.m_name, 0, 0, position);
}

const KNamedFilePtr* KNamedFilePtrTree::findName(const KPersistName& name) const {
  KNamedFilePtr key = KNamedFilePtr::forName(name, 0);
  return find(static_cast<const void*>(&key));
}
