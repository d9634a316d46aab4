// KGrowArrayBase<A, T>: adds a used count to an array class A (a value array
// KSimpleArray<T> or a pointer array KSimplePtrArray<T>), whose storage size
// then serves as the capacity.
//
// Growth happens only by what the caller asks: setAtGrow grows to index +
// growBy, setCount to exactly n; there is no doubling. Shrinking the count
// keeps the storage and resets the elements beyond the new count, so that
// refilling costs no allocation.
//
// Invariants: 0 <= used count <= storage size; elements from the used count
// to the storage size hold default values (null for pointer arrays).
#pragma once
#include <algorithm>

template <class A, class T>
class KGrowArrayBase : public A {
 public:
  using Element = typename A::Element;

  bool isGrowing() const override { return true; }

  // n >= count: grows the storage to n when it is smaller (never shrinks);
  // n < count: cuts the count to n.
  void reserve(long n) override {
    if (n < 0) n = 0;
    if (n >= m_nCount) {
      if (this->storageSize() < n) grow(n);
    } else {
      setSize(n);
    }
  }

  // Sets the used count. Elements from n up to the old count are reset
  // (pointees deleted when the flag is set); when n exceeds the storage, the
  // storage grows to exactly n first. If it cannot, nothing changes.
  void setCount(long n, bool deletePointees = false) override {
    if (n < 0) n = 0;
    if (n < m_nCount) {
      this->resetRange(n, std::min(m_nCount, this->storageSize()), deletePointees);
    } else if (n > this->storageSize()) {
      reserve(n);
      if (this->storageSize() < n) return;
    }
    m_nCount = n;
  }

  // Within the storage only lowers the count; beyond it grows the storage.
  void setSize(long n, bool deletePointees = false) override {
    if (n < 0) n = 0;
    if (n <= this->storageSize())
      setCount(std::min(n, m_nCount), deletePointees);
    else
      grow(n);
  }

  void removeAll() override {
    setCount(0);
    A::removeAll();
    m_nCount = 0;
  }

  long getCount() const override { return m_nCount; }
  long getSize() const override { return m_nCount; }
  long getValidCount() const override {
    return this->m_pData ? std::min(m_nCount, this->storageSize()) : 0;
  }
  long getUpperBound() const override { return m_nCount - 1; }
  long getAllocated() const override { return this->storageSize(); }
  long getGrowBy(long n) const override { return std::max(n, 1L); }
  void ensureCount(long index) override {
    if (index >= m_nCount && index < this->storageSize()) setCount(index + 1);
  }

  // Exact reallocation of the storage to n elements.
  virtual void grow(long n) {
    A::setSize(n);
    m_nCount = std::min(m_nCount, this->storageSize());
  }

  // Appends value (growing by growBy when full); answers its index, or -1
  // when the storage could not grow.
  long add(const Element& value, long growBy = 1) {
    long index = m_nCount;
    this->setAtGrow(index, value, growBy);
    return m_nCount > index ? index : -1;
  }

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

 protected:
  long m_nCount = 0;
};
