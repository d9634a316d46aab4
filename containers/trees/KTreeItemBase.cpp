#include "containers/trees/KTreeItemBase.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "containers/trees/KFragmentPtrArray.h"

long KTreeItemBase::dumpAllocatedMembers(_TREEITEM* parent, bool list, KString& name) const {
  long bytes = 0;
  for (const KTreeItemBase* child : {m_left, m_right})
    if (child) bytes += child->dumpAllocatedMembers(parent, list, name) + child->getSizeOfThis();
  return bytes;
}

long KTreeItemBase::dumpAllocatedMembersDeep(_TREEITEM* parent, bool list, KString& name) const {
  long bytes = 0;
  for (const KTreeItemBase* child : {m_left, m_right})
    if (child) bytes += child->dumpAllocatedMembersDeep(parent, list, name) + child->getSizeOfThis();
  return bytes;
}

KTreeItemBase& KTreeItemBase::copyFrom(const KTreeItemBase& other) {
  copyData(other);
  return *this;
}

unsigned long g_treeRootSwaps = 0;
unsigned long long g_treeChangeStamp = 0;

// ---- rotations -----------------------------------------------------------
//
// At an ordinary node the child on the other side takes x's place. The root
// object cannot move, so there the child y and the root exchange values,
// flags and colours and the subtrees are re-hung to give the same shape: the
// root ends holding y's value and y stands where x would go.

KTreeItemBase* KTreeItemBase::rotateLeft(KTreeItemBase* x) {
  KTreeItemBase* y = x->m_right;
  if (!x->m_parent) {
    KTreeItemBase* a = x->m_left;
    KTreeItemBase* b = y->m_left;
    KTreeItemBase* c = y->m_right;
    ++g_treeRootSwaps;
    x->swapData(*y);
    unsigned int colour = x->m_colour;
    x->m_colour = y->m_colour;
    y->m_colour = colour;
    y->m_left = a;
    y->m_right = b;
    if (a) a->m_parent = y;
    if (b) b->m_parent = y;
    x->m_left = y;
    x->m_right = c;
    if (c) c->m_parent = x;
    y->m_parent = x;
    return y;
  }
  x->m_right = y->m_left;
  if (y->m_left) y->m_left->m_parent = x;
  KTreeItemBase* p = x->m_parent;
  y->m_parent = p;
  if (p->m_left == x) p->m_left = y;
  else p->m_right = y;
  y->m_left = x;
  x->m_parent = y;
  return x;
}

KTreeItemBase* KTreeItemBase::rotateRight(KTreeItemBase* x) {
  KTreeItemBase* y = x->m_left;
  if (!x->m_parent) {
    KTreeItemBase* a = y->m_left;
    KTreeItemBase* b = y->m_right;
    KTreeItemBase* c = x->m_right;
    ++g_treeRootSwaps;
    x->swapData(*y);
    unsigned int colour = x->m_colour;
    x->m_colour = y->m_colour;
    y->m_colour = colour;
    x->m_left = a;
    if (a) a->m_parent = x;
    x->m_right = y;
    y->m_parent = x;
    y->m_left = b;
    y->m_right = c;
    if (b) b->m_parent = y;
    if (c) c->m_parent = y;
    return y;
  }
  x->m_left = y->m_right;
  if (y->m_right) y->m_right->m_parent = x;
  KTreeItemBase* p = x->m_parent;
  y->m_parent = p;
  if (p->m_left == x) p->m_left = y;
  else p->m_right = y;
  y->m_right = x;
  x->m_parent = y;
  return x;
}

// ---- insertion repair ------------------------------------------------------

void KTreeItemBase::insertRepair(KTreeItemBase* x, KTreeItemBase& root) {
  x->m_colour = 1;
  for (;;) {
    KTreeItemBase* p = x->m_parent;
    if (!p || !p->m_colour) break;
    KTreeItemBase* g = p->m_parent;
    if (!g) break;
    if (p == g->m_left) {
      KTreeItemBase* u = g->m_right;
      if (isRed(u)) {
        p->m_colour = 0;
        u->m_colour = 0;
        g->m_colour = 1;
        x = g;
        continue;
      }
      if (x == p->m_right) x = rotateLeft(p);
      x->m_parent->m_colour = 0;
      x->m_parent->m_parent->m_colour = 1;
      rotateRight(x->m_parent->m_parent);
    } else {
      KTreeItemBase* u = g->m_left;
      if (isRed(u)) {
        p->m_colour = 0;
        u->m_colour = 0;
        g->m_colour = 1;
        x = g;
        continue;
      }
      if (x == p->m_left) x = rotateRight(p);
      x->m_parent->m_colour = 0;
      x->m_parent->m_parent->m_colour = 1;
      rotateLeft(x->m_parent->m_parent);
    }
    break;  // the top of the rotated part is black now
  }
  root.m_colour = 0;
}

