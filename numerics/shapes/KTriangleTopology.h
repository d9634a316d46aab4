// KTriangleTopology: the node numbers of a triangle, corner by corner, with
// its edges (edge i joins corners i and (i + 1) mod 3). KTopologyBase<N>
// stores N node numbers (0 until set); KTopology is the interface through
// which code handles topologies of any node count.
#pragma once
#include <algorithm>

class KTopology {
 public:
  virtual ~KTopology() = default;
  virtual int nodeCount() const = 0;
  // Node number of corner i; -1 when i is outside.
  virtual long node(int i) const = 0;
  // True when i is outside.
  virtual bool setNode(int i, long number) = 0;
};

template <int N>
class KTopologyBase {
 public:
  static constexpr int kNodeCount = N;

  long nodeAt(int i) const { return i >= 0 && i < N ? m_nodes[i] : -1; }
  bool setNodeAt(int i, long number) {
    if (i < 0 || i >= N) return true;
    m_nodes[i] = number;
    return false;
  }
  // The corner holding number, or -1.
  int cornerOf(long number) const {
    for (int i = 0; i < N; ++i)
      if (m_nodes[i] == number) return i;
    return -1;
  }

 protected:
  long m_nodes[N] = {};
};

class KTriangleTopology : public KTopologyBase<3>, public KTopology {
 public:
  KTriangleTopology() = default;
  KTriangleTopology(long a, long b, long c) { m_nodes[0] = a, m_nodes[1] = b, m_nodes[2] = c; }

  int nodeCount() const override { return 3; }
  long node(int i) const override { return nodeAt(i); }
  bool setNode(int i, long number) override { return setNodeAt(i, number); }

  // The edge joining a and b, in either direction: 0, 1 or 2; -1 when the
  // triangle has no such edge.
  int edgeOf(long a, long b) const {
    int i = cornerOf(a), j = cornerOf(b);
    if (i < 0 || j < 0 || i == j) return -1;
    return (i + 1) % 3 == j ? i : j;
  }
  // The same corners in the other direction around the triangle.
  void reverse() { std::swap(m_nodes[1], m_nodes[2]); }
  // Same nodes around the triangle in the same direction, from any corner.
  bool sameAs(const KTriangleTopology& other) const {
    for (int shift = 0; shift < 3; ++shift)
      if (m_nodes[0] == other.m_nodes[shift] && m_nodes[1] == other.m_nodes[(shift + 1) % 3] &&
          m_nodes[2] == other.m_nodes[(shift + 2) % 3])
        return true;
    return false;
  }
};
