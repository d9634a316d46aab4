#include "model/units/KConsistentUnits.h"

#include "storage/numbertext/KQuantityCodes.h"
#include "storage/objectfile/KBinaryPersistance.h"
#include "storage/objectfile/KTextPersistance.h"
#include "tests/support/KScratchFolder.h"

#include <gtest/gtest.h>

namespace {
KConsistentUnits unitsOf(const char* setName) {
  KConsistentUnits u;
  EXPECT_FALSE(u.setFromSetName(setName)) << setName;
  return u;
}
}  // namespace

TEST(KConsistentUnitsTest, SplitFeetInchesInFeetAndInches) {
  KConsistentUnits feet = unitsOf("lbf,ft,lb,s,F");
  double f = 0, i = 0;
  ASSERT_FALSE(feet.splitFeetInches(5.5, f, i));
  EXPECT_DOUBLE_EQ(f, 5.0);
  EXPECT_DOUBLE_EQ(i, 6.0);
  ASSERT_FALSE(feet.splitFeetInches(-5.5, f, i));
  EXPECT_DOUBLE_EQ(f, -5.0);
  EXPECT_DOUBLE_EQ(i, -6.0);
  ASSERT_FALSE(feet.splitFeetInches(0.25, f, i));
  EXPECT_DOUBLE_EQ(f, 0.0);
  EXPECT_DOUBLE_EQ(i, 3.0);
  ASSERT_FALSE(feet.splitFeetInches(1.0, f, i));
  EXPECT_DOUBLE_EQ(f, 1.0);
  EXPECT_DOUBLE_EQ(i, 0.0);
  ASSERT_FALSE(feet.splitFeetInches(3.000001, f, i));  // 0.000012 in: below the snap
  EXPECT_DOUBLE_EQ(f, 3.0);
  EXPECT_EQ(i, 0.0);
  ASSERT_FALSE(feet.splitFeetInches(3.00001, f, i));  // 0.00012 in: kept
  EXPECT_NEAR(i, 0.00012, 1e-9);

  KConsistentUnits inches = unitsOf("lbf,in,lbf.s2/in,s,F");
  ASSERT_FALSE(inches.splitFeetInches(30.0, f, i));
  EXPECT_DOUBLE_EQ(f, 2.0);
  EXPECT_DOUBLE_EQ(i, 6.0);
  ASSERT_FALSE(inches.splitFeetInches(-30.0, f, i));
  EXPECT_DOUBLE_EQ(f, -2.0);
  EXPECT_DOUBLE_EQ(i, -6.0);

  EXPECT_TRUE(unitsOf("N,m,kg,s,C").splitFeetInches(5.5, f, i));
  EXPECT_EQ(unitsOf("N,m,kg,s,C").feetInchesMode(), 0);
  EXPECT_EQ(feet.feetInchesMode(), 1);
  EXPECT_EQ(inches.feetInchesMode(), 2);
}

TEST(KConsistentUnitsTest, TemperatureScales) {
  KConsistentUnits f = unitsOf("lbf,ft,lb,s,F");
  double t = 212.0;
  ASSERT_FALSE(f.toKelvin(t));
  EXPECT_NEAR(t, 373.15, 1e-9);
  EXPECT_TRUE(f.isFahrenheit());
  EXPECT_FALSE(f.isCelsius());

  KConsistentUnits c = unitsOf("N,m,kg,s,C");
  t = 100.0;
  ASSERT_FALSE(c.toKelvin(t));
  EXPECT_NEAR(t, 373.15, 1e-9);
  KConsistentUnits k = unitsOf("N,m,kg,s,K");
  t = 300.0;
  ASSERT_FALSE(k.toKelvin(t));
  EXPECT_EQ(t, 300.0);
  EXPECT_TRUE(k.isKelvin());
  EXPECT_FALSE(k.isCelsius());

  // Within 0.0001 of the scale and offset counts; beyond does not.
  c.m_tempOffset = 0.00009;
  EXPECT_TRUE(c.isCelsius());
  c.m_tempOffset = 0.00011;
  EXPECT_FALSE(c.isCelsius());
  f.m_tempFactor = 1.80011;
  EXPECT_FALSE(f.isFahrenheit());
  t = 50.0;
  EXPECT_TRUE(f.toKelvin(t));
  EXPECT_EQ(t, 50.0);
  k.m_tempOffset = 273.15 - 0.00011;
  EXPECT_FALSE(k.isKelvin());
}

