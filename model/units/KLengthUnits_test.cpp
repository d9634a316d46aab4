#include "model/units/KLengthUnits.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

TEST(KLengthUnitsTest, TablesMatchTheListing) {
  const char* root = std::getenv("QUELM_TEST_DATA");
  std::ifstream in(std::string(root ? root : "tests/data") + "/units/length_units.txt");
  ASSERT_TRUE(in.good());
  int nAlias = 0, nShort = 0, nName = 0;
  const KLengthUnitAlias* aliases = lengthUnitAliases(nAlias);
  const KLengthUnitCode* shorts = lengthUnitShortCodes(nShort);
  const KLengthUnitCode* names = lengthUnitNameCodes(nName);
  EXPECT_EQ(nAlias, 33);
  EXPECT_EQ(nShort, 10);
  EXPECT_EQ(nName, 22);
  int a = 0, s = 0, n = 0;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string kind, text, canonical;
    int number = 0;
    fields >> kind >> text >> number >> canonical;
    if (kind == "alias") {
      ASSERT_LT(a, nAlias);
      EXPECT_STREQ(aliases[a].m_text, text.c_str());
      EXPECT_EQ(aliases[a].m_id, number) << text;
      EXPECT_STREQ(aliases[a].m_canonical, canonical.c_str());
      ++a;
    } else {
      const KLengthUnitCode* rows = kind == "short" ? shorts : names;
      int& i = kind == "short" ? s : n;
      ASSERT_LT(i, kind == "short" ? nShort : nName);
      EXPECT_STREQ(rows[i].m_text, text.c_str());
      EXPECT_EQ(rows[i].m_code, number) << text;
      ++i;
    }
  }
  EXPECT_EQ(a, nAlias);
  EXPECT_EQ(s, nShort);
  EXPECT_EQ(n, nName);
}

TEST(KLengthUnitsTest, LookUps) {
  ASSERT_NE(findLengthUnitAlias("cm"), nullptr);
  EXPECT_STREQ(findLengthUnitAlias("cm")->m_canonical, "centimetres");
  EXPECT_STREQ(findLengthUnitAlias("Centimeters")->m_canonical, "centimeters");
  // Exact spelling first: "M" is not "m" in the exact pass, but still metres.
  EXPECT_EQ(findLengthUnitAlias("M")->m_id, 6);
  EXPECT_EQ(findLengthUnitAlias("km")->m_id, 7);
  EXPECT_EQ(findLengthUnitAlias("furlongs"), nullptr);
  EXPECT_EQ(findLengthUnitAlias(nullptr), nullptr);

  EXPECT_EQ(lengthUnitCodeOfShortName("ft"), 4);
  EXPECT_EQ(lengthUnitCodeOfShortName("UIN"), 11);
  EXPECT_EQ(lengthUnitCodeOfShortName("YD"), -1);
  EXPECT_EQ(lengthUnitCodeOfShortName("a very long name"), -1);
  EXPECT_EQ(lengthUnitCodeOfName("Metres"), 6);
  EXPECT_EQ(lengthUnitCodeOfName("FEET"), 4);
  EXPECT_EQ(lengthUnitCodeOfName("yards"), -1);
  int count = 0;
  const KLengthUnitCode* rows = lengthUnitShortCodes(count);
  for (int i = 0; i < count; ++i) EXPECT_NE(rows[i].m_code, 3) << rows[i].m_text;
}
