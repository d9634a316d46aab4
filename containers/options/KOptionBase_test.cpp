#include "containers/options/KOptionBase.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "core/application/KApplicationAbstract.h"
#include "core/application/KFlagDefence.h"
#include "containers/options/KLibraryOptions.h"
#include "containers/options/KOption.h"
#include "platform/KResources.h"
#include "platform/KTime.h"

namespace {

// Application object that answers option lookups from a table and counts them.
class OptionsApp : public KApplicationAbstract {
 public:
  std::map<std::string, double> values;
  std::map<std::string, int> lookups;

  bool LookupBoolOption(const KString& name, bool current) override {
    return find(name, current ? 1.0 : 0.0) != 0.0;
  }
  long LookupIntegerOption(const KString& name, long current) override {
    return static_cast<long>(find(name, static_cast<double>(current)));
  }
  double LookupRealOption(const KString& name, double current) override { return find(name, current); }

 private:
  double find(const KString& name, double current) {
    ++lookups[name.GetString()];
    auto it = values.find(name.GetString());
    return it == values.end() ? current : it->second;
  }
};

class KOptionTest : public testing::Test {
 protected:
  void SetUp() override {
    m_previous = KSetApplication(&m_app);
    markOptionsChanged();
  }
  void TearDown() override {
    KSetApplication(m_previous);
    markOptionsChanged();
  }
  OptionsApp m_app;
  KApplicationAbstract* m_previous = nullptr;
};

}  // namespace

TEST_F(KOptionTest, FreshOptionReadsThroughTheApplicationOnFirstAccess) {
  m_app.values["freshInt"] = 42;
  // A clean start: nothing marked changed, stamp 0 is still stale.
  KIntegerOption warm("warm", 0);
  warm.value();
  KIntegerOption option("freshInt", 7);
  EXPECT_EQ(option.value(), 42);
  EXPECT_EQ(m_app.lookups["freshInt"], 1);
}

TEST_F(KOptionTest, RepeatedReadsWithoutChangeLookUpOnce) {
  KBoolOption option("twice", false);
  m_app.values["twice"] = 1;
  EXPECT_TRUE(option.value());
  EXPECT_TRUE(option.value());
  EXPECT_TRUE(static_cast<bool>(option));
  EXPECT_EQ(m_app.lookups["twice"], 1);
}

TEST_F(KOptionTest, MarkOptionsChangedRefreshesEachOptionExactlyOnce) {
  KIntegerOption a("optA", 1);
  KDoubleOption b("optB", 2.5);
  a.value();
  b.value();
  ASSERT_EQ(m_app.lookups["optA"], 1);
  m_app.values["optA"] = 10;
  m_app.values["optB"] = 20.5;
  EXPECT_EQ(a.value(), 1) << "no re-read before the change is declared";
  markOptionsChanged();
  EXPECT_TRUE(a.needsRefresh());
  EXPECT_EQ(a.value(), 10);
  // The first refresh moved the clock past the new changed time.
  EXPECT_GT(KClockTicks(), optionsChangedTime());
  EXPECT_GT(a.getStamp(), optionsChangedTime());
  EXPECT_TRUE(b.needsRefresh());
  EXPECT_EQ(b.value(), 20.5);
  a.value();
  b.value();
  EXPECT_EQ(m_app.lookups["optA"], 2);
  EXPECT_EQ(m_app.lookups["optB"], 2);
}

TEST_F(KOptionTest, FrozenOptionsReturnCachedValuesWithoutLookup) {
  KIntegerOption option("frozenOpt", 5);
  EXPECT_EQ(option.value(), 5);
  m_app.values["frozenOpt"] = 6;
  markOptionsChanged();
  {
    KFlagDefence freeze(optionsFrozenFlag(), true);
    EXPECT_TRUE(areOptionsFrozen());
    EXPECT_EQ(option.value(), 5);
    option.refresh();
    EXPECT_EQ(option.cachedValue(), 5);
    EXPECT_EQ(m_app.lookups["frozenOpt"], 1);
  }
  EXPECT_FALSE(areOptionsFrozen());
  EXPECT_EQ(option.value(), 6);
}

TEST_F(KOptionTest, DefaultApplicationYieldsBuiltInDefaults) {
  KSetApplication(nullptr);
  markOptionsChanged();
  EXPECT_FALSE(exprDebugOption().value());
  EXPECT_EQ(maxSphByCsizeOption().value(), 100);
  EXPECT_EQ(matrixDetTolOption().value(), 1e-12);
  EXPECT_EQ(singularMatrixTolOption().value(), 1e-09);
  EXPECT_EQ(minPerpTolDistOption().value(), 1e-08);
  EXPECT_EQ(intersectTolOption().value(), 0.0001);
  EXPECT_EQ(point3TolOption().value(), 0.0001);
  EXPECT_EQ(v147FilenamesOption().name(), "V147filenames");
  EXPECT_EQ(&screenUnitsUSOption(), &screenUnitsUSOption());
}

TEST_F(KOptionTest, NameResourceIsUsedForLookupButNotForName) {
  static const KStringTableEntry strings[] = {{61001, "resourceName"}};
  AfxSetProgramStrings(strings, 1);
  m_app.values["resourceName"] = 1;
  KBoolOption option("textName", false, 61001);
  EXPECT_TRUE(option.value());
  EXPECT_EQ(option.name(), "textName");
  EXPECT_EQ(m_app.lookups.count("textName"), 0u);
  AfxSetProgramStrings(nullptr, 0);
}

TEST(KOptionRecordTest, NamesDifferingOnlyInCaseAreTheSameOption) {
  KOption<long> a;
  a.m_name = "maxBlockSize";
  KOption<long> b = a;
  b.m_name = "MAXBLOCKSIZE";
  EXPECT_EQ(a.compare(b), 0);
  EXPECT_TRUE(a.sameName(b));
  b.m_name = "minBlock";
  EXPECT_EQ(a.compare(b), -1);
  EXPECT_EQ(b.compare(a), 1);
}

// The letters and words by which options are stored in model files and the
// registry: a change would make stored options unreadable.
TEST(KOptionRecordTest, TraitsNameTheStoredLetterAndRegistryWord) {
  EXPECT_EQ(std::string() + KOptionTraits<long>::letter + KOptionTraits<double>::letter +
                KOptionTraits<KString>::letter + KOptionTraits<bool>::letter,
            "IRSB");
  EXPECT_STREQ(KOptionTraits<long>::registryWord, "int");
  EXPECT_STREQ(KOptionTraits<double>::registryWord, "real");
  EXPECT_STREQ(KOptionTraits<KString>::registryWord, "string");
  EXPECT_STREQ(KOptionTraits<bool>::registryWord, "boolean");
}