TEST(KConsistentUnitsTest, MatchesShortNamesWithoutCase) {
  KConsistentUnits u = unitsOf("kN,mm,t,s,C");
  EXPECT_EQ(u.m_energyShortStr, "kN.mm");
  EXPECT_TRUE(u.matches("KN.MM", "kn", "MM", "T", "S", "c", false));
  EXPECT_FALSE(u.matches("J", "kN", "mm", "t", "s", "C", false));
  EXPECT_TRUE(u.matches("J", "kN", "mm", "t", "s", "C", true));
  EXPECT_FALSE(u.matches("kN.mm", "kN", "m", "t", "s", "C", true));
  EXPECT_FALSE(u.matches("kN.mm", "kN", "mm", "t", "s", "K", true));
  EXPECT_EQ(unitsOf("N,m,kg,s,C").m_energyShortStr, "J");
}

TEST(KConsistentUnitsTest, BuildsSetsFromNames) {
  KConsistentUnits u;
  EXPECT_EQ(u.m_name, "N,m,kg,s,C");
  KString error;
  EXPECT_TRUE(u.setFromSetName("N,m,kg,s", &error));
  EXPECT_TRUE(u.setFromSetName("N,m,kg,s,C,C", &error));
  EXPECT_TRUE(u.setFromSetName("N,furlong,kg,s,C", &error));
  EXPECT_NE(error.Find("furlong"), -1);
  EXPECT_EQ(u.m_name, "N,m,kg,s,C");  // unchanged by the failures
  ASSERT_FALSE(u.setFromSetName(" lbf , ft ,lb,s,F"));
  EXPECT_EQ(u.m_name, "lbf,ft,lb,s,F");
  EXPECT_EQ(u.m_lengthLongStr, "feet");
  EXPECT_DOUBLE_EQ(u.m_energyFactor, 4.4482216152605 * 0.3048);
}

TEST(KConsistentUnitsTest, CommandAndListingLines) {
  KConsistentUnits u = unitsOf("lbf,ft,lb,s,F");
  EXPECT_EQ(u.commandLine(), "  SET UNITS LFORCE=\"lbf\"  LLENGT=\"ft\"  LMASS=\"lb\"  LTIME=\"s\"  LTEMP=\"F\"");
  EXPECT_EQ(u.listingLine(), "UNITS  lbf  ft  lb  s  F \n");
  KString KConsistentUnits::*names[] = {&KConsistentUnits::m_forceShortStr, &KConsistentUnits::m_lengthShortStr,
                                         &KConsistentUnits::m_massShortStr, &KConsistentUnits::m_timeShortStr,
                                         &KConsistentUnits::m_tempShortStr};
  for (auto name : names) {
    KConsistentUnits missing = unitsOf("lbf,ft,lb,s,F");
    (missing.*name).Empty();
    EXPECT_EQ(missing.listingLine(), "");
  }
  u.m_energyShortStr.Empty();  // energy is not listed
  EXPECT_EQ(u.listingLine(), "UNITS  lbf  ft  lb  s  F \n");
}

