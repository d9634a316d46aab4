#include "model/units/KTimescaleUnits.h"

#include "storage/objectfile/KTextPersistance.h"
#include "tests/support/KScratchFolder.h"

#include <gtest/gtest.h>

TEST(KTimescaleUnitsTest, RateSuffixes) {
  const long units[] = {1, 60, 3600, 86400, 0, 2, -1, 61};
  const char* suffixes[] = {"/second", "/minute", "/hour", "/day", "/increment", "unset", "unset", "unset"};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(KTimescaleUnits(units[i]).rateSuffix(), suffixes[i]) << units[i];
}

TEST(KTimescaleUnitsTest, UnitsByText) {
  KTimescaleUnits t;
  EXPECT_FALSE(t.setFromText("hours"));
  EXPECT_EQ(t.m_timescaleUnit, 3600);
  EXPECT_FALSE(t.setFromText("Increments"));
  EXPECT_EQ(t.m_timescaleUnit, 0);
  EXPECT_TRUE(t.setFromText("fortnights"));
  EXPECT_EQ(t.m_timescaleUnit, 0);
}

TEST(KTimescaleUnitsTest, FileRoundTripAndRange) {
  KScratchFolder folder("timescale");
  std::string path = folder.file("t.qf");
  {
    KTextPersistance w(path.c_str(), true);
    KTimescaleUnits(86400).write(w);
    w.beginObject("KTimescaleUnits", "big");
    w.writeInt("m_timescaleUnit", 1LL << 40);
    w.endObject();
    w.beginObject("KTimescaleUnits", "empty");
    w.endObject();
    w.Close();
  }
  KTextPersistance r(path.c_str(), false);
  KTimescaleUnits t;
  t.read(r);
  EXPECT_EQ(t.m_timescaleUnit, 86400);
  t.read(r, "big");
  EXPECT_EQ(t.m_timescaleUnit, INT32_MAX);
  t.m_timescaleUnit = 60;
  t.read(r, "empty");
  EXPECT_EQ(t.m_timescaleUnit, 60);
}
