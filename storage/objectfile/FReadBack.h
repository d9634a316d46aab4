// FReadBack: what a loader remembers of an object it has read back: the file
// reference of the object (its name as the key, the position of its start
// record), its type name, and the loaded object (not owned; the loader's).
//
// A KTreeItem<FReadBack> owns its records (emptyTree with callDelete deletes
// them) and orders them by their file references (see KNamedFilePtr), so a
// loader finds the object it made for a name again. The instances are
// compiled once in the library (FReadBack.cpp) and exported from the program.
#pragma once
#include "core/application/KObject.h"
#include "containers/trees/KDataTreeItemRoot.h"
#include "storage/objectfile/KNamedFilePtr.h"

class FReadBack : public KObject {
 public:
  FReadBack() = default;
  FReadBack(const KPersistName& type, const KPersistName& name, LONGLONG position, void* object)
      : m_ref(KNamedFilePtr::forName(name, position)), m_type(type.m_name), m_pObject(object) {}

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

  KNamedFilePtr m_ref;
  KString m_type;
  void* m_pObject = nullptr;
};

template <>
struct KTreeOrder<FReadBack> {
  static int compare(const FReadBack& a, const FReadBack& b, long treeId) {
    return KTreeOrder<KNamedFilePtr>::compare(a.m_ref, b.m_ref, treeId);
  }
  // The key is a const KNamedFilePtr*.
  static int compareKey(const FReadBack& stored, const void* key, long treeId) {
    return KTreeOrder<KNamedFilePtr>::compare(stored.m_ref, *static_cast<const KNamedFilePtr*>(key), treeId);
  }
};

extern template class KPtrTreeItem<FReadBack>;
extern template class KTreeRootBase<FReadBack, KPtrTreeItem<FReadBack>>;
extern template class KTreeItem<FReadBack>;
