// KTreeItemBase: one node of the intrusive red-black trees. A tree's root
// object is itself a node (it derives from its item type), so an empty or
// one-value tree needs no separate allocation and the root never moves:
// rotations that would move the root exchange values instead of relinking.
//
// Two shapes share the same links:
//   tree mode         m_left / m_right are the children, m_parent the parent
//                     (null only in the root object);
//   linked-list mode  the root's m_right is the second value, every listed
//                     item's m_right is the next one, the root's m_left is the
//                     tail, every listed item's parent is the root.
//
// Ordering: at a node holding v, a new value w with cmpFunc(v, w) < 0 goes to
// m_left, > 0 to m_right, 0 means "already present".
//
// Items other than the root live in a block allocator chosen by the root;
// item classes therefore have an operator delete that frees nothing, and only
// the root's deleteDerived returns item memory.
//
// The virtual-table order below is part of the exported interface.
#pragma once
#include "core/application/KObject.h"

#define QUELM_TREES_API __attribute__((visibility("default")))

class KTreeIteratorBase;

// Counts rotations that exchanged values with a root object; an insertion
// compares the root's value again only when one happened.
QUELM_TREES_API extern unsigned long g_treeRootSwaps;

// The last change stamp handed out (see KTreeRootBase::getChangeStamp). One
// process-wide sequence, so that no two states of any roots share a stamp.
QUELM_TREES_API extern unsigned long long g_treeChangeStamp;

template <class T> class KFragmentPtrArray;

class QUELM_TREES_API KTreeItemBase : public KObject {
 public:
  // Black, flags 0, no children.
  explicit KTreeItemBase(KTreeItemBase* parent = nullptr)
      : m_colour(0), m_flags(0), m_left(nullptr), m_right(nullptr), m_parent(parent) {}
  ~KTreeItemBase() override = default;

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
  // Bytes held below this item: for each child, its report plus its size.
  long dumpAllocatedMembers(_TREEITEM* parent, bool list, KString& name) const override;

  // 5: copies value and flags from `other`.
  virtual KTreeItemBase& copyFrom(const KTreeItemBase& other);
  // 6: bytes held below this item including the values' own reports.
  virtual long dumpAllocatedMembersDeep(_TREEITEM* parent, bool list, KString& name) const;
  // 7: compares this item's value (first) with `other`'s (second).
  virtual int cmpFunc(const KTreeItemBase& other, long treeId) const = 0;
  // 8: flattens this item's subtrees onto the list of the root (post-order).
  virtual void convertToLinkedList(bool unused);
  // 9: rebuild worker run on the root; answers the level count, 0 when fewer
  //    than two values are listed (the tree is then left as it is).
  virtual long convertFromLinkedList(KFragmentPtrArray<KTreeItemBase>& array,
                                     int (*compare)(const void*, const void*), bool unique,
                                     bool unused);
  // 10: exchanges values and flags with `other`.
  virtual void swapData(KTreeItemBase& other) = 0;
  // 11: copies `other`'s value (when it has one) and flags.
  virtual void copyData(const KTreeItemBase& other) = 0;
  // 12: recursive emptying worker; see the root's override.
  virtual void emptyTree(KTreeItemBase& root, bool deleteItems, bool callDelete);
  // 13: makes this item a node-for-node copy of `source`, allocating children
  //     through `destinationRoot`. Answers true when an item could not be had.
  virtual bool copyStructure(const KTreeItemBase& source, KTreeItemBase& destinationRoot);
  // 14..19 forward to the root object (found through m_parent).
  virtual long getId() const { return getRoot()->getId(); }
  virtual void callDelete(KTreeItemBase* item) { getRoot()->callDelete(item); }
  virtual KTreeItemBase* newDerived(KTreeItemBase* parent) { return getRoot()->newDerived(parent); }
  virtual void deleteDerived(KTreeItemBase* item) { getRoot()->deleteDerived(item); }
  virtual void incIterators(KTreeIteratorBase& it) const { getRoot()->incIterators(it); }
  virtual void decIterators(KTreeIteratorBase& it) const { getRoot()->decIterators(it); }
  // 20..23: answers of a plain item; roots override them.
  virtual long getCount() const { return 0; }
  virtual long maxDepth() const { return 0; }
  virtual bool isLinkedList() const { return false; }
  virtual bool isEmpty() const { return false; }