// ---- removal -----------------------------------------------------------------

void KTreeItemBase::unlink(KTreeItemBase* z, KTreeItemBase& root) {
  if (z->m_left && z->m_right) {
    // A red replacement leaves without any repair; prefer it.
    KTreeItemBase* s = z->m_right;
    while (s->m_left) s = s->m_left;
    if (!s->m_colour) {
      s = z->m_left;
      while (s->m_right) s = s->m_right;
    }
    z->copyData(*s);
    z = s;
  }
  KTreeItemBase* y = z->m_left ? z->m_left : z->m_right;
  if (!z->m_parent) {
    if (y) {
      z->m_left = y->m_left;
      z->m_right = y->m_right;
      if (z->m_left) z->m_left->m_parent = z;
      if (z->m_right) z->m_right->m_parent = z;
      z->copyData(*y);
      y->m_left = y->m_right = y->m_parent = nullptr;
      root.deleteDerived(y);
    }
    return;
  }
  KTreeItemBase* p = z->m_parent;
  bool zLeft = p->m_left == z;
  if (zLeft) p->m_left = y;
  else p->m_right = y;
  if (y) y->m_parent = p;
  if (!z->m_colour) {
    if (isRed(y)) y->m_colour = 0;
    else deleteRepair(p, zLeft);
  }
  z->m_left = z->m_right = z->m_parent = nullptr;
  root.deleteDerived(z);
}

// The subtree on side xLeft of p is one black short (its top, possibly absent,
// is black). Rotations at p keep that subtree on the same side of the node
// that then holds p's value, so the side is tracked rather than the node.
void KTreeItemBase::deleteRepair(KTreeItemBase* p, bool xLeft) {
  while (p) {
    KTreeItemBase* s = xLeft ? p->m_right : p->m_left;
    if (!s) return;  // cannot happen in a valid tree
    if (s->m_colour) {
      p->m_colour = 1;
      s->m_colour = 0;
      p = xLeft ? rotateLeft(p) : rotateRight(p);
      s = xLeft ? p->m_right : p->m_left;
    }
    KTreeItemBase* n = xLeft ? s->m_left : s->m_right;
    KTreeItemBase* f = xLeft ? s->m_right : s->m_left;
    if (!isRed(n) && !isRed(f)) {
      if (p->m_colour) {
        p->m_colour = 0;
        s->m_colour = 1;
        return;
      }
      s->m_colour = 1;
      KTreeItemBase* x = p;
      p = p->m_parent;
      if (p) xLeft = p->m_left == x;
      continue;
    }
    if (!isRed(f)) {
      n->m_colour = 0;
      s->m_colour = 1;
      if (xLeft) rotateRight(s);
      else rotateLeft(s);
      s = xLeft ? p->m_right : p->m_left;
      f = xLeft ? s->m_right : s->m_left;
    }
    s->m_colour = p->m_colour;
    p->m_colour = 0;
    f->m_colour = 0;
    if (xLeft) rotateLeft(p);
    else rotateRight(p);
    return;
  }
}

// ---- linked-list mode --------------------------------------------------------

void KTreeItemBase::flatten(KTreeItemBase* x, KTreeItemBase& root) {
  if (!x) return;
  KTreeItemBase* left = x->m_left;
  KTreeItemBase* right = x->m_right;
  flatten(left, root);
  flatten(right, root);
  appendToList(root, x);
}

void KTreeItemBase::convertToLinkedList(bool) {
  KTreeItemBase& root = *getRoot();
  KTreeItemBase* left = m_left;
  KTreeItemBase* right = m_right;
  m_left = m_right = nullptr;
  flatten(left, root);
  flatten(right, root);
}

long KTreeItemBase::convertFromLinkedList(KFragmentPtrArray<KTreeItemBase>& array,
                                          int (*compare)(const void*, const void*), bool unique,
                                          bool) {
  return rebuildFromList(array, compare, &sortWithCompare, unique);
}

