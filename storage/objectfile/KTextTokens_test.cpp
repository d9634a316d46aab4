#include "storage/objectfile/KTextTokens.h"

#include <gtest/gtest.h>

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "storage/objectfile/KTextPersistance.h"

namespace {
bool realToken(const char* t, double& v) { return KRealToken(t, t + std::strlen(t), true, v); }

bool strtodWhole(const char* t, double& v) {
  char* end = nullptr;
  v = std::strtod(t, &end);
  return *t && *end == 0;
}
}  // namespace

TEST(KTextTokens, RealsAreAcceptedAndReadAsStrtodDoes) {
  for (const char* t : {"1.5", "-0.25", "+1.5", "0x1p3", "1e400", "-.5", "1.", "5E-1", "-0", "inf", "nan",
                        "841.47098480789650666", "4.9406564584124654418E-324", "1e-400", "007", "1.5x", "1e",
                        "--1", "1,5", ".", "-", "", " 1", "1 ", "1.5e+"}) {
    double a = 0, b = 0;
    bool ok = strtodWhole(t, b);
    ASSERT_EQ(realToken(t, a), ok) << t;
    if (ok && b == b) {
      EXPECT_EQ(std::bit_cast<uint64_t>(a), std::bit_cast<uint64_t>(b)) << t;
    }
  }
}

TEST(KTextTokens, WrittenRealsReadBackBitForBit) {
  std::mt19937_64 rng(3);
  for (int i = 0; i < 100000; ++i) {
    double v = std::bit_cast<double>(rng());
    if (v != v || v - v != 0) continue;
    std::string text = KRealToText(v).str();
    double back = 0;
    ASSERT_TRUE(realToken(text.c_str(), back)) << text;
    if (v == 2.2250738585072014e-308) continue;
    ASSERT_EQ(std::bit_cast<uint64_t>(back), std::bit_cast<uint64_t>(v)) << text;
  }
}

TEST(KTextTokens, NotAvailableIsTheUndefinedReal) {
  double v = 0;
  ASSERT_TRUE(realToken("N/A", v));
  EXPECT_EQ(v, 2.2250738585072014e-308);
  EXPECT_FALSE(realToken("N/A2", v));
}

TEST(KTextTokens, PlainRealEndFollowsTheGrammar) {
  auto endOf = [](const char* t) {
    const char* e = KPlainRealEnd(t, t + std::strlen(t));
    return e ? static_cast<int>(e - t) : -1;
  };
  EXPECT_EQ(endOf("12.5E-3 7"), 7);
  EXPECT_EQ(endOf("-3"), 2);
  EXPECT_EQ(endOf("3.x"), 2);
  EXPECT_EQ(endOf("1E"), -1);
  EXPECT_EQ(endOf(".5"), -1);
  EXPECT_EQ(endOf("-"), -1);
}

TEST(KTextTokens, IntegersFollowStrtollAndStrtoull) {
  for (const char* t : {"0", "-7", "+7", "9223372036854775807", "9223372036854775808", "-9223372036854775808",
                        "12a", "", "18446744073709551615", "18446744073709551616"}) {
    LONGLONG a = 0;
    char* end = nullptr;
    errno = 0;
    LONGLONG b = std::strtoll(t, &end, 10);
    bool ok = *t && errno == 0 && *end == 0;
    ASSERT_EQ(KIntToken(t, t + std::strlen(t), a), ok) << t;
    if (ok) {
      EXPECT_EQ(a, b) << t;
    }
    ULONGLONG u = 0;
    errno = 0;
    ULONGLONG c = std::strtoull(t, &end, 10);
    ok = *t && *t != '-' && errno == 0 && *end == 0;
    ASSERT_EQ(KUIntToken(t, t + std::strlen(t), u), ok) << t;
    if (ok) {
      EXPECT_EQ(u, c) << t;
    }
  }
  ULONGLONG u = 0;
  EXPECT_FALSE(KUIntToken("-1", "-1" + 2, u));
}

// Decimal texts of up to 20 digits take an exact integer path; they must
// round as strtod does, halfway cases to even included.
TEST(KTextTokens, ShortDecimalsRoundAsStrtodDoes) {
  std::mt19937_64 rng(17);
  std::vector<std::string> texts = {"9007199254740993", "9007199254740995", "9007199254740993.0000",
                                    "-9007199254740993", "18014398509481985", "0.0000000000000000001",
                                    "99999999999999999999", "9999999999999999999.9", "0.10000000000000000555",
                                    "1.0000000000000001110", "1.0000000000000001111", "000", "-0.0"};
  // Up to 22 digits, so that texts just past the short path's limit of 20
  // digits are read too.
  for (int i = 0; i < 300000; ++i) {
    int digits = 1 + static_cast<int>(rng() % 22);
    std::string t = rng() % 4 == 0 ? "-" : "";
    for (int k = 0; k < digits; ++k) t += static_cast<char>('0' + rng() % 10);
    size_t point = rng() % (digits + 1);
    if (rng() % 8) t.insert(t.size() - point, ".");
    texts.push_back(t);
  }
  for (const std::string& t : texts) {
    double a = 0, b = 0;
    ASSERT_TRUE(strtodWhole(t.c_str(), b)) << t;
    ASSERT_TRUE(realToken(t.c_str(), a)) << t;
    ASSERT_EQ(std::bit_cast<uint64_t>(a), std::bit_cast<uint64_t>(b)) << t;
    const char* end = t.data() + t.size();
    ASSERT_EQ(KRealPrefix(t.data(), end, a), end) << t;
    ASSERT_EQ(std::bit_cast<uint64_t>(a), std::bit_cast<uint64_t>(b)) << t;
  }
}
