#include "model/units/KEntryConversion.h"

#include "model/units/KUnitsTestApp.h"
#include "numerics/expr/KExpr.h"
#include "numerics/expr/KExprValues.h"
#include "storage/numbertext/KNumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {
constexpr long kLength = KQuantityCodes::kLength;
constexpr long kPlain = KQuantityCodes::kDimensionless;

class KEntryConversionTest : public ::testing::Test {
 protected:
  // The value of `text` entered into a field holding `current`; NaN on failure.
  double entered(const char* text, long code = kPlain, double current = 0.0, int digits = kEntryDigits) {
    double v = current;
    m_error.Empty();
    if (textToReal(text, v, m_error, nullptr, code, digits, false)) {
      EXPECT_EQ(v, current) << "a failure changed the value";
      return std::nan("");
    }
    return v;
  }
  KUnitsTestApp m_app;
  KString m_error;
};
}  // namespace

TEST_F(KEntryConversionTest, IntegersMustBeWhole) {
  long out = 7;
  KString error;
  EXPECT_FALSE(textToInteger("2*3+1", out, error, false));
  EXPECT_EQ(out, 7);
  EXPECT_FALSE(textToInteger("-12", out, error, false));
  EXPECT_EQ(out, -12);
  EXPECT_TRUE(textToInteger("2.5", out, error, false));
  EXPECT_EQ(error, "\"2.5\" entered where an integer was expected");
  EXPECT_EQ(out, -12);
  EXPECT_TRUE(textToInteger("none()", out, error, false));   // the undefined value
  EXPECT_TRUE(textToInteger("sqrt(-1)", out, error, false)); // NaN must not pass as 0
  EXPECT_TRUE(textToInteger("3e10", out, error, false));     // beyond the 32-bit range
  EXPECT_TRUE(textToInteger("1+", out, error, false));
  EXPECT_NE(error.Find("1+"), -1) << error.GetString();
  EXPECT_FALSE(textToInteger("2147483647", out, error, false));
  EXPECT_EQ(out, 2147483647);
}

TEST_F(KEntryConversionTest, PlainNumbersAndExpressions) {
  EXPECT_EQ(entered("1.25"), 1.25);
  EXPECT_EQ(entered("  -1.25e2 "), -125.0);
  EXPECT_EQ(entered("+.5"), 0.5);
  EXPECT_EQ(entered("2*PI"), 2 * M_PI);
  EXPECT_EQ(entered("-0"), 0.0);
  EXPECT_TRUE(std::signbit(entered("-0")));
  EXPECT_EQ(entered("1."), 1.0);
  EXPECT_EQ(entered("1.e3"), 1000.0);
  EXPECT_TRUE(std::isnan(entered("1e")));
  EXPECT_TRUE(std::isnan(entered("1..2")));
  EXPECT_TRUE(std::isnan(entered("")));
  EXPECT_TRUE(std::isnan(entered("2*")));
  EXPECT_EQ(entered("1e400"), HUGE_VAL);
  EXPECT_EQ(entered("0.1"), 0.1);
  EXPECT_EQ(entered("123456789012345678"), 123456789012345678.0);
}

TEST_F(KEntryConversionTest, NamedValuesAreUsed) {
  KExprValues values(true);
  values.addValue("w", 4.0);
  double v = 0.0;
  KString error;
  EXPECT_FALSE(textToReal("w/2", v, error, &values, kPlain, kEntryDigits, false));
  EXPECT_EQ(v, 2.0);
  EXPECT_TRUE(textToReal("q/2", v, error, &values, kPlain, kEntryDigits, false));
  EXPECT_EQ(v, 2.0);
}

TEST_F(KEntryConversionTest, UnchangedEntryKeepsTheFullValue) {
  const double third = 1.0 / 3.0;
  EXPECT_EQ(entered("0.333333333333333", kPlain, third), third);
  EXPECT_EQ(entered("0.333333", kPlain, third, 6), third);
  EXPECT_EQ(entered("0.333334", kPlain, third, 6), 0.333334);
  EXPECT_EQ(entered("0.33333", kPlain, third, 6), 0.33333);
  EXPECT_EQ(entered("1/3", kPlain, 0.5, 6), third);
  // The field shows times in the time-scale unit.
  m_app.m_timescale.m_timescaleUnit = 3600;
  const double t = 7200.0 + 1e-9;
  EXPECT_EQ(entered("2", KQuantityCodes::kTimescale, t, 6), t);
  EXPECT_EQ(entered("3", KQuantityCodes::kTimescale, t, 6), 10800.0);
}

TEST_F(KEntryConversionTest, NotAvailable) {
  double v = entered("N/A", kPlain, 3.0);
  EXPECT_TRUE(KExprIsUndefined(v));
  EXPECT_TRUE(KExprIsUndefined(entered(" N/A ", kLength, 3.0)));
  // A field holding no value shows "N/A"; entering it keeps it.
  EXPECT_TRUE(KExprIsUndefined(entered("N/A", kPlain, KExprUndefined)));
}

