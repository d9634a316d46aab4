#include "platform/KString.h"

#include <gtest/gtest.h>

TEST(KStringTest, FormatAcceptsMicrosoftSizePrefixes) {
  KString s;
  s.Format("%I64d|%I64u|%Id|%I32d|%5.2f|%s", static_cast<long long>(-1) << 40,
           static_cast<unsigned long long>(1) << 63, static_cast<long>(-7), 42, 3.14159, "x");
  EXPECT_EQ(s, "-1099511627776|9223372036854775808|-7|42| 3.14|x");
  s.AppendFormat("%%%c", 'z');
  EXPECT_EQ(s, "-1099511627776|9223372036854775808|-7|42| 3.14|x%z");
}

TEST(KStringTest, FormatGrowsPastSmallBuffer) {
  KString big(std::string(1000, 'a'));
  KString s;
  s.Format("<%s>", big.GetString());
  EXPECT_EQ(s.GetLength(), 1002);
  EXPECT_EQ(s.Right(2), "a>");
}

TEST(KStringTest, MidLeftRightClampOutOfRange) {
  KString s("abcdef");
  EXPECT_EQ(s.Mid(2), "cdef");
  EXPECT_EQ(s.Mid(2, 2), "cd");
  EXPECT_EQ(s.Mid(10), "");
  EXPECT_EQ(s.Mid(-3, 2), "ab");
  EXPECT_EQ(s.Left(10), "abcdef");
  EXPECT_EQ(s.Right(2), "ef");
  EXPECT_EQ(s.Right(-1), "");
}

TEST(KStringTest, FindAndReplace) {
  KString s("a.b.c");
  EXPECT_EQ(s.Find('.'), 1);
  EXPECT_EQ(s.Find('.', 2), 3);
  EXPECT_EQ(s.Find('.', 99), -1);
  EXPECT_EQ(s.ReverseFind('.'), 3);
  EXPECT_EQ(s.Find("b.c"), 2);
  EXPECT_EQ(s.Replace(".", "::"), 2);
  EXPECT_EQ(s, "a::b::c");
  EXPECT_EQ(s.Replace("", "x"), 0);
  EXPECT_EQ(s.Replace(':', '-'), 4);
  EXPECT_EQ(s, "a--b--c");
}

TEST(KStringTest, TrimCaseAndCompare) {
  KString s("  \tMixed Case \r\n");
  s.Trim();
  EXPECT_EQ(s, "Mixed Case");
  EXPECT_EQ(KString(s).MakeUpper(), "MIXED CASE");
  EXPECT_EQ(KString(s).MakeLower(), "mixed case");
  EXPECT_EQ(s.CompareNoCase("MIXED case"), 0);
  EXPECT_LT(s.Compare("mixed case"), 0);
  KString q("xxabcxx");
  EXPECT_EQ(q.Trim('x'), "abc");
}

TEST(KStringTest, TokenizeWalksAllTokens) {
  KString s(",a,,bc,");
  int pos = 0;
  EXPECT_EQ(s.Tokenize(",", pos), "a");
  EXPECT_EQ(s.Tokenize(",", pos), "bc");
  EXPECT_EQ(s.Tokenize(",", pos), "");
  EXPECT_EQ(pos, -1);
}

TEST(KStringTest, TrimTakesBlanksFromEitherEndAlone) {
  EXPECT_EQ(KString("a b").Trim(), "a b");
  EXPECT_EQ(KString(" a b").Trim(), "a b");
  EXPECT_EQ(KString("a b\t").Trim(), "a b");
  EXPECT_EQ(KString("\v\fa\n").Trim(), "a");
  EXPECT_EQ(KString(" \r\n ").Trim(), "");
  EXPECT_EQ(KString("").Trim(), "");
  EXPECT_EQ(KString("\x7f" "a~").Trim(), "\x7f" "a~");  // DEL and tilde are no blanks
  EXPECT_EQ(KString("! ").TrimRight(), "!");
  EXPECT_EQ(KString(" !").TrimLeft(), "!");
}
