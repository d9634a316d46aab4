// KADTItem: one node of an alternating digital tree (see KADTRoot.h). Every
// indexed item is a node: it links its two children and its parent. The tree
// only links items; whoever created them owns them.
//
// Item is the derived class (it derives from KADTItem<Item, B, T>) and
// answers its key bounds through `const B& keys() const`.
#pragma once
#include "core/application/KObject.h"

template <class Item, class B, class T>
class KADTItem : public KObject {
 public:
  KADTItem() = default;
  KADTItem(const KADTItem&) = delete;
  KADTItem& operator=(const KADTItem&) = delete;
  ~KADTItem() override = default;
  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

  // Deletes the left subtree, then the right subtree (clearing each child
  // link), then this item, which must have been made with new. Iterative
  // over the parent links, so a degenerate tree (a long chain of equal keys)
  // cannot exhaust the stack. The parent's link to this item is cleared.
  virtual void deleteSubtree() {
    KADTItem* node = this;
    for (;;) {
      if (node->m_pLeft) {
        node = node->m_pLeft;
      } else if (node->m_pRight) {
        node = node->m_pRight;
      } else {
        KADTItem* parent = node->m_pParent;
        if (parent) (parent->m_pLeft == node ? parent->m_pLeft : parent->m_pRight) = nullptr;
        bool last = node == this;
        delete node;
        if (last) return;
        node = parent;
      }
    }
  }

  Item* getLeft() const { return m_pLeft; }
  Item* getRight() const { return m_pRight; }
  Item* getParent() const { return m_pParent; }

  Item* m_pLeft = nullptr;
  Item* m_pRight = nullptr;
  Item* m_pParent = nullptr;
};
