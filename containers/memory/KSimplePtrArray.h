// Pointer arrays: KConstSimplePtrArrayBase<T> (storage abstract, read access),
// KSimplePtrArray<T> (write access), KGrowingPtrArray<T> (used count, see
// KGrowArrayBase.h), KHGrowingPtrArray<T> (heap) and KSGrowingPtrArray<T>
// (built-in buffer of 50 pointers, heap beyond).
//
// Elements are T* and are copied as plain pointer values. The arrays do not
// own their pointees: only the operations that take the delete flag (and
// removeAllDeleting) delete them, from the highest index down, each non-null
// pointee once, its slot cleared before it is deleted.
//
// A one-element array holds its pointer in the array object itself (storage
// kind 2) without separate storage.
//
// Failure: when the heap cannot supply storage the array empties itself
// (pointees not deleted); requests of kArraySizeLimit or more are ignored.
//
// Invariants: as for the value arrays; unused slots hold null.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/application/KObject.h"
#include "containers/memory/KArrayStorage.h"
#include "containers/memory/KGrowArrayBase.h"

template <class T>
class KConstSimplePtrArrayBase : public KObject {
 public:
  using Element = T*;

  KConstSimplePtrArrayBase() = default;
  ~KConstSimplePtrArrayBase() override {
    if (kStorageKindOf(m_storage) == kStorageHeap) KHeapFree(m_pData);
  }
  KConstSimplePtrArrayBase(const KConstSimplePtrArrayBase&) = delete;
  KConstSimplePtrArrayBase& operator=(const KConstSimplePtrArrayBase&) = delete;

  // Storage for n null pointers and its kind; null when none can be had.
  virtual T** allocateStorage(unsigned& kind, long n) = 0;
  virtual void releaseStorage(unsigned kind, T** p, long n) = 0;
  virtual bool isGrowing() const { return false; }
  // Stores value at index, growing the storage to index + growBy first when
  // it is too small; stores nothing when that fails.
  virtual void setAtGrow(long index, T* value, long growBy = 1) {
    if (index < 0 || index >= kArraySizeLimit) return;
    if (storageSize() < index + 1) reserve(index + std::clamp(growBy, 1L, kArraySizeLimit));
    if (index < storageSize()) m_pData[index] = value;
    ensureCount(index);
  }
  virtual void reserve(long n) { setSize(n); }
  virtual void reserveStorage(long n) { reserve(n); }
  virtual void setCount(long n, bool deletePointees = false) { setSize(n, deletePointees); }
  // Exact reallocation to n slots. With the flag, the pointees beyond n are
  // deleted before the old storage is released.
  virtual void setSize(long n, bool deletePointees = false) {
    if (n < 0) n = 0;
    long old = storageSize();
    if (n == old || n >= kArraySizeLimit) return;
    if (n < old) resetRange(n, old, deletePointees);
    if (n == 0) {
      removeAll();
      return;
    }
    unsigned kind = kStorageNone;
    T** p = allocateStorage(kind, n);
    if (!p) {
      removeAll();
      return;
    }
    if (p != m_pData) {
      if (long keep = std::min(old, n); keep > 0)
        std::memcpy(static_cast<void*>(p), m_pData, static_cast<size_t>(keep) * sizeof(T*));
      if (m_pData) releaseStorage(kStorageKindOf(m_storage), m_pData, old);
      m_pData = p;
    }
    m_storage = kStorageWord(n, kind);
  }
  // Releases the storage without deleting the pointees.
  virtual void removeAll() {
    if (m_pData) releaseStorage(kStorageKindOf(m_storage), m_pData, storageSize());
    m_pData = nullptr;
    m_storage = 0;
  }
  virtual long getStorageSize() const {
    return kStorageKindOf(m_storage) == kStorageBuffer ? 0 : storageSize();
  }
  virtual long getCount() const { return storageSize(); }
  virtual long getSize() const { return storageSize(); }
  virtual long getValidCount() const { return storageSize(); }
  virtual long getUpperBound() const { return storageSize() - 1; }
  virtual long getAllocated() const { return storageSize(); }
  virtual long getGrowBy(long n) const { (void)n; return 1; }
  virtual void ensureCount(long index) { (void)index; }
  virtual long mapIndex(long index) const { return index; }
  // Deletes every pointee, then releases the storage.
  virtual void removeAllDeleting() {
    resetRange(0, storageSize(), true);
    removeAll();
  }
  // Whether the array holds its single pointer without separate storage.
  virtual bool holdsSingleInline() const { return kStorageKindOf(m_storage) == kStorageSingle; }

