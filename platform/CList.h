// CList<TYPE, ARG_TYPE>: the platform's doubly linked list, with the names
// and behaviour of the model class of the same name.
//
// Nodes are taken from blocks of m_nBlockSize nodes. A node removed from the
// list goes onto a free list and is reused by the next insertion; blocks are
// released only by RemoveAll, by the destructor, or when the list becomes
// empty. An element is constructed (copy-constructed from the argument) when
// its node enters the list and destroyed when the node leaves it, so free
// nodes hold no live element.
//
// A POSITION is the address of a node. It stays valid, and keeps naming the
// same element, until that element is removed: insertions, removals of other
// elements and MoveToHead/MoveToTail never move a node. Operations that take a
// POSITION require a valid one of this list (checked by assert); those that
// take the head or tail require a non-empty list.
//
// Node blocks come from KHeapAlloc; when one cannot be had the insertion
// throws CMemoryException and leaves the list as it was.
//
// The list owns its elements (not what pointer elements point to) and is not
// copyable; copy contents explicitly with AddTail(&other).
#pragma once
#include <cassert>
#include <cstddef>
#include <new>
#include <utility>

#include "platform/KExceptions.h"
#include "platform/KHeap.h"
#include "platform/KWinTypes.h"

// Opaque iteration handle: the address of a list node, or null.
typedef struct __POSITION {}* POSITION;

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList {
 public:
  explicit CList(INT_PTR nBlockSize = 10) : m_nBlockSize(nBlockSize > 0 ? nBlockSize : 1) {}
  ~CList() { RemoveAll(); }
  CList(const CList&) = delete;
  CList& operator=(const CList&) = delete;

  INT_PTR GetCount() const { return m_nCount; }
  INT_PTR GetSize() const { return m_nCount; }
  bool IsEmpty() const { return m_nCount == 0; }

  // Head and tail elements; the list must not be empty.
  TYPE& GetHead() { assert(m_pHead); return m_pHead->value(); }
  const TYPE& GetHead() const { assert(m_pHead); return m_pHead->value(); }
  TYPE& GetTail() { assert(m_pTail); return m_pTail->value(); }
  const TYPE& GetTail() const { assert(m_pTail); return m_pTail->value(); }

  // Remove the head (tail) element and return it; the list must not be empty.
  TYPE RemoveHead() {
    assert(m_pHead);
    CNode* node = m_pHead;
    TYPE result(std::move(node->value()));
    unlink(node);
    freeNode(node);
    return result;
  }
  TYPE RemoveTail() {
    assert(m_pTail);
    CNode* node = m_pTail;
    TYPE result(std::move(node->value()));
    unlink(node);
    freeNode(node);
    return result;
  }

  // Insert a copy of the value at the head (tail); returns its position.
  POSITION AddHead(ARG_TYPE value) { return pos(linkBefore(newNode(value), m_pHead)); }
  POSITION AddTail(ARG_TYPE value) { return pos(linkBefore(newNode(value), nullptr)); }

  // Insert copies of all elements of pNewList, in their order, before the
  // head (after the tail). pNewList may be this list: its elements as they
  // were before the call are copied once.
  void AddHead(const CList* pNewList) {
    assert(pNewList);
    INT_PTR n = pNewList->m_nCount;
    CNode* src = pNewList->m_pTail;
    for (INT_PTR i = 0; i < n; ++i, src = src->pPrev) AddHead(src->value());
  }
  void AddTail(const CList* pNewList) {
    assert(pNewList);
    INT_PTR n = pNewList->m_nCount;
    CNode* src = pNewList->m_pHead;
    for (INT_PTR i = 0; i < n; ++i, src = src->pNext) AddTail(src->value());
  }

  // Destroy every element and release every node block.
  void RemoveAll() {
    for (CNode* node = m_pHead; node; node = node->pNext) node->value().~TYPE();
    m_pHead = m_pTail = m_pFree = nullptr;
    m_nCount = 0;
    while (m_pBlocks) {
      CNode* next = m_pBlocks->pNext;
      KHeapFree(m_pBlocks);
      m_pBlocks = next;
    }
    m_nBlocks = 0;
  }

  POSITION GetHeadPosition() const { return pos(m_pHead); }
  POSITION GetTailPosition() const { return pos(m_pTail); }

  // Return the element at rPosition and advance rPosition to the next
  // (previous) node, null after the last (first).
  TYPE& GetNext(POSITION& rPosition) { CNode* n = node(rPosition); rPosition = pos(n->pNext); return n->value(); }
  const TYPE& GetNext(POSITION& rPosition) const { CNode* n = node(rPosition); rPosition = pos(n->pNext); return n->value(); }
  TYPE& GetPrev(POSITION& rPosition) { CNode* n = node(rPosition); rPosition = pos(n->pPrev); return n->value(); }
  const TYPE& GetPrev(POSITION& rPosition) const { CNode* n = node(rPosition); rPosition = pos(n->pPrev); return n->value(); }

  TYPE& GetAt(POSITION position) { return node(position)->value(); }
  const TYPE& GetAt(POSITION position) const { return node(position)->value(); }
  void SetAt(POSITION position, ARG_TYPE value) { node(position)->value() = value; }

  // Remove the element at position; the position becomes invalid.
  void RemoveAt(POSITION position) {
    CNode* n = node(position);
    unlink(n);
    freeNode(n);
  }

  // Insert a copy of the value before (after) position; a null position
  // inserts at the head (tail). Returns the new element's position.
  POSITION InsertBefore(POSITION position, ARG_TYPE value) {
    if (!position) return AddHead(value);
    CNode* at = node(position);
    return pos(linkBefore(newNode(value), at));
  }
  POSITION InsertAfter(POSITION position, ARG_TYPE value) {
    if (!position) return AddTail(value);
    CNode* at = node(position);
    return pos(linkBefore(newNode(value), at->pNext));
  }

  // Position of the first element equal to value, searching from the head or
  // from the element after startAfter; null when there is none.
  POSITION Find(ARG_TYPE value, POSITION startAfter = nullptr) const {
    CNode* n = startAfter ? node(startAfter)->pNext : m_pHead;
    for (; n; n = n->pNext)
      if (n->value() == value) return pos(n);
    return nullptr;
  }

  // Position of the element with zero-based index nIndex; null when nIndex
  // is negative or not below the count.
  POSITION FindIndex(INT_PTR nIndex) const {
    if (nIndex < 0 || nIndex >= m_nCount) return nullptr;
    CNode* n = m_pHead;
    while (nIndex-- > 0) n = n->pNext;
    return pos(n);
  }

  // Move the element at position to the head (tail). The node itself moves,
  // so every position, this one included, keeps naming its element.
  void MoveToHead(POSITION position) {
    CNode* n = node(position);
    if (n == m_pHead) return;
    unlink(n);
    linkBefore(n, m_pHead);
  }
  void MoveToTail(POSITION position) {
    CNode* n = node(position);
    if (n == m_pTail) return;
    unlink(n);
    linkBefore(n, nullptr);
  }

  INT_PTR GetBlockSize() const { return m_nBlockSize; }
  // Number of node blocks currently held (for memory reports).
  INT_PTR GetBlockCount() const { return m_nBlocks; }

  // True when the links, the count and the free list agree; for tests and
  // debug checks.
  bool checkInvariants() const {
    INT_PTR n = 0;
    const CNode* prev = nullptr;
    for (const CNode* p = m_pHead; p; prev = p, p = p->pNext, ++n)
      if (p->pPrev != prev || n > m_nCount) return false;
    if (prev != m_pTail || n != m_nCount) return false;
    INT_PTR nFree = 0;
    for (const CNode* p = m_pFree; p; p = p->pNext)
      if (++nFree > m_nBlocks * m_nBlockSize) return false;
    return n + nFree == m_nBlocks * m_nBlockSize;
  }

 private:
  struct CNode {
    CNode* pNext;
    CNode* pPrev;
    alignas(TYPE) unsigned char storage[sizeof(TYPE)];
    TYPE& value() { return *std::launder(reinterpret_cast<TYPE*>(storage)); }
    const TYPE& value() const { return *std::launder(reinterpret_cast<const TYPE*>(storage)); }
  };

  static POSITION pos(CNode* n) { return reinterpret_cast<POSITION>(n); }
  static CNode* node(POSITION p) {
    assert(p);
    return reinterpret_cast<CNode*>(p);
  }

  // A node holding a copy of value, not yet linked. The element is built
  // before any list state changes, so value may refer into this list, and a
  // throwing copy leaves the list as it was.
  CNode* newNode(ARG_TYPE value) {
    if (!m_pFree) addBlock();
    CNode* n = m_pFree;
    ::new (static_cast<void*>(n->storage)) TYPE(value);
    m_pFree = n->pNext;
    return n;
  }

  // Block layout: element 0 links the blocks, elements 1..m_nBlockSize are
  // nodes, threaded onto the free list.
  void addBlock() {
    static_assert(alignof(CNode) <= alignof(std::max_align_t), "node alignment beyond the heap's");
    void* raw = KHeapAlloc(sizeof(CNode) * (static_cast<size_t>(m_nBlockSize) + 1));
    if (!raw) AfxThrowMemoryException();
    CNode* block = static_cast<CNode*>(raw);
    block->pNext = m_pBlocks;
    m_pBlocks = block;
    ++m_nBlocks;
    for (INT_PTR i = m_nBlockSize; i >= 1; --i) {
      block[i].pNext = m_pFree;
      m_pFree = &block[i];
    }
  }

  CNode* linkBefore(CNode* n, CNode* before) {
    CNode* after = before ? before->pPrev : m_pTail;
    n->pPrev = after;
    n->pNext = before;
    (after ? after->pNext : m_pHead) = n;
    (before ? before->pPrev : m_pTail) = n;
    ++m_nCount;
    return n;
  }

  void unlink(CNode* n) {
    (n->pPrev ? n->pPrev->pNext : m_pHead) = n->pNext;
    (n->pNext ? n->pNext->pPrev : m_pTail) = n->pPrev;
    --m_nCount;
  }

  // Destroy the element of an unlinked node and recycle the node; an empty
  // list gives all its blocks back.
  void freeNode(CNode* n) {
    n->value().~TYPE();
    n->pNext = m_pFree;
    m_pFree = n;
    if (m_nCount == 0) RemoveAll();
  }

  CNode* m_pHead = nullptr;
  CNode* m_pTail = nullptr;
  INT_PTR m_nCount = 0;
  CNode* m_pFree = nullptr;
  CNode* m_pBlocks = nullptr;
  INT_PTR m_nBlocks = 0;
  INT_PTR m_nBlockSize;
};
