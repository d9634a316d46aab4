// Two-dimensional value arrays: KSimple2DArray<T> (storage abstract),
// KHSimple2DArray<T> (heap) and KSSimple2DArray<T> (built-in buffer of 50,
// heap beyond). The elements are the linear storage of the base array; rows
// and columns only describe it. Element (row, column) is stored at
// row * columns + column.
//
// Invariants: either rows = columns = 0 and there is no storage, or
// rows > 0, columns > 0 and the storage holds rows * columns elements --
// except after reserve on an S array, which keeps its whole built-in buffer
// of 50 elements while rows * columns fit in it.
#pragma once
#include "containers/memory/KSimpleArray.h"

template <class T>
class KSimple2DArray : public KSimpleArray<T> {
 public:
  // Gives the array rows x columns elements (negative counts as 0). When the
  // product changes the storage is reallocated exactly, keeping the elements
  // in linear order (not re-laid out by row) when `keep` is set and resetting
  // every element to its default value otherwise. A zero product releases
  // the storage. True when the storage could not be obtained (array unchanged).
  bool resize(long rows, long columns, bool keep = true) {
    if (rows < 0) rows = 0;
    if (columns < 0) columns = 0;
    long long product = static_cast<long long>(rows) * columns;
    if (product <= 0) {
      removeAll();
      return false;
    }
    if (product >= kArraySizeLimit) return true;
    if (product != this->storageSize() && this->reallocate(static_cast<long>(product))) return true;
    if (!keep) this->resetRange(0, this->storageSize(), false);
    m_nRows = rows;
    m_nColumns = std::max(columns, 1L);
    return false;
  }

  // A linear resize keeps the column count when it divides n; otherwise the
  // array becomes one row of n.
  void setSize(long n, bool deletePointees = false) override {
    (void)deletePointees;
    long columns = (m_nColumns > 0 && n % m_nColumns == 0) ? m_nColumns : n;
    resize(columns > 0 ? n / columns : 0, columns);
  }

  void removeAll() override {
    KSimpleArray<T>::removeAll();
    m_nRows = m_nColumns = 0;
  }

  long getRows() const { return m_nRows; }
  long getColumns() const { return m_nColumns; }
  T& at(long row, long column) { return this->m_pData[row * m_nColumns + column]; }
  const T& at(long row, long column) const { return this->m_pData[row * m_nColumns + column]; }

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

 protected:
  long m_nRows = 0;
  long m_nColumns = 0;
};

template <class T>
class KHSimple2DArray : public KSimple2DArray<T> {
 public:
  KHSimple2DArray() = default;
  KHSimple2DArray(long rows, long columns) { this->resize(rows, columns); }
  KHSimple2DArray(const KHSimple2DArray& other) : KSimple2DArray<T>() { copy2D(other); }
  KHSimple2DArray& operator=(const KHSimple2DArray& other) {
    copy2D(other);
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

 protected:
  void copy2D(const KSimple2DArray<T>& other) {
    if (&other == this || this->resize(other.getRows(), other.getColumns())) return;
    for (long i = 0; i < this->storageSize(); ++i) this->m_pData[i] = other[i];
  }
};

template <class T>
class KSSimple2DArray : public KBufferedArray<KHSimple2DArray<T>, T> {
 public:
  KSSimple2DArray() = default;
  KSSimple2DArray(long rows, long columns) { this->resize(rows, columns); }
  KSSimple2DArray(const KSSimple2DArray& other) : KBufferedArray<KHSimple2DArray<T>, T>() { this->copy2D(other); }
  KSSimple2DArray& operator=(const KSSimple2DArray& other) {
    this->copy2D(other);
    return *this;
  }
  // Sizes the array as setSize does, but keeps the whole built-in buffer
  // while the request fits in it, so that later resizes up to 50 elements
  // reallocate nothing.
  void reserve(long n) override {
    this->setSize(n);
    if (n > 0 && n <= kArrayBufferCount && this->storageSize() < kArrayBufferCount)
      this->reallocate(kArrayBufferCount);
  }
  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
};
