// KSimpleArray<T> and its value-array family.
//
// The family separates three decisions: where storage lives (the pure
// allocateStorage/releaseStorage pair, realised on the heap by the H classes
// and in a built-in buffer of 50 elements by the S classes), whether a used
// count is kept apart from the storage size (the growing arrays of
// KGrowArrayBase.h), and values versus pointers (KSimplePtrArray.h). Each member of the family has its own
// header, which includes this one; users include the ones they use.
//
// All logic that does not depend on where the storage lives is here in the
// base; the H and S classes only answer the two storage operations.
//
// Invariants: data is null exactly when the storage size is 0; elements
// [0, storage size) are live objects; the storage kind in the storage word is
// the one that allocateStorage reported for the current data. Elements of a
// built-in buffer beyond the storage size hold default values. Element
// references stay valid until the next reallocation.
//
// Failure: a heap request that cannot be met leaves the array unchanged;
// requests of kArraySizeLimit elements or more are ignored. Element access
// does no range test.
#pragma once
#include <algorithm>
#include <cstdint>
#include <utility>

#include "core/application/KObject.h"
#include "containers/memory/KArrayStorage.h"

template <class T>
class KSimpleArray : public KObject {
 public:
  using Element = T;

  KSimpleArray() = default;
  ~KSimpleArray() override {
    if (kStorageKindOf(m_storage) == kStorageHeap) KArrayHeap<T>::release(m_pData, storageSize());
  }
  KSimpleArray(const KSimpleArray&) = delete;
  KSimpleArray& operator=(const KSimpleArray&) = delete;

  // Storage for n elements (default values) and the kind to hand back to
  // releaseStorage; null when none can be had. May answer the current data
  // (a built-in buffer), in which case the array resizes in place.
  virtual T* allocateStorage(unsigned& kind, long n) = 0;
  // Gives back storage of n elements obtained with the given kind.
  virtual void releaseStorage(unsigned kind, T* p, long n) = 0;
  virtual bool isGrowing() const { return false; }
  // Stores value at index, first growing the storage to index + growBy
  // (growBy at least 1) when it is too small. Stores nothing when the
  // storage could not be obtained.
  virtual void setAtGrow(long index, const T& value, long growBy = 1) {
    if (index < 0 || index >= kArraySizeLimit) return;
    if (storageSize() < index + 1) {
      // value may live in the storage that is about to move.
      if (m_pData && &value >= m_pData && &value < m_pData + storageSize()) {
        T copy(value);
        reserve(index + std::clamp(growBy, 1L, kArraySizeLimit));
        if (index < storageSize()) m_pData[index] = std::move(copy);
        ensureCount(index);
        return;
      }
      reserve(index + std::clamp(growBy, 1L, kArraySizeLimit));
    }
    if (index < storageSize()) m_pData[index] = value;
    ensureCount(index);
  }
  // Makes room for n elements; here an exact reallocation.
  virtual void reserve(long n) { setSize(n); }
  virtual void reserveStorage(long n) { reserve(n); }
  // Sets the number of elements; here an exact reallocation. The flag is
  // meaningful only for pointer arrays.
  virtual void setCount(long n, bool deletePointees = false) { setSize(n, deletePointees); }
  // Exact reallocation to n elements, keeping the first min(old, n). n <= 0
  // releases the storage.
  virtual void setSize(long n, bool deletePointees = false) {
    (void)deletePointees;
    reallocate(n);
  }
  // Releases the storage; size 0, data null.
  virtual void removeAll() {
    if (m_pData) releaseStorage(kStorageKindOf(m_storage), m_pData, storageSize());
    m_pData = nullptr;
    m_storage = 0;
  }
  // Heap storage size: 0 while a built-in buffer is in use.
  virtual long getStorageSize() const {
    return kStorageKindOf(m_storage) == kStorageBuffer ? 0 : storageSize();
  }
  // Number of elements (for growing arrays the used count).
  virtual long getCount() const { return storageSize(); }
  virtual long getSize() const { return storageSize(); }
  // Elements that are both counted and stored.
  virtual long getValidCount() const { return storageSize(); }
  virtual long getUpperBound() const { return storageSize() - 1; }
  // Storage size (capacity).
  virtual long getAllocated() const { return storageSize(); }
  virtual long getGrowBy(long n) const { (void)n; return 1; }
  // Growing arrays extend their count to cover index; nothing here.
  virtual void ensureCount(long index) { (void)index; }
  virtual long mapIndex(long index) const { return index; }

