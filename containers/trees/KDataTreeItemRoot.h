// The three root classes:
//   KDataTreeItemRoot<T>  values held by value in the items (per-type pool);
//   KTreeItem<T>          pointers to values the tree owns: emptying it with
//                         callDelete deletes them, the destructor does not;
//   KConstTreeItem<T>     pointers to values that belong to the caller.
// Pointer-item trees share one item pool.
#pragma once
#include "containers/memory/KGrowingArray.h"
#include "containers/trees/KTreeRootBase.h"

// The pool shared by all pointer-item trees (all KPtrTreeItem<T> have one size).
QUELM_TREES_API KMemoryAllocator& kPtrTreeItemAllocator();

template <class T>
class QUELM_TREES_API KDataTreeItemRoot : public KTreeRootBase<T, KDataTreeItem<T>> {
  using Base = KTreeRootBase<T, KDataTreeItem<T>>;

 public:
  KDataTreeItemRoot() : Base(getStaticAllocator()) {}
  KDataTreeItemRoot(const KDataTreeItemRoot& other) : Base(other) {}
  KDataTreeItemRoot& operator=(const KDataTreeItemRoot& other) {
    Base::operator=(other);
    return *this;
  }
  ~KDataTreeItemRoot() override = default;

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

  // The item pool of this value type, created on first use. Handing it out
  // clears its fresh flag: a fresh pool is one no tree has asked for yet.
  static KMemoryAllocator& getStaticAllocator() {
    static KMemoryAllocator allocator(sizeof(KDataTreeItem<T>), 1000);
    allocator.setFresh(false);
    return allocator;
  }

  using Base::add;
  using Base::addToParent;
  using Base::find;
  // Adds `value`, or overwrites the equal stored value with it. Answers the
  // insertion depth; *added tells whether a new value was stored.
  long add(const T& value, bool* added = nullptr, const unsigned int* flags = nullptr) {
    long depth;
    bool isNew = false;
    KTreeItemBase* item = Base::add(value, depth, &isNew, flags);
    if (item && !isNew) static_cast<KDataTreeItem<T>*>(item)->store(value);
    if (added) *added = item && isNew;
    return depth;
  }
  KTreeItemBase* addToParent(const T& value, KTreeItemBase*& parent,
                             const unsigned int* flags) override {
    return Base::addToParent(value, parent, flags);
  }
  // The stored value equal to `value`, or null.
  T* find(const T& value) {
    long depth;
    return const_cast<T*>(Base::find(value, depth));
  }
  // Appends every value in in-order sequence to `out`; appends nothing when
  // `out` cannot grow by getCount() elements.
  void addAllBranches(KGrowingArray<T>& out) const {
    if (this->m_count == 0 || this->isLinkedList()) return;
    long needed = out.getCount() + this->m_count;
    out.reserve(needed);
    if (out.getAllocated() < needed) return;
    appendBranch(this, out);
  }

 private:
  static void appendBranch(const KTreeItemBase* x, KGrowingArray<T>& out) {
    for (; x; x = x->m_right) {
      appendBranch(x->m_left, out);
      out.add(*static_cast<const KDataTreeItem<T>*>(x)->value());
    }
  }
};

template <class T>
class QUELM_TREES_API KTreeItem : public KTreeRootBase<T, KPtrTreeItem<T>> {
  using Base = KTreeRootBase<T, KPtrTreeItem<T>>;

 public:
  KTreeItem() : Base(kPtrTreeItemAllocator()) {}
  // The values are owned by exactly one tree, so trees of owned values are
  // not copied.
  KTreeItem(const KTreeItem&) = delete;
  KTreeItem& operator=(const KTreeItem&) = delete;
  ~KTreeItem() override = default;

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

  // Deletes the value an item points to (after its notification hook).
  void callDelete(KTreeItemBase* item) override {
    auto* x = static_cast<KPtrTreeItem<T>*>(item);
    if (!x->m_pItem) return;
    x->m_pItem->onNotify();
    delete x->m_pItem;
    x->m_pItem = nullptr;
  }

  using Base::add;
  using Base::addToParent;
  using Base::emptyTree;
  // 29: stores the address of `value`; an equal stored value stays (and the
  // caller keeps ownership of `value`, see *added).
  virtual KTreeItemBase* add(T& value, long& depth, bool* added, const unsigned int* flags) {
    return this->addWorker(value, depth, nullptr, added, flags);
  }
  // 30: as add, beginning the descent at `parent`; `parent` is cleared.
  virtual KTreeItemBase* addToParent(T& value, KTreeItemBase*& parent, const unsigned int* flags) {
    long depth;
    KTreeItemBase* item = this->addWorker(value, depth, parent, nullptr, flags);
    parent = nullptr;
    return item;
  }
  // Answers the insertion depth; *added false means the tree kept an equal value.
  long add(T& value, bool* added = nullptr, const unsigned int* flags = nullptr) {
    long depth;
    add(value, depth, added, flags);
    return depth;
  }
  T* find(const T& value) {
    long depth;
    return const_cast<T*>(Base::find(value, depth));
  }
  using Base::find;
  // Removes the value with `key`; the caller owns the value answered.
  T* remove(const void* key, long& depth, bool flag = false) {
    return const_cast<T*>(Base::remove(key, depth, flag));
  }
  long remove(const void* key, bool flag = false) { return Base::remove(key, flag); }
};

template <class T>
class QUELM_TREES_API KConstTreeItem : public KTreeRootBase<T, KPtrTreeItem<T>> {
  using Base = KTreeRootBase<T, KPtrTreeItem<T>>;

 public:
  KConstTreeItem() : Base(kPtrTreeItemAllocator()) {}
  // Copies hold the same pointers in items of their own.
  KConstTreeItem(const KConstTreeItem& other) : Base(other) {}
  KConstTreeItem& operator=(const KConstTreeItem& other) {
    Base::operator=(other);
    return *this;
  }
  ~KConstTreeItem() override = default;

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
  void callDelete(KTreeItemBase*) override {}

  using Base::add;
  // Stores the address of `value` (the caller keeps it alive); answers the depth.
  long add(const T& value, bool* added = nullptr, const unsigned int* flags = nullptr) {
    long depth;
    Base::add(value, depth, added, flags);
    return depth;
  }
};

// Instances compiled once in the library and exported from the program.
extern template class KDataTreeItem<KString>;
extern template class KTreeRootBase<KString, KDataTreeItem<KString>>;
extern template class KDataTreeItemRoot<KString>;
extern template class KPtrTreeItem<long>;
extern template class KTreeRootBase<long, KPtrTreeItem<long>>;
