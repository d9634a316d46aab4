#include "core/system/KTempNames.h"

#include "core/application/KApplicationAbstract.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <set>
#include <string>

TEST(KTempNamesTest, GuidBytesCompressWithSixBitsPerCharacter) {
  unsigned char zeros[16] = {};
  char out[23];
  KCompressGuidBytes(zeros, out);
  EXPECT_STREQ(out, "0000000000000000000000");
  unsigned char ones[16];
  memset(ones, 0xFF, sizeof ones);
  KCompressGuidBytes(ones, out);
  EXPECT_STREQ(out, "3$$$$$$$$$$$$$$$$$$$$$");  // the first byte fills only 8 of 12 bits
  unsigned char some[16] = {0x40, 0x00, 0x00, 0x41, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x3F};
  KCompressGuidBytes(some, out);
  EXPECT_EQ(std::string(out, 2), "10");
  EXPECT_EQ(std::string(out + 2, 4), "0011");
  EXPECT_EQ(std::string(out + 18, 4), "000$");
}

TEST(KTempNamesTest, NewIdentifierNeedsRoomForTerminator) {
  char small[22];
  memset(small, 'x', sizeof small);
  EXPECT_TRUE(KNewIdentifier(small, sizeof small));
  EXPECT_EQ(small[0], 'x');
  char buf[23];
  ASSERT_FALSE(KNewIdentifier(buf, sizeof buf));
  EXPECT_EQ(strlen(buf), 22u);
  EXPECT_TRUE(std::regex_match(buf, std::regex("[0-3][0-9A-Za-z_$]{21}")));
  std::set<std::string> seen;
  for (int i = 0; i < 200; ++i) {
    ASSERT_FALSE(KNewIdentifier(buf, sizeof buf));
    seen.insert(buf);
  }
  EXPECT_EQ(seen.size(), 200u);
}

TEST(KTempNamesTest, TestModeGivesCountedPaddedIdentifiers) {
  KApplicationAbstract app;
  app.SetTestMode(true);
  KApplicationAbstract* previous = KSetApplication(&app);
  char a[32], b[32];
  ASSERT_FALSE(KNewTestIdentifier(a, sizeof a));
  ASSERT_FALSE(KNewTestIdentifier(b, sizeof b));
  KSetApplication(previous);
  EXPECT_EQ(strlen(a), 22u);
  EXPECT_EQ(strlen(b), 22u);
  EXPECT_EQ(std::string(a, 8), "QA_GUID_");
  EXPECT_EQ(std::stoul(b + 8), std::stoul(a + 8) + 1);
  char small[22];
  EXPECT_TRUE(KNewTestIdentifier(small, sizeof small));
}

TEST(KTempNamesTest, OutsideTestModeIdentifiersAreRandom) {
  char a[23];
  ASSERT_FALSE(KNewTestIdentifier(a, sizeof a));
  EXPECT_NE(std::string(a, 8), "QA_GUID_");
}

TEST(KTempNamesTest, ModelTempNameCarriesBaseNumberDateAndTime) {
  KString name = KModelTempName("beam", 12, "/tmp");
  EXPECT_TRUE(std::regex_match(name.GetString(), std::regex("/tmp/QUELMM_beam_12_[0-9]{6}_[0-9]{6}.+")))
      << name.GetString();
  KString other = KModelTempName("beam", 12, "/tmp");
  EXPECT_NE(name, other);
  KString inTemp = KModelTempName("x", 1);
  EXPECT_FALSE(inTemp.IsEmpty());
  EXPECT_EQ(inTemp.Find("C:\\"), -1);
}
