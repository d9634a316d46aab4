// KTreeRootBase<T, Item>: a red-black tree whose root object is its first
// node. The root derives from the item type, holds the first value itself and
// never moves; the other items come from the allocator given at construction.
//
// Invariants in tree mode: the root is black, no red item has a red child,
// every path from the root to a missing child passes the same number of black
// items, parent links are consistent, and the in-order sequence is strictly
// ordered by cmpFunc<T> (m_left side first). m_count counts all values
// including the root's; the root's value counts only while m_count > 0.
//
// Linked-list mode (m_linkedListLevel > 0) collects values without comparing
// them; leaving it sorts them and rebuilds a perfectly balanced tree.
//
// Change stamp: every operation of the root that can put a value into a
// different item (adding a value, which may rotate at the root; removal, which
// copies the successor's value; list mode and the rebuild; emptying; copying)
// takes a new stamp from one process-wide sequence before it moves anything.
// A caller that keeps the address of a stored value may use it for as long as
// the stamp is unchanged; overwriting an equal value in place keeps it. The
// stamp is unique among all roots, so a root built at the address of a
// destroyed one never answers that one's stamp.
//
// Ownership: the root owns its items. Copying a root copies the values into
// items of its own (never shares items); the allocator is shared.
#pragma once
#include <new>

#include "core/application/KFlagDefence.h"
#include "containers/memory/KMemoryAllocator.h"
#include "containers/trees/KDataTreeItem.h"
#include "containers/trees/KFragmentPtrArray.h"
#include "containers/trees/KTreeSort.h"
#include "containers/trees/KTreeIteratorBase.h"
#include "platform/KTime.h"

template <class T, class Item>
class QUELM_TREES_API KTreeRootBase : public Item {
 public:
  using ItemType = Item;
  using Item::m_left;
  using Item::m_right;
  using Item::m_parent;

  // Empties the tree; values that pointer items point to are not deleted.
  ~KTreeRootBase() override {
    emptyTree(*this, true, false);
  }
  // Makes this tree an independent copy of `other` (same values, mode, id).
  KTreeRootBase& operator=(const KTreeRootBase& other) {
    if (this != &other) {
      emptyTree(*this, true, false);
      m_id = other.m_id;
      m_linkedListLevel = other.m_linkedListLevel;
      copyTree(const_cast<KTreeRootBase&>(other));
    }
    return *this;
  }
  // Roots are ordinary heap or member objects.
  static void operator delete(void* p) { ::operator delete(p); }

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

  // 8: enters linked-list mode (nested calls only count).
  void convertToLinkedList(bool flag) override {
    touch();
    if (m_linkedListLevel == 0) KTreeItemBase::convertToLinkedList(flag);
    ++m_linkedListLevel;
  }
  // 9: leaves one level of linked-list mode; at the last level sorts the
  // values (with `compare`, see compareItems), drops duplicates when `unique`
  // and rebuilds a balanced tree. Answers the level count (maxDepth()), or -1
  // when no scratch item could be had (the tree then stays in list mode).
  long convertFromLinkedList(KFragmentPtrArray<KTreeItemBase>& array,
                             int (*compare)(const void*, const void*), bool unique,
                             bool flag) override {
    touch();
    if (m_linkedListLevel == 1) {
      array.removeAll();
      array.setSize(m_count + 5);
      (void)flag;
      // The tree's own order sorts with inlined typed comparisons; any other
      // comparison is honoured through the general sort.
      KTreeItemBase::ListSorter sorter = compare == &KTreeRootBase::compareItems
                                             ? &KTreeRootBase::sortTyped
                                             : &KTreeItemBase::sortWithCompare;
      long levels = this->rebuildFromList(array, compare, sorter, unique);
      if (levels < 0) return -1;
      m_maxDepth = levels;
      if (array.getCount() != 0) m_count = array.getCount();
    }
    if (m_linkedListLevel > 0) --m_linkedListLevel;
    return m_maxDepth;
  }
  // Convenience: leaves linked-list mode with a scratch array of its own and
  // the tree's own ordering.
  long convertFromLinkedList(bool unique) {
    KFragmentPtrArray<KTreeItemBase> array;
    return convertFromLinkedList(array, &KTreeRootBase::compareItems, unique, false);
  }
  // Sorts n listed items of a tree with id `treeId` as compareItems orders
  // them (same permutation), with inlined comparisons.
  static void sortListedItems(KTreeItemBase** items, long n, long treeId) {
    kTreeSortItems<T, Item>(items, n, treeId);
  }
  // Sort order for convertFromLinkedList: items that the descent places on the
  // m_left side first. Slots hold listed items (whose parent is this root).
  static int compareItems(const void* a, const void* b) {
    const KTreeItemBase* x = *static_cast<KTreeItemBase* const*>(a);
    const KTreeItemBase* y = *static_cast<KTreeItemBase* const*>(b);
    long id = static_cast<const KTreeRootBase*>(x->m_parent)->m_id;
    return KTreeOrder<T>::compare(*static_cast<const Item*>(y)->value(),
                                  *static_cast<const Item*>(x)->value(), id);
  }

