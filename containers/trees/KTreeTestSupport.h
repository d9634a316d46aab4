// Helpers shared by the tree tests.
#pragma once
#include <string>
#include <vector>

#include "containers/trees/KDataTreeItemRoot.h"
#include "containers/trees/KTreeChecker.h"

// The values of a tree in the sequence of a walk.
template <class Tree>
std::vector<typename Tree::ItemType::ValueType> walkValues(const Tree& tree, long order) {
  std::vector<typename Tree::ItemType::ValueType> out;
  KTreeIterator<typename Tree::ItemType> it(tree, order);
  for (; !it.atEnd(); it.advance()) out.push_back(*it.data());
  return out;
}

inline std::vector<std::string> texts(const std::vector<KString>& values) {
  std::vector<std::string> out;
  for (const KString& v : values) out.push_back(v.str());
  return out;
}
