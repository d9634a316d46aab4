// KTreeIteratorBase: a walk over one tree in one of four orders:
//   0 depth-first (pre-order: item, m_left subtree, m_right subtree),
//   1 in order (m_left subtree, item, m_right subtree),
//   2 reverse order, 3 list order (root, then m_right links).
// A tree in linked-list mode is always walked in list order. The walk
// registers itself with the root while it runs and unregisters at its end.
// The tree must not change during a walk.
//
// Depth-first stack: every push stores a distinct item that has not been
// visited yet, so at most getCount() - 1 entries are ever held; the capacity
// of getCount() + 5 therefore always suffices for an unchanged tree. Should a
// tree change under a walk anyway, the stack grows instead of dropping a
// subtree.
#pragma once
#include <vector>

#include "containers/trees/KTreeItemBase.h"

class QUELM_TREES_API KTreeIteratorBase {
 public:
  enum Order : long { kDepthFirst = 0, kInOrder = 1, kReverse = 2, kListOrder = 3 };

  KTreeIteratorBase() = default;
  KTreeIteratorBase(const KTreeItemBase& root, long order) { start(root, order); }
  ~KTreeIteratorBase() { finish(); }
  KTreeIteratorBase(const KTreeIteratorBase&) = delete;
  KTreeIteratorBase& operator=(const KTreeIteratorBase&) = delete;

  // Ends any previous walk and positions on the first item of `root` in
  // `order` (at the end at once when the tree is empty).
  void start(const KTreeItemBase& root, long order);
  // Moves to the next item; at the end current() answers null.
  void advance();
  // Ends the walk early (unregisters, frees the stack).
  void finish();

  const KTreeItemBase* current() const { return m_current; }
  bool atEnd() const { return m_current == nullptr; }
  long getOrder() const { return m_order; }
  long getRegistrations() const { return m_registrations; }
  long getStackCapacity() const { return static_cast<long>(m_stack.size()); }

 private:
  const KTreeItemBase* m_root = nullptr;
  std::vector<const KTreeItemBase*> m_stack;
  long m_top = 0;
  long m_order = kInOrder;
  const KTreeItemBase* m_current = nullptr;
  long m_registrations = 0;
};

// Typed view of a walk: `Item` is the tree's item class.
template <class Item>
class KTreeIterator : public KTreeIteratorBase {
 public:
  using KTreeIteratorBase::KTreeIteratorBase;
  const Item* item() const { return static_cast<const Item*>(current()); }
  const typename Item::ValueType* data() const { return item() ? item()->value() : nullptr; }
};