  // Items are freed only by their root's deleteDerived.
  static void operator delete(void*) {}

  bool isRed() const { return m_colour != 0; }
  static bool isRed(const KTreeItemBase* x) { return x && x->m_colour; }
  void setRed(bool red) { m_colour = red ? 1u : 0u; }
  unsigned int getFlags() const { return m_flags; }
  void setFlags(unsigned int flags) { m_flags = flags & 0x7fffffffu; }
  KTreeItemBase* getLeft() const { return m_left; }
  KTreeItemBase* getRight() const { return m_right; }
  KTreeItemBase* getParent() const { return m_parent; }
  KTreeItemBase* getRoot() const {
    const KTreeItemBase* x = this;
    while (x->m_parent) x = x->m_parent;
    return const_cast<KTreeItemBase*>(x);
  }

  // Red-black repairs shared by all trees (the root object is the node
  // without a parent).
  // Colours `x` red and restores the invariants after it was linked in.
  static void insertRepair(KTreeItemBase* x, KTreeItemBase& root);
  // Unlinks `z` (any node holding a value) and frees the node that leaves
  // the tree through the root's deleteDerived.
  static void unlink(KTreeItemBase* z, KTreeItemBase& root);
  // Rotations; at the root object they exchange values and colours instead of
  // moving it. Answer the node that now holds `x`'s former value.
  static KTreeItemBase* rotateLeft(KTreeItemBase* x);
  static KTreeItemBase* rotateRight(KTreeItemBase* x);

 protected:
  KTreeItemBase(const KTreeItemBase& other)
      : KObject(other), m_colour(other.m_colour), m_flags(other.m_flags),
        m_left(nullptr), m_right(nullptr), m_parent(nullptr) {}
  // Copies colour and flags only; links stay.
  KTreeItemBase& operator=(const KTreeItemBase& other) {
    m_flags = other.m_flags;
    return *this;
  }

  // Appends `item` to the list headed by root object `root`.
  static void appendToList(KTreeItemBase& root, KTreeItemBase* item) {
    item->m_parent = &root;
    item->m_left = item->m_right = nullptr;
    if (root.m_left) root.m_left->m_right = item;
    else root.m_right = item;
    root.m_left = item;
  }
  static void deleteRepair(KTreeItemBase* p, bool xLeft);
  // Appends the subtree under x to root's list in post-order.
  static void flatten(KTreeItemBase* x, KTreeItemBase& root);
  static void buildBalanced(KTreeItemBase* const* items, KTreeItemBase* x, long lo, long hi,
                            bool red);

  // Sorts n listed items (contiguous) into rebuild order; `compare` is the
  // caller's slot comparison, `root` the root object being rebuilt.
  using ListSorter = void (*)(KTreeItemBase** items, long n,
                              int (*compare)(const void*, const void*), const KTreeItemBase& root);
  // Sorts with `compare` on pointers to the slots (the general way).
  static void sortWithCompare(KTreeItemBase** items, long n,
                              int (*compare)(const void*, const void*), const KTreeItemBase& root);
  // The rebuild worker behind convertFromLinkedList (run on the root): the
  // items are collected into a contiguous scratch vector, sorted by `sorter`,
  // made unique, built into a balanced tree and finally stored into `array`.
  long rebuildFromList(KFragmentPtrArray<KTreeItemBase>& array,
                       int (*compare)(const void*, const void*), ListSorter sorter, bool unique);

 public:
  unsigned int m_colour : 1;
  unsigned int : 31;
  unsigned int m_flags : 31;
  KTreeItemBase* m_left;
  KTreeItemBase* m_right;
  KTreeItemBase* m_parent;
};
