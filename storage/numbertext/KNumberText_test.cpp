#include "storage/numbertext/KNumberText.h"

#include "core/application/KApplicationAbstract.h"
#include "containers/options/KOptionBase.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <string>

namespace {

// Answers the two formatting switches and the time-scale unit.
class KUnitsTestApp : public KApplicationAbstract {
 public:
  bool LookupBoolOption(const KString& name, bool current) override {
    if (name == "feetInchesFormat") return m_feetInches;
    if (name == "oldEMinus3Format") return m_oldEMinus3;
    return current;
  }
  long GetTimescaleUnit() override { return m_timescale; }

  bool m_feetInches = false;
  bool m_oldEMinus3 = false;
  long m_timescale = 1;
};

class KNumberTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_previous = KSetApplication(&m_app);
    markOptionsChanged();
  }
  void TearDown() override {
    KSetApplication(m_previous);
    markOptionsChanged();
  }
  void setFeetInches(bool on) {
    m_app.m_feetInches = on;
    markOptionsChanged();
  }
  void setOldEMinus3(bool on) {
    m_app.m_oldEMinus3 = on;
    markOptionsChanged();
  }

  KUnitsTestApp m_app;
  KApplicationAbstract* m_previous = nullptr;
};

std::string text(double value, int style = 0, int digits = 6, long code = KQuantityCodes::kDimensionless,
                 double threshold = 0.0, int maxWidth = -1, const char* point = ".") {
  KString out;
  numberToText(value, out, style, digits, maxWidth, threshold, code, point);
  return out.str();
}

// How object files write reals.
std::string exactText(double value) { return text(value, 0, 20, 0, DBL_MIN); }

TEST_F(KNumberTextTest, NotAvailableForUndefinedNanAndInfinities) {
  EXPECT_EQ(text(KNumberText::kUndefined), "N/A");
  EXPECT_EQ(text(std::bit_cast<double>(uint64_t(0x0010000000000000))), "N/A");
  EXPECT_EQ(text(std::numeric_limits<double>::quiet_NaN()), "N/A");
  EXPECT_EQ(text(std::numeric_limits<double>::infinity()), "N/A");
  EXPECT_EQ(text(-std::numeric_limits<double>::infinity(), 1), "N/A");
  EXPECT_EQ(text(KNumberText::kUndefined, 0, 6, KQuantityCodes::kLength), "N/A");
  // Only the positive value means "undefined".
  EXPECT_EQ(exactText(-DBL_MIN), "-22.250738585072013831E-309");
}

TEST_F(KNumberTextTest, FeetAndInchesForLengths) {
  setFeetInches(true);
  EXPECT_EQ(text(5.5, 0, 6, KQuantityCodes::kLength), "5' 6\"");
  EXPECT_EQ(text(0.5, 0, 6, KQuantityCodes::kLength), "6\"");
  EXPECT_EQ(text(0.0, 0, 6, KQuantityCodes::kLength), "0");
  EXPECT_EQ(text(-5.5, 0, 6, KQuantityCodes::kLength), "-5' 6\"");
  EXPECT_EQ(text(5.0, 0, 6, KQuantityCodes::kLength), "5' 0\"");
  EXPECT_EQ(text(5.25, 1, 3, KQuantityCodes::kLength), "5' 3.00\"");
  // Lengths only: other codes keep the ordinary form.
  EXPECT_EQ(text(5.5, 0, 6, KQuantityCodes::kDimensionless), "5.5");
  setFeetInches(false);
  EXPECT_EQ(text(5.5, 0, 6, KQuantityCodes::kLength), "5.5");
}

TEST_F(KNumberTextTest, InchesThatRoundToTwelveCarryIntoFeet) {
  setFeetInches(true);
  EXPECT_EQ(text(5.99999, 0, 3, KQuantityCodes::kLength), "6' 0\"");
  EXPECT_EQ(text(-5.99999, 0, 3, KQuantityCodes::kLength), "-6' 0\"");
  EXPECT_EQ(text(0.99999, 0, 3, KQuantityCodes::kLength), "1' 0\"");
  EXPECT_EQ(text(5.99999, 0, 8, KQuantityCodes::kLength), "5' 11.99988\"");
}

TEST_F(KNumberTextTest, EngineeringShiftForExponentsTwoBelowAStep) {
  EXPECT_EQ(text(1.5e-5), "15E-6");
  EXPECT_EQ(text(0.015), "0.015");
  setOldEMinus3(true);
  EXPECT_EQ(text(1.5e-5), "0.015E-3");
  EXPECT_EQ(text(0.015), "0.015");
  // Style 1 always uses the plain step.
  setOldEMinus3(false);
  EXPECT_EQ(text(1.5e-5, 1, 3), "0.0150E-3");
}