  // 12: empties the tree: items are destroyed when `deleteItems`, the root's
  // callDelete runs on every item when `callDelete`. isEmpty() answers true
  // throughout. With both flags false the items are destroyed all the same:
  // once the count is 0 they would be stale links below the root.
  void emptyTree(KTreeItemBase& root, bool deleteItems, bool callDelete) override {
    (void)root;
    KFlagDefence guard(m_emptying, true);
    touch();
    m_maxDepth = 0;
    if (m_count == 0) return;
    if (!deleteItems && !callDelete) deleteItems = true;
    if (m_linkedListLevel != 0) {
      m_left = nullptr;
      KTreeItemBase* x = this;
      while (x) {
        KTreeItemBase* next = x->m_right;
        x->m_left = x->m_right = nullptr;
        if (x != this) x->m_parent = nullptr;
        if (callDelete) this->callDelete(x);
        if (x != this && deleteItems) deleteDerived(x);
        x = next;
      }
    } else {
      KTreeItemBase::emptyTree(*this, deleteItems, callDelete);
    }
    m_count = 0;
  }

  long getId() const override { return m_id; }
  void callDelete(KTreeItemBase*) override {}
  KTreeItemBase* newDerived(KTreeItemBase* parent) override { return newItem(parent); }
  void deleteDerived(KTreeItemBase* item) override { freeItem(item); }
  void incIterators(KTreeIteratorBase&) const override {}
  void decIterators(KTreeIteratorBase&) const override {}
  long getCount() const override { return m_count; }
  // Stamp of the last change that may have moved values between items (see
  // the head of this file); never 0.
  unsigned long long getChangeStamp() const { return m_stamp; }
  long maxDepth() const override { return m_maxDepth; }
  bool isLinkedList() const override { return m_linkedListLevel != 0; }
  bool isEmpty() const override { return m_emptying || m_count == 0; }
  // 24: the root's value, or null while the tree is empty.
  const T* getData() const override { return m_count ? Item::getData() : nullptr; }

  // 25: copies every value of `source` into this tree. An empty tree in the
  // same mode becomes a node-for-node copy; otherwise the values are added.
  virtual void copyTree(KTreeRootBase& source);

  // ---- searches -----------------------------------------------------------
  // The stored value equal to `value`, or null; depth = items passed.
  const T* find(const T& value, long& depth) const {
    const KTreeItemBase* item = search(value, depth);
    return item ? static_cast<const Item*>(item)->value() : nullptr;
  }
  const T* findToAdd(const T& value, long& depth, const KTreeItemBase*& parent) const {
    parent = nullptr;
    return find(value, depth);
  }
  // The stored value whose key equals `key` (see KTreeOrder<T>), or null.
  const T* find(const void* key) const {
    long depth;
    return find(key, depth);
  }
  const T* find(const void* key, long& depth) const {
    const KTreeItemBase* parent;
    return findToAdd(key, depth, parent);
  }
  const T* findToAdd(const void* key, long& depth, const KTreeItemBase*& parent) const {
    const KTreeItemBase* item = findItemToAdd(key, depth, parent);
    return item ? static_cast<const Item*>(item)->value() : nullptr;
  }
  // The item whose key equals `key`, or null (also in linked-list mode).
  const KTreeItemBase* findItemToAdd(const void* key, long& depth,
                                     const KTreeItemBase*& parent) const {
    depth = 0;
    parent = nullptr;
    if (m_linkedListLevel != 0 || m_count == 0) return nullptr;
    const KTreeItemBase* x = this;
    const long id = m_id;
    for (;;) {
      int r = KTreeOrder<T>::compareKey(*static_cast<const Item*>(x)->value(), key, id);
      if (r == 0) return x;
      x = r < 0 ? x->m_left : x->m_right;
      if (!x) return nullptr;
      ++depth;
    }
  }
  const KTreeItemBase* findTree(const void* key, long& depth) const {
    const KTreeItemBase* parent;
    return findItemToAdd(key, depth, parent);
  }

