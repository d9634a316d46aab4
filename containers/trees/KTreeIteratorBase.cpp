#include "containers/trees/KTreeIteratorBase.h"

void KTreeIteratorBase::start(const KTreeItemBase& root, long order) {
  finish();
  m_root = &root;
  m_order = root.isLinkedList() ? kListOrder : order;
  if (root.isEmpty()) return;
  ++m_registrations;
  root.incIterators(*this);
  const KTreeItemBase* x = &root;
  switch (m_order) {
    case kDepthFirst:
      m_stack.assign(static_cast<size_t>(root.getCount() + 5), nullptr);
      m_top = 0;
      break;
    case kInOrder:
      while (x->m_left) x = x->m_left;
      break;
    case kReverse:
      while (x->m_right) x = x->m_right;
      break;
    default:
      break;
  }
  m_current = x;
}

void KTreeIteratorBase::advance() {
  const KTreeItemBase* x = m_current;
  if (!x) return;
  switch (m_order) {
    case kDepthFirst:
      if (x->m_left) {
        if (x->m_right) {
          if (m_top >= static_cast<long>(m_stack.size())) m_stack.resize(m_stack.size() * 2 + 8);
          m_stack[static_cast<size_t>(m_top++)] = x->m_right;
        }
        x = x->m_left;
      } else {
        x = x->m_right;
        if (!x) x = m_top > 0 ? m_stack[static_cast<size_t>(--m_top)] : nullptr;
      }
      break;
    case kInOrder:
      if (x->m_right) {
        x = x->m_right;
        while (x->m_left) x = x->m_left;
      } else {
        while (x->m_parent && x == x->m_parent->m_right) x = x->m_parent;
        x = x->m_parent;
      }
      break;
    case kReverse:
      if (x->m_left) {
        x = x->m_left;
        while (x->m_right) x = x->m_right;
      } else {
        while (x->m_parent && x == x->m_parent->m_left) x = x->m_parent;
        x = x->m_parent;
      }
      break;
    default:
      x = x->m_right;
      break;
  }
  m_current = x;
  if (!x) finish();
}

void KTreeIteratorBase::finish() {
  m_current = nullptr;
  if (m_root) {
    for (; m_registrations > 0; --m_registrations) m_root->decIterators(*this);
  }
  m_registrations = 0;
  m_stack.clear();
  m_stack.shrink_to_fit();
  m_top = 0;
}
