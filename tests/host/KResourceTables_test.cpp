// The string tables of the resource libraries: order, ranges, encoding, and
// agreement between each English text and its translation.
#include "resources/KResourceTables.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {
struct Table {
  const char* name;
  const KStringTableEntry* entries;
  int count;
};

std::vector<Table> allTables() {
  return {{"QUELMres", kQUELMresStrings, kQUELMresStringCount},
          {"QUELMres2", kQUELMres2Strings, kQUELMres2StringCount},
          {"QUELMresCHS", kQUELMresCHSStrings, kQUELMresCHSStringCount},
          {"QUELMres2CHS", kQUELMres2CHSStrings, kQUELMres2CHSStringCount}};
}

std::map<UINT, std::string> asMap(const KStringTableEntry* entries, int count) {
  std::map<UINT, std::string> m;
  for (int i = 0; i < count; ++i) m[entries[i].id] = entries[i].text;
  return m;
}

bool isUtf8(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t more = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : 99;
    if (more == 99 || i + more >= s.size()) return false;
    for (size_t k = 1; k <= more; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += more + 1;
  }
  return true;
}

// The printf conversions of a format text, in order ("%%" is no conversion).
std::string conversions(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    size_t j = i + 1;
    while (j < text.size() && std::string("-+ #0123456789.lhI").find(text[j]) != std::string::npos) ++j;
    if (j < text.size() && text[j] != '%') out += text.substr(i, j - i + 1);
    i = j;
  }
  return out;
}
}  // namespace

TEST(KResourceTablesTest, EveryTableIsSortedWithoutDuplicates) {
  for (const Table& t : allTables()) {
    ASSERT_GT(t.count, 0) << t.name;
    for (int i = 1; i < t.count; ++i)
      EXPECT_LT(t.entries[i - 1].id, t.entries[i].id) << t.name << " at entry " << i;
  }
}

TEST(KResourceTablesTest, EveryTextIsNonEmptyUtf8) {
  for (const Table& t : allTables())
    for (int i = 0; i < t.count; ++i) {
      ASSERT_NE(t.entries[i].text, nullptr) << t.name << " " << t.entries[i].id;
      EXPECT_FALSE(std::string(t.entries[i].text).empty()) << t.name << " " << t.entries[i].id;
      EXPECT_TRUE(isUtf8(t.entries[i].text)) << t.name << " " << t.entries[i].id;
    }
}

TEST(KResourceTablesTest, OwnTableStaysWithinItsIdentifierRange) {
  EXPECT_GE(kQUELMres2Strings[0].id, 10021u);
  EXPECT_LE(kQUELMres2Strings[kQUELMres2StringCount - 1].id, 59141u);
}

TEST(KResourceTablesTest, OwnTableHoldsTheTextsOtherCodeRelyOn) {
  auto own = asMap(kQUELMres2Strings, kQUELMres2StringCount);
  EXPECT_EQ(own[24309], "N/A");
  EXPECT_EQ(own[24701], "Ambiguous mix of units and arithmetic operations");
  EXPECT_EQ(own[34296], "Select only vertical objects\nSelect Vertical");
  EXPECT_EQ(own[59137], "CAP");
  EXPECT_EQ(own[50314], "\"%s\" entered where an integer was expected");
  // Time-scale names equal their fixed texts.
  EXPECT_EQ(own[47690], "Seconds");
  EXPECT_EQ(own[24307], "Minutes");
  EXPECT_EQ(own[47670], "Hours");
  EXPECT_EQ(own[47671], "Days");
  EXPECT_EQ(own[24863], "Increments");
  for (UINT id = 59136; id <= 59141; ++id) EXPECT_EQ(own.count(id), 1u) << id;
}

TEST(KResourceTablesTest, ExpressionMessagesTakeExactlyOneText) {
  auto companion = asMap(kQUELMresStrings, kQUELMresStringCount);
  for (UINT id : {10597u, 10707u, 12041u, 12451u, 12517u, 14110u, 14112u, 14375u, 15834u}) {
    ASSERT_EQ(companion.count(id), 1u) << id;
    EXPECT_EQ(conversions(companion[id]), "%s") << id;
  }
}

TEST(KResourceTablesTest, CompanionTitleIsTheRegistryKeyName) {
  // The title names the registry key, so a translation must not change it.
  auto en = asMap(kQUELMresStrings, kQUELMresStringCount);
  auto zh = asMap(kQUELMresCHSStrings, kQUELMresCHSStringCount);
  EXPECT_EQ(en[0xE000], "quelmhost");
  EXPECT_EQ(zh[0xE000], en[0xE000]);
}

TEST(KResourceTablesTest, TranslationsMatchAnOriginalWithTheSameConversions) {
  struct Pair {
    const char* name;
    std::map<UINT, std::string> en, zh;
  } pairs[] = {{"QUELMres", asMap(kQUELMresStrings, kQUELMresStringCount),
                asMap(kQUELMresCHSStrings, kQUELMresCHSStringCount)},
               {"QUELMres2", asMap(kQUELMres2Strings, kQUELMres2StringCount),
                asMap(kQUELMres2CHSStrings, kQUELMres2CHSStringCount)}};
  for (auto& p : pairs)
    for (auto& [id, text] : p.zh) {
      ASSERT_EQ(p.en.count(id), 1u) << p.name << ": translation without original " << id;
      EXPECT_EQ(conversions(text), conversions(p.en[id])) << p.name << " " << id;
    }
}

TEST(KResourceTablesTest, FormatScannerSeesConversionsAndSkipsPercentSigns) {
  EXPECT_EQ(conversions("entity %s type %d, number %d"), "%s%d%d");
  EXPECT_EQ(conversions("100%% of %5.2f"), "%5.2f");
  EXPECT_EQ(conversions("%I64d"), "%I64d");
}