  // ---- removal ------------------------------------------------------------
  // Removes the value with `key`. Answers the removed value for pointer
  // trees; for data trees only null (not found) versus non-null counts: the
  // memory may already hold another value. Absent key, linked-list mode or a
  // tree being emptied: null, depth -1 (left unchanged in linked-list mode).
  const T* remove(const void* key, long& depth, bool flag = false) {
    (void)flag;
    if (m_emptying) {
      depth = -1;
      return nullptr;
    }
    if (m_linkedListLevel != 0) return nullptr;
    const KTreeItemBase* parent;
    KTreeItemBase* item = const_cast<KTreeItemBase*>(findItemToAdd(key, depth, parent));
    if (!item) {
      depth = -1;
      return nullptr;
    }
    const T* result = static_cast<Item*>(item)->value();
    touch();
    KTreeItemBase::unlink(item, *this);
    --m_count;
    return result;
  }
  // Answers the depth at which the key was found, -1 when nothing was removed.
  long remove(const void* key, bool flag = false) {
    long depth = -1;
    return remove(key, depth, flag) ? depth : -1;
  }

  void iteratorCheck() const {}
  long getLinkedListLevel() const { return m_linkedListLevel; }
  KMemoryAllocator& getAllocator() const { return m_allocator; }
  __time64_t getCreated() const { return m_created; }

  // Appends `value` to the list (linked-list mode); answers its item or null
  // when no item could be had.
  KTreeItemBase* addAsLinkedList(const T& value, const unsigned int* flags);

 protected:
  explicit KTreeRootBase(KMemoryAllocator& allocator)
      : Item(nullptr), m_allocator(allocator), m_created(_time64(nullptr)), m_stamp(++g_treeChangeStamp) {}
  // Deep copy: an empty root of the same mode and id, then copyTree.
  KTreeRootBase(const KTreeRootBase& other)
      : Item(nullptr), m_allocator(other.m_allocator), m_id(other.m_id),
        m_created(_time64(nullptr)), m_stamp(++g_treeChangeStamp) {
    m_linkedListLevel = other.m_linkedListLevel;
    copyTree(const_cast<KTreeRootBase&>(other));
  }

  // 26: the insertion worker; descends from `start` (the root when null).
  virtual KTreeItemBase* addWorker(const T& value, long& depth, KTreeItemBase* start, bool* added,
                                   const unsigned int* flags) {
    depth = 0;
    if (m_linkedListLevel != 0) {
      KTreeItemBase* item = addAsLinkedList(value, flags);
      if (added) *added = item != nullptr;
      return item;
    }
    bool isNew = true;
    KTreeItemBase* parent = nullptr;
    KTreeItemBase* item = findAndAddWorker(value, depth, start, true, isNew, flags, parent);
    if (item && isNew) {
      ++m_count;
      if (depth > m_maxDepth) m_maxDepth = depth;
    }
    if (added) *added = item && isNew;
    return item;
  }
  // 27: as add, beginning the descent at `parent`; `parent` is cleared.
  virtual KTreeItemBase* addToParent(const T& value, KTreeItemBase*& parent,
                                     const unsigned int* flags) {
    long depth;
    KTreeItemBase* item = addWorker(value, depth, parent, nullptr, flags);
    parent = nullptr;
    return item;
  }
  // 28: adds `value`; an equal stored value is left as it is.
  virtual KTreeItemBase* add(const T& value, long& depth, bool* added, const unsigned int* flags) {
    return addWorker(value, depth, nullptr, added, flags);
  }

  // Search-and-insert: the item holding a value equal to `value`, else (when
  // `addIfMissing`) a new item holding it, else null.
  KTreeItemBase* findAndAddWorker(const T& value, long& depth, KTreeItemBase* start,
                                  bool addIfMissing, bool& added, const unsigned int* flags,
                                  KTreeItemBase*& parentOut);
  const KTreeItemBase* search(const T& value, long& depth) const {
    depth = 0;
    if (m_linkedListLevel != 0 || m_count == 0) return nullptr;
    const KTreeItemBase* x = this;
    const long id = m_id;
    for (;;) {
      int r = KTreeOrder<T>::compare(*static_cast<const Item*>(x)->value(), value, id);
      if (r == 0) return x;
      x = r < 0 ? x->m_left : x->m_right;
      if (!x) return nullptr;
      ++depth;
    }
  }