TEST(KConsistentUnitsTest, ConvertsFromSI) {
  KConsistentUnits u = unitsOf("kN,mm,t,s,C");
  double v = 2.0;
  ASSERT_FALSE(u.convertFromSI(v, KQuantityCodes::kLength));
  EXPECT_DOUBLE_EQ(v, 2000.0);
  int e[KQuantityCodes::kExponentCount] = {0, 1, -2, 0, 0, 0, 0, 0, 0};  // stress
  v = 1e6;  // 1 MPa is 0.001 kN/mm2
  ASSERT_FALSE(u.convertFromSI(v, packDimensionCode(e)));
  EXPECT_DOUBLE_EQ(v, 0.001);
  v = 3.0;
  EXPECT_TRUE(u.convertFromSI(v, KQuantityCodes::kInvalid));
  EXPECT_EQ(v, 3.0);
  KConsistentUnits f = unitsOf("lbf,ft,lb,s,F");
  int temp[KQuantityCodes::kExponentCount] = {0, 0, 0, 0, 0, 1, 0, 0, 0};
  v = 10.0;  // a 10 K interval is 18 F
  ASSERT_FALSE(f.convertFromSI(v, packDimensionCode(temp)));
  EXPECT_DOUBLE_EQ(v, 18.0);
}

class KConsistentUnitsFileTest : public ::testing::TestWithParam<bool> {};

TEST_P(KConsistentUnitsFileTest, RoundTripsEveryField) {
  KScratchFolder folder("units");
  std::string path = folder.file("u.qf");
  KConsistentUnits saved = unitsOf("lbf,in,lbf.s2/in,min,F");
  saved.m_name = "my set";
  saved.m_tempOffset = 31.5;
  {
    std::unique_ptr<KImplPersistance> w;
    if (GetParam()) w = std::make_unique<KBinaryPersistance>(path.c_str(), true);
    else w = std::make_unique<KTextPersistance>(path.c_str(), true);
    saved.write(*w, "units");
    w->Close();
  }
  std::unique_ptr<KImplPersistance> r;
  if (GetParam()) r = std::make_unique<KBinaryPersistance>(path.c_str(), false);
  else r = std::make_unique<KTextPersistance>(path.c_str(), false);
  KConsistentUnits loaded;
  loaded.read(*r, "units");
  EXPECT_EQ(loaded.m_name, "my set");
  EXPECT_EQ(loaded.m_energyShortStr, saved.m_energyShortStr);
  EXPECT_EQ(loaded.m_massShortStr, "lbf.s2/in");
  EXPECT_EQ(loaded.m_timeLongStr, "minutes");
  EXPECT_EQ(loaded.m_lengthLongStr, "inches");
  EXPECT_EQ(loaded.m_tempLongStr, "Fahrenheit");
  EXPECT_EQ(loaded.m_energyFactor, saved.m_energyFactor);
  EXPECT_EQ(loaded.m_massFactor, saved.m_massFactor);
  EXPECT_EQ(loaded.m_timeFactor, 60.0);
  EXPECT_EQ(loaded.m_tempFactor, 1.8);
  EXPECT_EQ(loaded.m_tempOffset, 31.5);
}

INSTANTIATE_TEST_SUITE_P(BothForms, KConsistentUnitsFileTest, ::testing::Bool());

TEST(KConsistentUnitsTest, MissingFieldsKeepTheirValues) {
  KScratchFolder folder("units");
  std::string path = folder.file("u.qf");
  {
    KTextPersistance w(path.c_str(), true);
    w.beginObject("KConsistentUnits", "KConsistentUnits");
    w.writeString("m_lengthShortStr", "ft");
    w.writeReal("m_lengthFactor", 0.3048);
    w.endObject();
    w.Close();
  }
  KTextPersistance r(path.c_str(), false);
  KConsistentUnits u;
  u.read(r);
  EXPECT_EQ(u.m_lengthShortStr, "ft");
  EXPECT_EQ(u.m_lengthFactor, 0.3048);
  EXPECT_EQ(u.m_forceShortStr, "N");
  EXPECT_EQ(u.m_name, "N,m,kg,s,C");
}