// The sort is std::sort (unstable); typed sorters run the same algorithm on
// their own records, so with comparisons that answer alike they produce the
// same permutation, equal items included.
void KTreeItemBase::sortWithCompare(KTreeItemBase** items, long n,
                                    int (*compare)(const void*, const void*),
                                    const KTreeItemBase&) {
  std::sort(items, items + n,
            [compare](KTreeItemBase* const& a, KTreeItemBase* const& b) { return compare(&a, &b) < 0; });
}

long KTreeItemBase::rebuildFromList(KFragmentPtrArray<KTreeItemBase>& array,
                                    int (*compare)(const void*, const void*), ListSorter sorter,
                                    bool unique) {
  if (!m_left || !m_right) return 0;
  long count = getCount();
  if (array.getAllocated() < count) return 0;
  // A temporary item carries the root's value so that all values sort alike.
  KTreeItemBase* head = newDerived(nullptr);
  if (!head) return -1;
  head->copyFrom(*this);
  head->m_parent = this;
  head->m_right = m_right;
  // Sorting and building work on a contiguous copy: indexing the fragmented
  // array costs a division per access.
  std::vector<KTreeItemBase*> items;
  items.reserve(static_cast<size_t>(count));
  long limit = array.getAllocated();
  for (KTreeItemBase* x = head; x && static_cast<long>(items.size()) < limit; x = x->m_right)
    items.push_back(x);
  long n = static_cast<long>(items.size());
  head->m_right = nullptr;
  sorter(items.data(), n, compare, *this);

  if (unique) {
    long id = getId();
    long w = 0;
    for (long r = 1; r < n; ++r) {
      if (items[w]->cmpFunc(*items[r], id) != 0) {
        ++w;
        if (w != r) items[w]->copyData(*items[r]);
      }
    }
    for (long i = w + 1; i < n; ++i) {
      KTreeItemBase* x = items[i];
      x->m_left = x->m_right = x->m_parent = nullptr;
      deleteDerived(x);
    }
    n = w + 1;
  }

  long m = (n - 1) / 2;
  KTreeItemBase* middle = items[m];
  copyFrom(*middle);
  middle->m_left = middle->m_right = middle->m_parent = nullptr;
  deleteDerived(middle);
  items[m] = this;

  long levels = static_cast<long>(std::log(static_cast<double>(n)) / std::log(2.0) + 1.001);
  m_left = m_right = nullptr;
  buildBalanced(items.data(), this, 0, n - 1, (levels & 1) != 0);
  m_colour = 0;
  array.assign(items.data(), n);
  return levels;
}

// Colours alternate level by level so that the deepest level is red and every
// path carries the same number of black items.
void KTreeItemBase::buildBalanced(KTreeItemBase* const* items, KTreeItemBase* x, long lo, long hi,
                                  bool red) {
  for (;;) {
    x->m_colour = red ? 1u : 0u;
    long mid = (lo + hi) / 2;
    if (mid > lo) {
      KTreeItemBase* c = items[(lo + mid - 1) / 2];
      x->m_left = c;
      c->m_parent = x;
      buildBalanced(items, c, lo, mid - 1, !red);
    } else {
      x->m_left = nullptr;
    }
    if (mid == hi) {
      x->m_right = nullptr;
      return;
    }
    KTreeItemBase* c = items[(mid + 1 + hi) / 2];
    x->m_right = c;
    c->m_parent = x;
    x = c;
    lo = mid + 1;
    red = !red;
  }
}

// ---- emptying and copying ----------------------------------------------------

void KTreeItemBase::emptyTree(KTreeItemBase& root, bool deleteItems, bool callDelete) {
  if (m_left) m_left->emptyTree(root, deleteItems, callDelete);
  if (m_right) m_right->emptyTree(root, deleteItems, callDelete);
  if (callDelete) root.callDelete(this);
  if (this == &root) {
    m_left = m_right = nullptr;
  } else if (deleteItems) {
    m_left = m_right = m_parent = nullptr;
    root.deleteDerived(this);
  }
}

bool KTreeItemBase::copyStructure(const KTreeItemBase& source, KTreeItemBase& destinationRoot) {
  m_colour = source.m_colour;
  copyData(source);
  if (source.m_left) {
    KTreeItemBase* c = destinationRoot.newDerived(this);
    if (!c) return true;
    m_left = c;
    if (c->copyStructure(*source.m_left, destinationRoot)) return true;
  }
  if (source.m_right) {
    KTreeItemBase* c = destinationRoot.newDerived(this);
    if (!c) return true;
    m_right = c;
    if (c->copyStructure(*source.m_right, destinationRoot)) return true;
  }
  return false;
}