TEST_F(KEntryConversionTest, TimeScaleConversion) {
  m_app.m_timescale.m_timescaleUnit = 60;
  EXPECT_EQ(entered("2", KQuantityCodes::kTimescale), 120.0);
  EXPECT_EQ(entered("2+1", KQuantityCodes::kTimescale), 180.0);
  EXPECT_EQ(entered("30", KQuantityCodes::kRate), 0.5);
  EXPECT_EQ(entered("2", KQuantityCodes::kTime), 2.0);
  EXPECT_TRUE(KExprIsUndefined(entered("none()", KQuantityCodes::kTimescale)));
  m_app.m_timescale.m_timescaleUnit = 0;  // increments: no conversion
  EXPECT_EQ(entered("2", KQuantityCodes::kTimescale), 2.0);
}

TEST_F(KEntryConversionTest, TableEndValue) {
  EXPECT_TRUE(std::isnan(entered("pwlt(20, 0, 0, 10, 100)")));
  EXPECT_EQ(m_error, "##100##");
  EXPECT_TRUE(std::isnan(entered("pwlt(-1, 0, 5, 10, 100)")));
  EXPECT_EQ(m_error, "##5##");
  EXPECT_EQ(entered("pwlt(5, 0, 0, 10, 100)"), 50.0);
}

TEST_F(KEntryConversionTest, FeetAndInchesOnlyForLengthsInFeetOrInches) {
  m_app.useUnits("lbf,ft,lb,s,F");
  EXPECT_EQ(entered("5' 6\"", kLength), 5.5);
  EXPECT_EQ(entered("-5' 6\"", kLength), -5.5);
  EXPECT_EQ(entered("6\"", kLength), 0.5);
  EXPECT_EQ(entered("2.5", kLength), 2.5);
  EXPECT_TRUE(std::isnan(entered("5' 6\"", kPlain)));
  m_app.useUnits("lbf,in,lbf.s2/in,s,F");
  EXPECT_EQ(entered("5' 6\"", kLength), 66.0);
  m_app.useUnits("N,m,kg,s,C");
  EXPECT_TRUE(std::isnan(entered("5' 6\"", kLength)));
}

// Every length shown in feet and inches reads back to the value it was
// shown from, within the digits shown.
TEST_F(KEntryConversionTest, FeetAndInchesRoundTrip) {
  m_app.setFeetInches(true);
  std::mt19937_64 rng(42);
  std::uniform_real_distribution<double> any(-5000.0, 5000.0);
  std::vector<double> values = {0.0, 0.5, -0.5, 5.5, -5.5, 1.0, -1.0, 11.0 / 12.0, 5.99999, -5.99999,
                                5.999999999, 12.0 - 1e-12, -3.0 + 1e-13, 1e-7, -1e-7, 0.0833333333333,
                                1234567.25, 1.0 / 3.0, 2.0 / 3.0, 100.0 - 1.0 / 96.0};
  for (int i = 0; i < 3000; ++i) values.push_back(any(rng));
  for (int whole = -30; whole <= 30; ++whole) {
    values.push_back(whole - 1e-9);  // just below whole feet
    values.push_back(whole - 0.5 / 12.0 * 1e-5);
    values.push_back(whole + 11.9999 / 12.0);
  }
  for (const char* set : {"lbf,ft,lb,s,F", "lbf,in,lbf.s2/in,s,F"}) {
    m_app.useUnits(set);
    for (int digits : {4, 6, 10, 15}) {
      for (double v : values) {
        KString shown;
        numberToText(v, shown, 0, digits, -1, 0.0, kLength);
        double back = entered(shown, kLength, KExprUndefined, digits);
        ASSERT_FALSE(std::isnan(back)) << set << " " << shown.GetString() << ": " << m_error.GetString();
        // The inches (below 12) carry `digits` significant digits; the feet
        // are exact. Feet drop inches below 0.0001 (the split's snap).
        bool feet = m_app.m_units.feetInchesMode() == 1;
        double tolerance = (0.5 * std::pow(10.0, 2 - digits) + (feet ? 0.0001 : 0.0)) / (feet ? 12.0 : 1.0) +
                           1e-12 * std::fabs(v);
        EXPECT_NEAR(back, v, tolerance) << set << " digits " << digits << " shown " << shown.GetString();
      }
    }
  }
}

// With the user's locale a decimal comma reads the same on the short path
// for plain numbers as through the expression parser.
TEST_F(KEntryConversionTest, UserLocaleDecimalComma) {
  const char* saved = getenv("LC_ALL");
  std::string previous = saved ? saved : "";
  setenv("LC_ALL", "de_DE.UTF-8", 1);
  double v = 0.0;
  KString error;
  EXPECT_FALSE(textToReal("-1,5", v, error, nullptr, kPlain));
  EXPECT_EQ(v, -1.5);
  EXPECT_FALSE(textToReal("2*1,5", v, error, nullptr, kPlain));
  EXPECT_EQ(v, 3.0);
  EXPECT_TRUE(textToReal("1.5", v, error, nullptr, kPlain));
  EXPECT_EQ(v, 3.0);
  EXPECT_FALSE(textToReal("1.5", v, error, nullptr, kPlain, kEntryDigits, false));
  EXPECT_EQ(v, 1.5);
  if (saved) setenv("LC_ALL", previous.c_str(), 1);
  else unsetenv("LC_ALL");
}
