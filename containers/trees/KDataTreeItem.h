// KDataTreeItem<T> holds its value by value (the value dies with the item);
// KPtrTreeItem<T> holds a pointer to a value it does not own. Both are the
// item types of KTreeRootBase; a root object derives from one of them and so
// carries the tree's first value itself.
#pragma once
#include <type_traits>
#include <utility>

#include "containers/trees/KTreeCompare.h"

// Bytes a value holds on the heap, for the memory report.
template <class T>
long kTreeValueMemory(const T& value, _TREEITEM* parent, bool list, KString& name) {
  if constexpr (std::is_base_of_v<KObject, T>) {
    return value.dumpAllocatedMembers(parent, list, name);
  } else {
    (void)value; (void)parent; (void)list; (void)name;
    return 0;
  }
}
inline long kTreeValueMemory(const KString& value, _TREEITEM*, bool, KString&) {
  size_t capacity = value.str().capacity();
  return capacity > 15 ? static_cast<long>(capacity + 1) : 0;  // beyond the inline buffer
}

template <class T>
class QUELM_TREES_API KDataTreeItem : public KTreeItemBase {
 public:
  using ValueType = T;
  explicit KDataTreeItem(KTreeItemBase* parent = nullptr) : KTreeItemBase(parent), m_item() {}
  // Copies value, colour and flags; the copy is not linked anywhere.
  KDataTreeItem(const KDataTreeItem& other) : KTreeItemBase(other), m_item(other.m_item) {}
  // Copies value and flags; links stay.
  KDataTreeItem& operator=(const KDataTreeItem& other) {
    if (this != &other) {
      KTreeItemBase::operator=(other);
      m_item = other.m_item;
    }
    return *this;
  }
  ~KDataTreeItem() override = default;
  static void operator delete(void*) {}

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
  long dumpAllocatedMembersDeep(_TREEITEM* parent, bool list, KString& name) const override {
    KString label("m_item[i]");
    return KTreeItemBase::dumpAllocatedMembersDeep(parent, list, name) +
           kTreeValueMemory(m_item, parent, list, label);
  }
  int cmpFunc(const KTreeItemBase& other, long treeId) const override {
    return KTreeOrder<T>::compare(m_item, static_cast<const KDataTreeItem&>(other).m_item, treeId);
  }
  void swapData(KTreeItemBase& other) override {
    auto& o = static_cast<KDataTreeItem&>(other);
    using std::swap;
    swap(m_item, o.m_item);
    unsigned int flags = m_flags;
    m_flags = o.m_flags;
    o.m_flags = flags;
  }
  void copyData(const KTreeItemBase& other) override {
    const auto& o = static_cast<const KDataTreeItem&>(other);
    if (this != &o) m_item = o.m_item;
    m_flags = o.m_flags;
  }
  // 24: the value.
  virtual const T* getData() const { return &m_item; }

  // Copies *value into the item (null is ignored).
  void setData(const T* value) {
    if (value) m_item = *value;
  }
  // Whether the stored value equals `value` under the tree's ordering.
  bool sameData(const T& value) const { return KTreeOrder<T>::compare(m_item, value, getId()) == 0; }

  // Non-virtual access for the tree's own search loops.
  const T* value() const { return &m_item; }
  T* value() { return &m_item; }
  void store(const T& value) { m_item = value; }

  T m_item;
};

template <class T>
class QUELM_TREES_API KPtrTreeItem : public KTreeItemBase {
 public:
  using ValueType = T;
  explicit KPtrTreeItem(KTreeItemBase* parent = nullptr) : KTreeItemBase(parent), m_pItem(nullptr) {}
  KPtrTreeItem(const KPtrTreeItem& other) : KTreeItemBase(other), m_pItem(other.m_pItem) {}
  KPtrTreeItem& operator=(const KPtrTreeItem& other) {
    KTreeItemBase::operator=(other);
    m_pItem = other.m_pItem;
    return *this;
  }
  ~KPtrTreeItem() override = default;
  static void operator delete(void*) {}

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
  long dumpAllocatedMembersDeep(_TREEITEM* parent, bool list, KString& name) const override {
    if (getRoot()->getCount() == 0) return 0;
    long bytes = KTreeItemBase::dumpAllocatedMembersDeep(parent, list, name);
    if (m_pItem) {
      KString label("m_pItem[i]");
      bytes += kTreeValueMemory(*m_pItem, parent, list, label);
    }
    return bytes;
  }
  int cmpFunc(const KTreeItemBase& other, long treeId) const override {
    return KTreeOrder<T>::compare(*m_pItem, *static_cast<const KPtrTreeItem&>(other).m_pItem, treeId);
  }
  void swapData(KTreeItemBase& other) override {
    auto& o = static_cast<KPtrTreeItem&>(other);
    std::swap(m_pItem, o.m_pItem);
    unsigned int flags = m_flags;
    m_flags = o.m_flags;
    o.m_flags = flags;
  }
  void copyData(const KTreeItemBase& other) override {
    const auto& o = static_cast<const KPtrTreeItem&>(other);
    m_pItem = o.m_pItem;
    m_flags = o.m_flags;
  }
  // 24: the value pointed to.
  virtual const T* getData() const { return m_pItem; }

  // Stores the pointer (the item does not own the value).
  void setData(const T* value) { m_pItem = const_cast<T*>(value); }
  // Whether this item points at `value` itself.
  bool sameData(const T& value) const { return m_pItem == &value; }

  const T* value() const { return m_pItem; }
  T* value() { return m_pItem; }
  void store(const T& value) { m_pItem = const_cast<T*>(&value); }

  T* m_pItem;
};