  static void sortTyped(KTreeItemBase** items, long n, int (*)(const void*, const void*),
                        const KTreeItemBase& root) {
    sortListedItems(items, n, static_cast<const KTreeRootBase&>(root).m_id);
  }

  void touch() { m_stamp = ++g_treeChangeStamp; }

  Item* newItem(KTreeItemBase* parent) {
    void* p = m_allocator.allocate();
    return p ? ::new (p) Item(parent) : nullptr;
  }
  void freeItem(KTreeItemBase* item) {
    if (!item) return;
    Item* x = static_cast<Item*>(item);
    x->Item::~Item();
    m_allocator.release(x);
  }

  long m_count = 0;
  long m_maxDepth = 0;
  long m_linkedListLevel = 0;
  bool m_emptying = false;
  KMemoryAllocator& m_allocator;
  long m_id = 0;
  __time64_t m_created;
  unsigned long long m_stamp;
};

template <class T, class Item>
KTreeItemBase* KTreeRootBase<T, Item>::findAndAddWorker(const T& value, long& depth,
                                                        KTreeItemBase* start, bool addIfMissing,
                                                        bool& added, const unsigned int* flags,
                                                        KTreeItemBase*& parentOut) {
  parentOut = nullptr;
  depth = 0;
  if (m_count == 0) {
    if (!addIfMissing) return nullptr;
    touch();
    this->store(value);
    if (flags) this->setFlags(*flags);
    depth = 1;
    added = true;
    return this;
  }
  KTreeItemBase* x = start ? start : this;
  const long id = m_id;
  int r;
  for (;;) {
    r = KTreeOrder<T>::compare(*static_cast<Item*>(x)->value(), value, id);
    if (r == 0) {
      added = false;
      return x;
    }
    KTreeItemBase* next = r < 0 ? x->m_left : x->m_right;
    if (!next) break;
    x = next;
    ++depth;
  }
  if (!addIfMissing) return nullptr;
  touch();
  Item* item = newItem(x);
  if (!item) return nullptr;
  (r < 0 ? x->m_left : x->m_right) = item;
  item->store(value);
  if (flags) item->setFlags(*flags);
  added = true;
  unsigned long swaps = g_treeRootSwaps;
  KTreeItemBase::insertRepair(item, *this);
  if (swaps != g_treeRootSwaps && KTreeOrder<T>::compare(*this->value(), value, id) == 0)
    return this;
  return item;
}

template <class T, class Item>
KTreeItemBase* KTreeRootBase<T, Item>::addAsLinkedList(const T& value, const unsigned int* flags) {
  touch();
  if (m_count == 0) {
    this->store(value);
    if (flags) this->setFlags(*flags);
    m_count = 1;
    return this;
  }
  Item* item = newItem(this);
  if (!item) return nullptr;
  item->store(value);
  if (flags) item->setFlags(*flags);
  KTreeItemBase::appendToList(*this, item);
  ++m_count;
  return item;
}

template <class T, class Item>
void KTreeRootBase<T, Item>::copyTree(KTreeRootBase& source) {
  if (source.m_count == 0 || &source == this) return;
  touch();
  if (m_count == 0 && isLinkedList() == source.isLinkedList()) {
    bool failed = false;
    if (!isLinkedList()) {
      failed = KTreeItemBase::copyStructure(source, *this);
    } else {
      this->m_colour = source.m_colour;
      this->copyData(source);
      for (const KTreeItemBase* x = source.m_right; x && !failed; x = x->m_right) {
        Item* item = newItem(this);
        if (!item) {
          failed = true;
          break;
        }
        item->copyData(*x);
        KTreeItemBase::appendToList(*this, item);
      }
    }
    m_count = source.m_count;
    m_maxDepth = source.m_maxDepth;
    if (failed) emptyTree(*this, true, false);  // out of items: leave no half copy
    return;
  }
  KTreeIteratorBase it(source, KTreeIteratorBase::kInOrder);
  for (; !it.atEnd(); it.advance()) {
    const Item* x = static_cast<const Item*>(it.current());
    unsigned int flags = x->getFlags();
    long depth;
    add(*x->value(), depth, nullptr, &flags);
  }
}
