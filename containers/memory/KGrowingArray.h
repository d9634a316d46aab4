// Growing value arrays: KGrowingArray<T> (storage abstract), KHGrowingArray<T>
// (heap) and KSGrowingArray<T> (built-in buffer of 50, heap beyond). The used
// count and the growth rules are those of KGrowArrayBase.
#pragma once
#include "containers/memory/KGrowArrayBase.h"
#include "containers/memory/KSimpleArray.h"

template <class T>
class KGrowingArray : public KGrowArrayBase<KSimpleArray<T>, T> {
 public:
  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
};

template <class T>
class KHGrowingArray : public KGrowingArray<T> {
 public:
  KHGrowingArray() = default;
  KHGrowingArray(const KHGrowingArray& other) : KGrowingArray<T>() { this->copyFrom(other); }
  KHGrowingArray& operator=(const KHGrowingArray& other) {
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

// While the elements fit in the buffer, the storage size is 50 and only the
// used count moves.
template <class T>
class KSGrowingArray : public KBufferedArray<KHGrowingArray<T>, T> {
 public:
  KSGrowingArray() = default;
  KSGrowingArray(const KSGrowingArray& other) : KBufferedArray<KHGrowingArray<T>, T>() { this->copyFrom(other); }
  KSGrowingArray& operator=(const KSGrowingArray& other) {
    this->copyFrom(other);
    return *this;
  }
  // Never asks for fewer than the buffer's 50 elements while they suffice.
  void reserve(long n) override {
    if (n > 0 && n <= kArrayBufferCount && n >= this->m_nCount) n = kArrayBufferCount;
    KHGrowingArray<T>::reserve(n);
  }
  // Storage of up to 50 elements is the whole buffer: the storage size
  // recorded is 50, and only the used count follows the request.
  void grow(long n) override {
    if (n > 0 && n <= kArrayBufferCount) n = kArrayBufferCount;
    KHGrowingArray<T>::grow(n);
  }
  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
};
