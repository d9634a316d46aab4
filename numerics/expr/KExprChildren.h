// KExprChildren: the operand list of an expression node. Nearly every node has
// at most two operands, so two places live in the node itself and only calls
// with more arguments take heap storage; parsing then costs no allocation per
// operator. The list holds the pointers only; the node owns what they point to.
#pragma once
#include <cstddef>
#include <cstring>
#include <memory>

class KExpr;

class KExprChildren {
 public:
  KExprChildren() = default;
  KExprChildren(const KExprChildren&) = delete;
  KExprChildren& operator=(const KExprChildren&) = delete;

  size_t size() const { return m_size; }
  bool empty() const { return m_size == 0; }
  KExpr* operator[](size_t i) const { return data()[i]; }
  KExpr* const* data() const { return m_heap ? m_heap.get() : m_inline; }
  KExpr* const* begin() const { return data(); }
  KExpr* const* end() const { return data() + m_size; }
  // Forgets the pointers (the caller has deleted what they point to).
  void clear() { m_size = 0; }
  void push_back(KExpr* child) {
    if (m_size == m_capacity) grow();
    (m_heap ? m_heap.get() : m_inline)[m_size++] = child;
  }

 private:
  void grow() {
    const size_t capacity = m_capacity * 2;
    std::unique_ptr<KExpr*[]> bigger(new KExpr*[capacity]);
    memcpy(bigger.get(), data(), m_size * sizeof(KExpr*));
    m_heap = std::move(bigger);
    m_capacity = capacity;
  }

  KExpr* m_inline[2] = {nullptr, nullptr};
  std::unique_ptr<KExpr*[]> m_heap;
  size_t m_size = 0;
  size_t m_capacity = 2;
};
