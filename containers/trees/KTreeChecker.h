// KTreeChecker: verifies every invariant of a tree and answers a description
// of the first violation, or an empty text when the tree is sound.
//   tree mode: root black and without parent; no red item with a red child;
//              equal black height on every path; child->m_parent links back;
//              in-order sequence strictly ordered (for consecutive a, b:
//              cmpFunc(b, a) < 0); number of values = getCount().
//   linked-list mode: every listed item's parent is the root, the root's
//              m_left is the tail, and the list holds getCount() values.
// Tests call it after each operation; debug builds may assert it.
#pragma once
#include <string>

#include "containers/trees/KTreeRootBase.h"

class KTreeChecker {
 public:
  template <class T, class Item>
  static std::string check(const KTreeRootBase<T, Item>& root) {
    if (root.m_parent) return "root has a parent";
    if (root.isLinkedList()) return checkList(root);
    if (root.getCount() == 0) {
      if (root.m_left || root.m_right) return "empty tree has children";
      return {};
    }
    if (root.isRed()) return "root is red";
    std::string error;
    long blackHeight = -1;
    long count = 0;
    const Item* previous = nullptr;
    walk<T, Item>(&root, 0, blackHeight, count, previous, root.getId(), error);
    if (!error.empty()) return error;
    if (count != root.getCount())
      return "count " + std::to_string(count) + " != getCount() " + std::to_string(root.getCount());
    return {};
  }

 private:
  template <class T, class Item>
  static std::string checkList(const KTreeRootBase<T, Item>& root) {
    long count = root.getCount() ? 1 : 0;
    const KTreeItemBase* tail = nullptr;
    for (const KTreeItemBase* x = root.m_right; x; x = x->m_right) {
      if (x->m_parent != &root) return "listed item not parented to the root";
      if (x->m_left) return "listed item has m_left";
      tail = x;
      if (++count > root.getCount()) return "list longer than getCount()";
    }
    if (root.m_left != tail) return "root's m_left is not the tail";
    if (count != root.getCount()) return "list shorter than getCount()";
    return {};
  }

  template <class T, class Item>
  static void walk(const KTreeItemBase* x, long blacks, long& blackHeight, long& count,
                   const Item*& previous, long id, std::string& error) {
    if (!error.empty()) return;
    if (!x) {
      if (blackHeight < 0) blackHeight = blacks;
      else if (blackHeight != blacks) error = "black heights differ";
      return;
    }
    if (x->isRed() && (KTreeItemBase::isRed(x->m_left) || KTreeItemBase::isRed(x->m_right)))
      error = "red item with a red child";
    for (const KTreeItemBase* c : {x->m_left, x->m_right})
      if (c && c->m_parent != x) error = "broken parent link";
    if (!error.empty()) return;
    long below = blacks + (x->isRed() ? 0 : 1);
    walk<T, Item>(x->m_left, below, blackHeight, count, previous, id, error);
    if (!error.empty()) return;
    const Item* item = static_cast<const Item*>(x);
    if (previous && KTreeOrder<T>::compare(*item->value(), *previous->value(), id) >= 0)
      error = "in-order sequence out of order at value " + std::to_string(count);
    previous = item;
    ++count;
    walk<T, Item>(x->m_right, below, blackHeight, count, previous, id, error);
  }
};
