// KExtension and KExtensionList: the list of extensions an application or
// shape object carries. A KExtension holds one pointer-sized handle given at
// construction. KExtensionList owns its extensions: they are deleted when
// they are removed from the list and when the list is destroyed.
#pragma once
#include <cstdint>

#include "core/application/KObject.h"
#include "containers/memory/KSimplePtrArray.h"

class KExtension : public KObject {
 public:
  explicit KExtension(intptr_t handle) : m_handle(handle) {}
  intptr_t getHandle() const { return m_handle; }
  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

 private:
  intptr_t m_handle;
};

class KExtensionList : public KObject {
 public:
  KExtensionList() = default;
  ~KExtensionList() override { m_extensions.removeAllDeleting(); }
  KExtensionList(const KExtensionList&) = delete;
  KExtensionList& operator=(const KExtensionList&) = delete;

  // Takes ownership of extension. True when the list could not grow (the
  // extension is then deleted, so the caller never leaks it).
  bool addExtension(KExtension* extension) {
    if (m_extensions.add(extension) >= 0) return false;
    delete extension;
    return true;
  }
  long getExtensionCount() const { return m_extensions.getCount(); }
  KExtension* getExtension(long index) const { return m_extensions.getAt(index); }
  // The first extension with the given handle, or null.
  KExtension* findExtension(intptr_t handle) const {
    for (long i = 0; i < m_extensions.getCount(); ++i)
      if (m_extensions.getAt(i)->getHandle() == handle) return m_extensions.getAt(i);
    return nullptr;
  }
  // Removes and deletes the extension at index; true when index is out of range.
  bool removeExtension(long index) {
    long n = m_extensions.getCount();
    if (index < 0 || index >= n) return true;
    KExtension* gone = m_extensions.getAt(index);
    for (long i = index; i + 1 < n; ++i) m_extensions[i] = m_extensions[i + 1];
    m_extensions[n - 1] = nullptr;
    m_extensions.setCount(n - 1);
    delete gone;
    return false;
  }
  // Deletes every extension.
  void removeAllExtensions() { m_extensions.removeAllDeleting(); }

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
  long dumpAllocatedMembers(_TREEITEM* parent, bool list, KString& name) const override {
    long bytes = m_extensions.dumpAllocatedMembers(parent, list, name);
    for (long i = 0; i < m_extensions.getCount(); ++i) bytes += m_extensions.getAt(i)->getSizeOfThis();
    return bytes;
  }

 private:
  KHGrowingPtrArray<KExtension> m_extensions;
};
