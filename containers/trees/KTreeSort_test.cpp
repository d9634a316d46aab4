#include "containers/trees/KTreeSort.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "containers/trees/KTreeTestSupport.h"

namespace {

// The tree's own comparison behind another address, so that the rebuild
// takes the general sort.
template <class Tree>
int generalCompare(const void* a, const void* b) {
  return Tree::compareItems(a, b);
}

// In-order values with their flags.
template <class Tree>
std::vector<std::pair<typename Tree::ItemType::ValueType, unsigned int>> walk(const Tree& tree) {
  std::vector<std::pair<typename Tree::ItemType::ValueType, unsigned int>> out;
  KTreeIterator<typename Tree::ItemType> it(tree, KTreeIteratorBase::kInOrder);
  for (; !it.atEnd(); it.advance()) out.emplace_back(*it.data(), it.current()->getFlags());
  return out;
}

template <class Tree, class Make>
void expectSameRebuild(Make make, bool unique) {
  std::mt19937 rng(11);
  Tree typed, general;
  typed.convertToLinkedList(false);
  general.convertToLinkedList(false);
  for (unsigned int i = 0; i < 3000; ++i) {
    auto value = make(rng);
    typed.add(value, nullptr, &i);
    general.add(value, nullptr, &i);
  }
  KFragmentPtrArray<KTreeItemBase> array;
  long typedLevels = typed.convertFromLinkedList(unique);
  long generalLevels = general.convertFromLinkedList(array, &generalCompare<Tree>, unique, false);
  EXPECT_EQ(typedLevels, generalLevels);
  EXPECT_EQ(typed.getCount(), general.getCount());
  EXPECT_EQ(walk(typed), walk(general));  // equal values keep the same survivor and flags
  if (unique) {  // kept duplicates break the strict order the checker wants
    EXPECT_EQ(KTreeChecker::check(typed), "");
  }
}

KString caseVariant(std::mt19937& rng) {
  // Few distinct texts in many letter cases, some sharing eight-byte prefixes.
  static const char* const stems[] = {"alpha", "alphabetical", "alphabetically", "Beta", "", "b"};
  std::string s = stems[rng() % 6];
  for (char& c : s)
    if (rng() % 2) c = static_cast<char>(c ^ 0x20);
  return KString(s.c_str());
}

TEST(KTreeSortTest, TextRebuildWithTheTreesOwnOrderMatchesTheGeneralSortWithDuplicates) {
  expectSameRebuild<KDataTreeItemRoot<KString>>(caseVariant, true);
}

TEST(KTreeSortTest, TextRebuildWithoutUniqueKeepsTheGeneralSortsSequence) {
  expectSameRebuild<KDataTreeItemRoot<KString>>(caseVariant, false);
}

TEST(KTreeSortTest, NumberRebuildWithTheTreesOwnOrderMatchesTheGeneralSort) {
  expectSameRebuild<KDataTreeItemRoot<long>>([](std::mt19937& rng) { return static_cast<long>(rng() % 500) - 250; },
                                             true);
}

TEST(KTreeSortTest, TextKeysOrderAsTheTextComparison) {
  using Key = KTreeSortKey<KString>;
  const char* texts[] = {"", "a", "A", "ab", "abcdefgh", "ABCDEFGHI", "abcdefghi", "abcdefgz", "\xe4", "[", "Z"};
  for (const char* a : texts)
    for (const char* b : texts) {
      KString x(a), y(b);
      EXPECT_EQ(Key::less(Key::make(x), Key::make(y), 0), kCompareNoCase(b, a) < 0) << a << " " << b;
    }
}

}  // namespace
