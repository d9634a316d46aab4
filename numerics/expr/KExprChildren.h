// KExprPointerList<N>: a list of node pointers with N places in the object
// itself, taking heap storage only beyond them. Nearly every node has at most
// two operands (KExprChildren), and nearly every text parses into at most a
// few dozen tokens, so parsing costs no allocation per operator or per parse.
// The list holds the pointers only; its owner owns what they point to.
#pragma once
#include <cstddef>
#include <cstring>
#include <memory>

class KExpr;

template <size_t N>
class KExprPointerList {
 public:
  KExprPointerList() = default;
  KExprPointerList(const KExprPointerList&) = delete;
  KExprPointerList& operator=(const KExprPointerList&) = delete;

  size_t size() const { return m_size; }
  bool empty() const { return m_size == 0; }
  KExpr* operator[](size_t i) const { return data()[i]; }
  KExpr*& operator[](size_t i) { return slots()[i]; }
  KExpr* front() const { return data()[0]; }
  KExpr* const* data() const { return m_heap ? m_heap.get() : m_inline; }
  KExpr* const* begin() const { return data(); }
  KExpr* const* end() const { return data() + m_size; }
  // Forgets the pointers (the caller has deleted or taken what they point to).
  void clear() { m_size = 0; }
  void push_back(KExpr* p) {
    if (m_size == m_capacity) grow();
    slots()[m_size++] = p;
  }
  // Drops the pointers from `first` up to `last`; the ones after them close
  // up. Answers the place of the first one that followed.
  KExpr* const* erase(KExpr* const* first, KExpr* const* last) {
    const size_t i = static_cast<size_t>(first - data()), j = static_cast<size_t>(last - data());
    memmove(slots() + i, slots() + j, (m_size - j) * sizeof(KExpr*));
    m_size -= j - i;
    return data() + i;
  }
  KExpr* const* erase(KExpr* const* at) { return erase(at, at + 1); }
  // Keeps the first n pointers, or appends null ones up to n.
  void resize(size_t n) {
    if (n <= m_size) m_size = n;
    while (m_size < n) push_back(nullptr);
  }

 private:
  KExpr** slots() { return m_heap ? m_heap.get() : m_inline; }
  void grow() {
    const size_t capacity = m_capacity * 2;
    std::unique_ptr<KExpr*[]> bigger(new KExpr*[capacity]);
    memcpy(bigger.get(), data(), m_size * sizeof(KExpr*));
    m_heap = std::move(bigger);
    m_capacity = capacity;
  }

  KExpr* m_inline[N] = {};
  std::unique_ptr<KExpr*[]> m_heap;
  size_t m_size = 0;
  size_t m_capacity = N;
};

// The operand list of an expression node.
using KExprChildren = KExprPointerList<2>;
