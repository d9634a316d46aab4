// List wrappers over the platform's doubly linked list.
//
// KList<T> and KRealList<T, L> add nothing to CList<T, const T&> but their
// names and a node block size given at construction (10 by default). A list
// that cannot get a node block throws CMemoryException, as the platform list
// does.
//
// KPtrList<T> holds a list of T* that it does not own: its destructor empties
// the list without deleting the pointed-to objects. Its memory report counts
// 12 bytes per list node.
#pragma once
#include "core/application/KObject.h"
#include "platform/CList.h"

template <class T>
class KList : public CList<T, const T&> {
 public:
  explicit KList(INT_PTR nBlockSize = 10) : CList<T, const T&>(nBlockSize) {}
};

template <class T, class L = KList<T>>
class KRealList : public L {
 public:
  explicit KRealList(INT_PTR nBlockSize = 10) : L(nBlockSize) {}
};

template <class T>
class KPtrList : public KObject {
 public:
  using List = KRealList<T*, KList<T*>>;

  explicit KPtrList(INT_PTR nBlockSize = 10) : m_list(nBlockSize) {}
  // Empties the list; the pointees are not deleted.
  ~KPtrList() override { m_list.RemoveAll(); }
  KPtrList(const KPtrList&) = delete;
  KPtrList& operator=(const KPtrList&) = delete;

  POSITION AddHead(T* p) { return m_list.AddHead(p); }
  POSITION AddTail(T* p) { return m_list.AddTail(p); }
  T* RemoveHead() { return m_list.RemoveHead(); }
  T* RemoveTail() { return m_list.RemoveTail(); }
  void RemoveAt(POSITION position) { m_list.RemoveAt(position); }
  // Empties the list without deleting the pointees.
  void RemoveAll() { m_list.RemoveAll(); }
  INT_PTR GetCount() const { return m_list.GetCount(); }
  bool IsEmpty() const { return m_list.IsEmpty(); }
  POSITION GetHeadPosition() const { return m_list.GetHeadPosition(); }
  POSITION GetTailPosition() const { return m_list.GetTailPosition(); }
  T* GetNext(POSITION& position) const { return m_list.GetNext(position); }
  T* GetPrev(POSITION& position) const { return m_list.GetPrev(position); }
  T* GetAt(POSITION position) const { return m_list.GetAt(position); }
  POSITION Find(T* p, POSITION startAfter = nullptr) const { return m_list.Find(p, startAfter); }
  List& getList() { return m_list; }
  const List& getList() const { return m_list; }

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
  long dumpAllocatedMembers(_TREEITEM*, bool, KString&) const override {
    return static_cast<long>(12 * m_list.GetCount());
  }

 private:
  List m_list;
};