  const T* getAt(long i) const { return m_pData[i]; }
  const T* operator[](long i) const { return m_pData[i]; }
  bool isEmpty() const { return getCount() == 0; }
  unsigned getStorageKind() const { return kStorageKindOf(m_storage); }
  // Index of the first slot holding p among the counted ones, or -1.
  long find(const T* p) const {
    for (long i = 0, n = getValidCount(); i < n; ++i)
      if (m_pData[i] == p) return i;
    return -1;
  }

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
  long dumpAllocatedMembers(_TREEITEM*, bool, KString&) const override {
    return kStorageKindOf(m_storage) == kStorageHeap ? static_cast<long>(storageSize() * sizeof(T*)) : 0;
  }

 protected:
  long storageSize() const { return kStorageSizeOf(m_storage); }

  // Heap storage, or the inline slot for a single pointer.
  T** heapAllocate(unsigned& kind, long n) {
    if (n == 1) {
      kind = kStorageSingle;
      m_pSingle = nullptr;
      return &m_pSingle;
    }
    kind = kStorageHeap;
    T** p = static_cast<T**>(KHeapAlloc(static_cast<size_t>(n) * sizeof(T*)));
    if (p) std::memset(static_cast<void*>(p), 0, static_cast<size_t>(n) * sizeof(T*));
    return p;
  }
  void heapRelease(unsigned kind, T** p) {
    if (kind == kStorageHeap) KHeapFree(p);
    else if (kind == kStorageSingle) m_pSingle = nullptr;
  }

  // Clears slots [from, to), highest first, deleting the pointees when asked.
  void resetRange(long from, long to, bool deletePointees) {
    for (long i = to - 1; i >= from; --i) {
      T* p = m_pData[i];
      m_pData[i] = nullptr;
      if (deletePointees) delete p;
    }
  }

  uint32_t m_storage = 0;
  T** m_pData = nullptr;
  T* m_pSingle = nullptr;
};

template <class T>
class KSimplePtrArray : public KConstSimplePtrArrayBase<T> {
 public:
  T*& operator[](long i) { return this->m_pData[i]; }
  T* operator[](long i) const { return this->m_pData[i]; }
  T* getAt(long i) const { return this->m_pData[i]; }
  void setAt(long i, T* p) { this->m_pData[i] = p; }
  T** getData() { return this->m_pData; }
  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
};

template <class T>
class KGrowingPtrArray : public KGrowArrayBase<KSimplePtrArray<T>, T> {
 public:
  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
};

template <class T>
class KHGrowingPtrArray : public KGrowingPtrArray<T> {
 public:
  T** allocateStorage(unsigned& kind, long n) override { return this->heapAllocate(kind, n); }
  void releaseStorage(unsigned kind, T** p, long n) override {
    (void)n;
    this->heapRelease(kind, p);
  }
  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
};

template <class T>
class KSGrowingPtrArray : public KHGrowingPtrArray<T> {
 public:
  ~KSGrowingPtrArray() override {
    if (this->getStorageKind() == kStorageBuffer) {
      this->m_pData = nullptr;
      this->m_storage = 0;
    }
  }
  T** allocateStorage(unsigned& kind, long n) override {
    if (n <= kArrayBufferCount) {
      kind = kStorageBuffer;
      return m_buffer;
    }
    return KHGrowingPtrArray<T>::allocateStorage(kind, n);
  }
  void releaseStorage(unsigned kind, T** p, long n) override {
    if (kind == kStorageBuffer) std::fill(m_buffer, m_buffer + n, nullptr);
    else KHGrowingPtrArray<T>::releaseStorage(kind, p, n);
  }
  void reserve(long n) override {
    if (n > 0 && n <= kArrayBufferCount && n >= this->m_nCount) n = kArrayBufferCount;
    KHGrowingPtrArray<T>::reserve(n);
  }
  // As for the value arrays: storage within the buffer is the whole buffer.
  void grow(long n) override {
    if (n > 0 && n <= kArrayBufferCount) n = kArrayBufferCount;
    KHGrowingPtrArray<T>::grow(n);
  }
  bool usesBuffer() const { return this->m_pData == m_buffer; }
  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

 private:
  T* m_buffer[kArrayBufferCount] = {};
};
