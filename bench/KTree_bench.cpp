// Red-black trees of 1,000,000 random values (long and case-insensitive
// texts) against std::set and boost::intrusive::set with the same ordering:
// add all, find all, remove all; then a bulk load of the same unsorted values
// through linked-list mode against one-by-one inserts. Prints the times, the
// ratios ours / peer, the sort's share of the bulk load and the memory per
// value. One run each; times are process CPU time.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <functional>
#include <random>
#include <set>
#include <vector>

#include <boost/intrusive/set.hpp>

#include "containers/trees/KDataTreeItemRoot.h"

namespace {

constexpr size_t kValues = 1000000;

template <class T>
struct WalkLess {
  bool operator()(const T& a, const T& b) const { return KTreeOrder<T>::compare(b, a, 0) < 0; }
};

template <class T>
struct Node : boost::intrusive::set_base_hook<boost::intrusive::optimize_size<true>> {
  T value;
  explicit Node(const T& v) : value(v) {}
};
template <class T>
struct NodeLess {
  bool operator()(const Node<T>& a, const Node<T>& b) const { return WalkLess<T>()(a.value, b.value); }
  bool operator()(const T& a, const Node<T>& b) const { return WalkLess<T>()(a, b.value); }
  bool operator()(const Node<T>& a, const T& b) const { return WalkLess<T>()(a.value, b); }
};
template <class T>
using IntrusiveSet = boost::intrusive::set<Node<T>, boost::intrusive::compare<NodeLess<T>>>;

// CPU time of the process: on a shared machine wall time mostly measures the
// neighbours.
double cpuNow() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}
double seconds(const std::function<void()>& f) {
  double t0 = cpuNow();
  f();
  return cpuNow() - t0;
}

const void* keyOf(const long& v) { return &v; }
const void* keyOf(const KString& v) { return v.GetString(); }

std::vector<long> values(long) {
  std::mt19937_64 rng(20240611);
  std::vector<long> v(kValues);
  for (long& x : v) x = static_cast<long>(rng() >> 1);
  return v;
}
std::vector<KString> values(KString) {
  std::mt19937_64 rng(20240611);
  std::vector<KString> v(kValues);
  for (KString& s : v) {
    char buf[13];
    for (int i = 0; i < 12; ++i) buf[i] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"[rng() % 52];
    buf[12] = 0;
    s = buf;
  }
  return v;
}

template <class T>
void compare(const char* label) {
  std::vector<T> data = values(T());
  std::vector<T> probe = data;
  std::shuffle(probe.begin(), probe.end(), std::mt19937_64(7));
  long sink = 0;

  // add + find + remove
  double ours = seconds([&] {
    KDataTreeItemRoot<T> tree;
    for (const T& v : data) tree.add(v);
    for (const T& v : probe) sink += tree.find(keyOf(v)) != nullptr;
    for (const T& v : probe) sink += tree.remove(keyOf(v));
  });
  double stdSet = seconds([&] {
    std::set<T, WalkLess<T>> s;
    for (const T& v : data) s.insert(v);
    for (const T& v : probe) sink += s.find(v) != s.end();
    for (const T& v : probe) sink += static_cast<long>(s.erase(v));
  });
  double intrusive = seconds([&] {
    std::vector<Node<T>> nodes(data.begin(), data.end());
    IntrusiveSet<T> s;
    for (Node<T>& n : nodes) s.insert(n);
    for (const T& v : probe) sink += s.find(v, NodeLess<T>()) != s.end();
    for (const T& v : probe) sink += static_cast<long>(s.erase(v, NodeLess<T>()));
  });

  // bulk load of the unsorted values
  double sortShare = 0;
  double memoryPerValue = 0;
  double bulk = seconds([&] {
    KDataTreeItemRoot<T> tree;
    tree.convertToLinkedList(false);
    for (const T& v : data) tree.add(v);
    tree.convertFromLinkedList(true);
    memoryPerValue = static_cast<double>(KDataTreeItemRoot<T>::getStaticAllocator().getBlockBytes()) /
                     static_cast<double>(tree.getCount());
  });
  {
    // the sort alone (the one the rebuild runs), on the listed items of a
    // second load, outside the timed bulk load
    KDataTreeItemRoot<T> tree;
    tree.convertToLinkedList(false);
    for (const T& v : data) tree.add(v);
    std::vector<KTreeItemBase*> scratch;
    for (KTreeItemBase* x = tree.getRight(); x; x = x->getRight()) scratch.push_back(x);
    sortShare = seconds([&] {
      KDataTreeItemRoot<T>::sortListedItems(scratch.data(), static_cast<long>(scratch.size()), 0);
    });
  }
  double bulkStd = seconds([&] {
    std::set<T, WalkLess<T>> s;
    for (const T& v : data) s.insert(v);
  });
  double bulkIntrusive = seconds([&] {
    std::vector<Node<T>> nodes(data.begin(), data.end());
    IntrusiveSet<T> s;
    for (Node<T>& n : nodes) s.insert(n);
    s.clear();
  });
  // an rb-tree node of std::set: colour, three links, the value; plus the
  // heap's 8-byte header, rounded to 16
  size_t stdNode = (sizeof(std::_Rb_tree_node<T>) + 8 + 15) / 16 * 16;

  std::printf("%s: add+find+remove ours %.3fs  std::set %.3fs (ratio %.2f)  boost intrusive %.3fs (ratio %.2f)\n",
              label, ours, stdSet, ours / stdSet, intrusive, ours / intrusive);
  std::printf("%s: bulk load ours %.3fs (sort %.3fs = %.0f%%)  std::set one-by-one %.3fs (ratio %.2f)  "
              "boost intrusive one-by-one %.3fs (ratio %.2f)\n",
              label, bulk, sortShare, 100.0 * sortShare / bulk, bulkStd, bulk / bulkStd, bulkIntrusive,
              bulk / bulkIntrusive);
  std::printf("%s: memory per value ours %.1f bytes (item %zu)  std::set node %zu bytes\n", label,
              memoryPerValue, sizeof(KDataTreeItem<T>), stdNode);
  benchmark::DoNotOptimize(sink);
}

}  // namespace

int main() {
  compare<long>("long");
  compare<KString>("KString");
  return 0;
}