TEST_F(KNumberTextTest, ThresholdWritesSmallValuesAsZero) {
  EXPECT_EQ(text(0.0001, 0, 6, 0, 0.001), "0.0");
  EXPECT_EQ(text(-0.0001, 0, 6, 0, 0.001), "0.0");
  EXPECT_EQ(text(0.0001, 1, 4, 0, 0.001), "0.0000");
  EXPECT_EQ(text(0.001, 0, 6, 0, 0.001), "1E-3");
}

TEST_F(KNumberTextTest, ZeroKeepsItsSignOnlyWhenWrittenExactly) {
  EXPECT_EQ(exactText(0.0), "0.0");
  EXPECT_EQ(exactText(-0.0), "-0.0");
  EXPECT_EQ(text(-0.0, 0, 6, 0, 1e-12), "0.0");
}

TEST_F(KNumberTextTest, MaximumWidthDropsDigitsUntilTheTextFits) {
  EXPECT_EQ(text(1.23456789, 0, 9, 0, 0.0, 5), "1.235");
  EXPECT_EQ(text(-123456.0, 0, 9, 0, 0.0, 6), "-123E3");
  // One digit is the floor, even when the text is still too long.
  EXPECT_EQ(text(-123456.0, 0, 9, 0, 0.0, 2), "-100E3");
}

TEST_F(KNumberTextTest, DecimalPointOverride) {
  EXPECT_EQ(text(1.5, 0, 6, 0, 0.0, -1, ","), "1,5");
  EXPECT_EQ(text(0.0, 1, 2, 0, 0.0, -1, ","), "0,00");
}

TEST_F(KNumberTextTest, TimescaleQuantitiesShowInTheTimescaleUnit) {
  m_app.m_timescale = 60;
  EXPECT_EQ(text(120.0, 0, 6, KQuantityCodes::kTimescale), "2");
  EXPECT_EQ(text(0.5, 0, 6, KQuantityCodes::kRate), "30");
  m_app.m_timescale = 3600;
  EXPECT_EQ(text(5400.0, 0, 6, KQuantityCodes::kTimescale), "1.5");
  m_app.m_timescale = 0;  // increments: the value is already in the unit
  EXPECT_EQ(text(120.0, 0, 6, KQuantityCodes::kTimescale), "120");
  EXPECT_EQ(text(0.5, 0, 6, KQuantityCodes::kRate), "0.5");
}

TEST_F(KNumberTextTest, ZeroQuantityCodeMeansPlainNumber) {
  m_app.m_timescale = 60;
  EXPECT_EQ(text(120.0, 0, 6, 0), "120");
}

// Each line of cases.txt: value (any strtod form), style, digits, expected.
TEST_F(KNumberTextTest, CaseTable) {
  const char* dir = std::getenv("QUELM_TEST_DATA");
  ASSERT_NE(dir, nullptr);
  std::ifstream in(std::string(dir) + "/numbertext/cases.txt");
  ASSERT_TRUE(in.good());
  std::string line;
  int checked = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string value, expected;
    int style = 0, digits = 0;
    fields >> value >> style >> digits >> expected;
    EXPECT_EQ(text(std::strtod(value.c_str(), nullptr), style, digits), expected) << line;
    ++checked;
  }
  EXPECT_GT(checked, 20);
}

// Digits of a text in the engineering form, as (significant digits without
// trailing zeros, decimal exponent of the first).
std::pair<std::string, int> decompose(const std::string& s) {
  std::string digits;
  int intLength = -1;
  size_t e = s.find('E');
  std::string mantissa = s.substr(0, e);
  for (char c : mantissa) {
    if (c == '.') intLength = static_cast<int>(digits.size());
    else if (c >= '0' && c <= '9') digits += c;
  }
  if (intLength < 0) intLength = static_cast<int>(digits.size());
  int exponent = e == std::string::npos ? 0 : std::atoi(s.c_str() + e + 1);
  size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return {"", 0};
  std::string sig = digits.substr(first);
  while (!sig.empty() && sig.back() == '0') sig.pop_back();
  return {sig, intLength - 1 - static_cast<int>(first) + exponent};
}

// Reference: the exact expansion (the C library prints every digit when asked
// for enough), rounded half up by hand.
std::pair<std::string, int> reference(double a, int n) {
  char buf[1200];
  std::snprintf(buf, sizeof buf, "%.800e", a);
  std::string all;
  const char* p = buf;
  for (; *p != 'e'; ++p)
    if (*p != '.') all += *p;
  int exponent = std::atoi(p + 1);
  std::string kept = all.substr(0, n);
  if (all[n] >= '5') {
    int i = n - 1;
    while (i >= 0 && kept[i] == '9') kept[i--] = '0';
    if (i >= 0) ++kept[i];
    else { kept.insert(kept.begin(), '1'); kept.pop_back(); ++exponent; }
  }
  while (!kept.empty() && kept.back() == '0') kept.pop_back();
  return {kept, exponent};
}