  T& operator[](long i) { return m_pData[i]; }
  const T& operator[](long i) const { return m_pData[i]; }
  T& getAt(long i) { return m_pData[i]; }
  const T& getAt(long i) const { return m_pData[i]; }
  T* getData() { return m_pData; }
  const T* getData() const { return m_pData; }
  bool isEmpty() const { return getCount() == 0; }
  unsigned getStorageKind() const { return kStorageKindOf(m_storage); }
  T* begin() { return m_pData; }
  T* end() { return m_pData + getValidCount(); }
  const T* begin() const { return m_pData; }
  const T* end() const { return m_pData + getValidCount(); }

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
  long dumpAllocatedMembers(_TREEITEM*, bool, KString&) const override {
    return kStorageKindOf(m_storage) == kStorageHeap ? static_cast<long>(storageSize() * sizeof(T)) : 0;
  }

  // Makes this array's count and elements equal to other's. True on failure
  // (this array then keeps what it had).
  bool copyFrom(const KSimpleArray& other) {
    if (&other == this) return false;
    long n = other.getValidCount();
    setCount(n);
    if (getValidCount() != n) return true;
    for (long i = 0; i < n; ++i) m_pData[i] = other.m_pData[i];
    return false;
  }

 protected:
  long storageSize() const { return kStorageSizeOf(m_storage); }

  // Exact reallocation; true when the request was ignored or failed (the
  // array is then unchanged).
  bool reallocate(long n) {
    if (n < 0) n = 0;
    long old = storageSize();
    if (n == old) return false;
    if (n == 0) {
      removeAll();
      return false;
    }
    if (n >= kArraySizeLimit) return true;
    unsigned kind = kStorageNone;
    T* p = allocateStorage(kind, n);
    if (!p) return true;
    if (p == m_pData) {  // the built-in buffer, resized in place
      if (n < old) resetRange(n, old, false);
      m_storage = kStorageWord(n, kind);
      return false;
    }
    try {
      for (long i = std::min(old, n) - 1; i >= 0; --i) p[i] = std::move(m_pData[i]);
    } catch (...) {
      releaseStorage(kind, p, n);
      throw;
    }
    if (m_pData) releaseStorage(kStorageKindOf(m_storage), m_pData, old);
    m_pData = p;
    m_storage = kStorageWord(n, kind);
    return false;
  }

  // Resets elements [from, to) to default values.
  void resetRange(long from, long to, bool) {
    for (long i = from; i < to; ++i) m_pData[i] = T();
  }

  uint32_t m_storage = 0;
  T* m_pData = nullptr;
};

// Heap storage.
template <class T>
class KHSimpleArray : public KSimpleArray<T> {
 public:
  KHSimpleArray() = default;
  explicit KHSimpleArray(long n) { this->setSize(n); }
  KHSimpleArray(const KHSimpleArray& other) : KSimpleArray<T>() { this->copyFrom(other); }
  KHSimpleArray& operator=(const KHSimpleArray& other) {
    this->copyFrom(other);
    return *this;
  }
  T* allocateStorage(unsigned& kind, long n) override {
    kind = kStorageHeap;
    return KArrayHeap<T>::allocate(n);
  }
  void releaseStorage(unsigned kind, T* p, long n) override {
    if (kind == kStorageHeap) KArrayHeap<T>::release(p, n);
  }
  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
};

// KBufferedArray<HeapArray, T>: the built-in buffer of the S variants. Storage
// requests of up to 50 elements are served from a buffer inside the object,
// larger ones by the heap class below; resizes within the buffer obtain and
// release nothing. Every S value array (plain, growing, 2D) is this class over
// its H class, so the buffer code exists once.
template <class HeapArray, class T>
class KBufferedArray : public HeapArray {
 public:
  ~KBufferedArray() override {
    // The buffer dies with this object: the heap class below must not release it.
    if (this->getStorageKind() == kStorageBuffer) {
      this->m_pData = nullptr;
      this->m_storage = 0;
    }
  }
  T* allocateStorage(unsigned& kind, long n) override {
    if (n <= kArrayBufferCount) {
      kind = kStorageBuffer;
      return m_buffer;
    }
    return HeapArray::allocateStorage(kind, n);
  }
  void releaseStorage(unsigned kind, T* p, long n) override {
    if (kind == kStorageBuffer) {
      for (long i = 0; i < n; ++i) m_buffer[i] = T();
    } else {
      HeapArray::releaseStorage(kind, p, n);
    }
  }
  bool usesBuffer() const { return this->m_pData == m_buffer; }

 protected:
  KBufferedArray() = default;
  KBufferedArray(const KBufferedArray&) : HeapArray() {}

 private:
  T m_buffer[kArrayBufferCount]{};
};

// Storage in a built-in buffer of 50 elements while the array fits, on the
// heap beyond.
template <class T>
class KSSimpleArray : public KBufferedArray<KHSimpleArray<T>, T> {
 public:
  KSSimpleArray() = default;
  explicit KSSimpleArray(long n) { this->setSize(n); }
  KSSimpleArray(const KSSimpleArray& other) : KBufferedArray<KHSimpleArray<T>, T>() { this->copyFrom(other); }
  KSSimpleArray& operator=(const KSSimpleArray& other) {
    this->copyFrom(other);
    return *this;
  }
  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
};
