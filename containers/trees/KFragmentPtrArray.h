// KFragmentPtrArray<T>: scratch array of T* used when a tree leaves
// linked-list mode. Storage grows in fragments, so growing never moves the
// pointers already stored. m_count is the number of used slots, m_allocated
// the number of slots the storage holds (m_count <= m_allocated).
#pragma once
#include <algorithm>
#include <deque>
#include <vector>

template <class T>
class KFragmentPtrArray {
 public:
  long getCount() const { return m_count; }
  long getAllocated() const { return m_allocated; }
  // Forgets the used slots; the storage stays.
  void removeAll() { m_count = 0; }
  // Resizes the storage to n slots; the used count is cut to at most n.
  void setSize(long n) {
    if (n < 0) n = 0;
    m_slots.resize(static_cast<size_t>(n), nullptr);
    m_allocated = n;
    if (m_count > n) m_count = n;
  }
  // Write access; a slot beyond the storage or the used count extends both.
  T*& operator[](long i) {
    if (i >= m_allocated) setSize(i + 1);
    if (i >= m_count) m_count = i + 1;
    return m_slots[static_cast<size_t>(i)];
  }
  T* getAt(long i) const { return m_slots[static_cast<size_t>(i)]; }
  void setCount(long n) { m_count = std::min(n, m_allocated); }
  // Stores items[0 .. n-1] into slots 0 .. n-1 (growing the storage when
  // needed); the used count becomes n.
  void assign(T* const* items, long n) {
    if (n > m_allocated) setSize(n);
    std::copy(items, items + n, m_slots.begin());
    m_count = n;
  }
  // Sorts the used slots; `compare` gets two pointers to slots (each holding
  // a T*) and answers negative, 0 or positive. Not stable.
  // Sorted in a contiguous copy: much faster than in place across fragments.
  void sort(int (*compare)(const void*, const void*)) {
    std::vector<T*> flat(m_slots.begin(), m_slots.begin() + m_count);
    std::sort(flat.begin(), flat.end(),
              [compare](T* const& a, T* const& b) { return compare(&a, &b) < 0; });
    std::copy(flat.begin(), flat.end(), m_slots.begin());
  }

 private:
  std::deque<T*> m_slots;
  long m_count = 0;
  long m_allocated = 0;
};