TEST_F(KNumberTextTest, DigitsAreTheExactValueRoundedHalfUp) {
  std::mt19937_64 rng(11);
  for (int i = 0; i < 30000; ++i) {
    double a;
    if (i % 2) {
      a = std::abs(std::bit_cast<double>(rng()));
      if (!std::isfinite(a) || a == 0.0 || a == KNumberText::kUndefined) continue;
    } else {  // few significant bits: many exact ties
      a = std::ldexp(static_cast<double>(rng() % 2000000 + 1), static_cast<int>(rng() % 120) - 60);
    }
    int n = static_cast<int>(rng() % 20) + 1;
    ASSERT_EQ(decompose(text(a, 0, n)), reference(a, n)) << std::hexfloat << a << " digits " << n;
    ASSERT_EQ(decompose(text(a, 1, n)), reference(a, n)) << std::hexfloat << a << " style 1 digits " << n;
  }
}

void expectRoundTrip(double value) {
  std::string s = exactText(value);
  double back = std::strtod(s.c_str(), nullptr);
  ASSERT_EQ(std::bit_cast<uint64_t>(back), std::bit_cast<uint64_t>(value)) << s;
}

TEST_F(KNumberTextTest, ExactTextReadsBackBitIdentical) {
  std::mt19937_64 rng(2024);
  int checked = 0;
  while (checked < 1000000) {
    double v = std::bit_cast<double>(rng());
    if (!std::isfinite(v) || v == KNumberText::kUndefined) continue;
    expectRoundTrip(v);
    ++checked;
  }
}

TEST_F(KNumberTextTest, ExactTextKeepsExtremesSubnormalsAndNegativeZero) {
  const double extremes[] = {DBL_MAX, -DBL_MAX, std::nextafter(DBL_MAX, 0.0), -DBL_MIN,
                             std::nextafter(DBL_MIN, 1.0), std::nextafter(DBL_MIN, 0.0),
                             std::numeric_limits<double>::denorm_min(), -std::numeric_limits<double>::denorm_min(),
                             4.9406564584124654e-322, 1e-310, 0.0, -0.0, 1.0, 0.1, 1e23, 9007199254740993.0,
                             123456789012345678.0, 5e-324 * 3};
  for (double v : extremes) expectRoundTrip(v);
  EXPECT_EQ(exactText(std::numeric_limits<double>::denorm_min()), "4.9406564584124654418E-324");
  EXPECT_EQ(exactText(DBL_MAX), "179.76931348623157081E306");
}

TEST_F(KNumberTextTest, CharBufferFormIsTheExactTextOfNumberToText) {
  std::mt19937_64 rng(5);
  char buffer[KNumberText::kMaxChars];
  for (int i = 0; i < 200000; ++i) {
    double v = i % 2 ? std::bit_cast<double>(rng())
                     : std::ldexp(static_cast<double>(rng() >> 11), static_cast<int>(rng() % 140) - 110);
    if (!std::isfinite(v) || v == KNumberText::kUndefined) continue;
    int digits = i % 3 ? 20 : static_cast<int>(rng() % 22) + 1;
    int length = numberToChars(v, buffer, digits, ".");
    ASSERT_EQ(std::string(buffer, static_cast<size_t>(length)), text(v, 0, digits, 0, 0.0))
        << std::hexfloat << v << " digits " << digits;
  }
  for (double v : {0.0, -0.0, 1e20, 99999999999999999999.0, 1e-13, 0.5, 2.5}) {
    int length = numberToChars(v, buffer, 20, ",");
    EXPECT_EQ(std::string(buffer, static_cast<size_t>(length)), text(v, 0, 20, 0, 0.0, -1, ",")) << v;
  }
}

TEST_F(KNumberTextTest, CharBufferFormLeavesNotAvailableToTheFormatter) {
  char buffer[KNumberText::kMaxChars];
  EXPECT_EQ(numberToChars(KNumberText::kUndefined, buffer, 20), -1);
  EXPECT_EQ(numberToChars(std::nan(""), buffer, 20), -1);
  EXPECT_EQ(numberToChars(-INFINITY, buffer, 20), -1);
}

TEST(KUnitPowerTest, StylesOfPowers) {
  KString s("N");
  appendUnitPower(s, 2, "m", 2);
  EXPECT_EQ(s, "N.m&#178;");
  s = "N";
  appendUnitPower(s, 10, "m", 2);
  EXPECT_EQ(s, "N.m^10");
  s = "N";
  appendUnitPower(s, 9, "m", 2);
  EXPECT_EQ(s, "N.m&#8313;");

  s = "";
  appendUnitPower(s, 2, "m", 0);
  EXPECT_EQ(s, "m2");
  s = "";
  appendUnitPower(s, -1, "s", 1);
  EXPECT_EQ(s, "s^-1");
  s = "kg";
  appendUnitPower(s, 1, "m", 3);
  EXPECT_EQ(s, "kg.m");
  s = "";
  appendUnitPower(s, 3, "m", 3);
  EXPECT_EQ(s, "m\xB3");
  s = "";
  appendUnitPower(s, 4, "m", 3);
  EXPECT_EQ(s, "m^4");
}

}  // namespace
