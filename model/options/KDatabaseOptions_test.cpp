#include "model/options/KDatabaseOptions.h"

#include "containers/options/KOptionBase.h"
#include "core/application/KApplicationAbstract.h"
#include "model/options/KOptionsScript.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
// An application whose application-wide store is `m_global`.
class KGlobalStoreApp : public KApplicationAbstract {
 public:
  KGlobalStoreApp() { m_previous = KSetApplication(this); }
  ~KGlobalStoreApp() override { KSetApplication(m_previous); }
  bool HasGlobalOptions() override { return true; }
  KDatabaseOptions* GetGlobalOptions() override { return &m_global; }
  KDatabaseOptions m_global;

 private:
  KApplicationAbstract* m_previous;
};

struct Recorder : KScriptRecorder {
  void record(int kind, const KString& command) override {
    EXPECT_EQ(kind, kScriptCommandKind);
    lines.push_back(command.GetString());
  }
  std::vector<std::string> lines;
};

// A store with built-in options that notes whether they were added frozen.
class KBuiltInStore : public KDatabaseOptions {
 public:
  bool m_addedFrozen = false;

 protected:
  void addBuiltInOptions() override {
    m_addedFrozen = areOptionsFrozen();
    setInteger("builtIn", 3, false, false);
    setInteger("builtIn", 4, false, false);  // linked-list form: not searched
  }
  bool skipsRegistryDefaults() const override { return true; }
};
}  // namespace

TEST(KDatabaseOptionsTest, LookupsFallBackAndIgnoreCase) {
  KDatabaseOptions s;
  EXPECT_EQ(s.getInteger("n", 9), 9);
  EXPECT_EQ(s.getString("t", "x"), "x");
  EXPECT_EQ(s.getDouble("d", 1.5), 1.5);
  EXPECT_TRUE(s.getBoolean("b", true));
  s.setInteger("Count", 4, true);
  s.setString("count", "four", true);
  EXPECT_EQ(s.getInteger("COUNT", 0), 4);
  EXPECT_EQ(s.getString("Count", ""), "four");  // the same name in two types
  EXPECT_EQ(s.getCount<long>(), 1);
  EXPECT_EQ(s.getAddedCount(kOptionTypeIndex<long>), 1);
  EXPECT_EQ(s.getAddedCount(kOptionTypeIndex<KString>), 1);
  EXPECT_EQ(s.getAddedCount(kOptionTypeIndex<double>), 0);
}

TEST(KDatabaseOptionsTest, SettersReportChangesAndKeepFirstSave) {
  KDatabaseOptions s;
  EXPECT_TRUE(s.setDouble("tol", 0.5, false, true, 7));  // added
  const KOption<double>* r = s.find<double>("tol");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->m_keyId, 7);
  EXPECT_EQ(r->m_defaultValue, 0.5);
  EXPECT_EQ(r->m_firstSaveValue, 0.5);
  EXPECT_FALSE(s.setDouble("tol", 0.5, false, true));  // same value
  EXPECT_FALSE(s.isModified<double>("tol"));
  EXPECT_TRUE(s.setDouble("tol", 0.25, false, true, -1));
  EXPECT_EQ(r->m_keyId, 7);  // -1 leaves it
  EXPECT_TRUE(r->m_stored);
  EXPECT_TRUE(s.isModified<double>("tol"));
  // Back to the first-save value while invisible: no longer stored.
  EXPECT_TRUE(s.setDouble("tol", 0.5, false, true, 8));
  EXPECT_FALSE(r->m_stored);
  EXPECT_EQ(r->m_keyId, 8);
  // A visible setting keeps the stored flag it is given.
  s.setDouble("tol", 0.5, true, true);
  EXPECT_TRUE(r->m_stored);
  EXPECT_TRUE(r->m_visible);
  EXPECT_FALSE(s.setKeyId<double>("tol", 11));
  EXPECT_EQ(r->m_keyId, 11);
  EXPECT_TRUE(s.setKeyId<double>("nothing", 11));
  EXPECT_FALSE(s.isModified<double>("nothing"));
  // Strings compare exactly.
  s.setString("t", "a", false);
  EXPECT_TRUE(s.setString("t", "A", false));
  EXPECT_TRUE(s.isModified<KString>("t"));
}

TEST(KDatabaseOptionsTest, NewOptionsTakeFirstSaveAndKeyFromTheApplicationStore) {
  KGlobalStoreApp app;
  app.m_global.setInteger("shared", 10, false, true, 42);
  app.m_global.setInteger("shared", 12, false, true);  // first-save stays 10
  KDatabaseOptions model;
  model.setInteger("shared", 12, false, true);
  const KOption<long>* r = model.find<long>("SHARED");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->m_firstSaveValue, 10);
  EXPECT_EQ(r->m_keyId, 42);
  EXPECT_TRUE(model.isModified<long>("shared"));
  model.setInteger("other", 1, false, true, 5);
  EXPECT_EQ(model.find<long>("other")->m_keyId, 5);
  // The application store itself does not consult itself.
  app.m_global.setInteger("own", 1, false, true);
  EXPECT_EQ(app.m_global.find<long>("own")->m_keyId, 0);
}

TEST(KDatabaseOptionsTest, ChangesMakeCachedOptionsStale) {
  KDatabaseOptions s;
  s.setBoolean("b", true, false);
  g_optionsClock.dirty = false;
  s.setBoolean("b", true, false);
  EXPECT_FALSE(g_optionsClock.dirty);
  s.setBoolean("b", false, false);
  EXPECT_TRUE(g_optionsClock.dirty);
  g_optionsClock.dirty = false;
  s.setBoolean("c", false, false);
  EXPECT_TRUE(g_optionsClock.dirty);
}

TEST(KDatabaseOptionsTest, ResetRebuildsFrozenFromBuiltIns) {
  KBuiltInStore s;
  s.setString("gone", "x", true);
  g_optionsClock.dirty = false;
  s.reset();
  EXPECT_TRUE(s.m_addedFrozen);
  EXPECT_FALSE(areOptionsFrozen());
  EXPECT_TRUE(g_optionsClock.dirty);
  EXPECT_EQ(s.find<KString>("gone"), nullptr);
  EXPECT_EQ(s.getCount<long>(), 1);
  EXPECT_EQ(s.getInteger("builtIn", 0), 3);  // duplicates dropped, the first kept
  EXPECT_EQ(s.getAddedCount(kOptionTypeIndex<KString>), 0);
  // The rebuilt tree is searched again.
  EXPECT_FALSE(s.setInteger("builtIn", 3, false, false));
}

TEST(KDatabaseOptionsTest, CloneAndMapNames) {
  KDatabaseOptions s("Suffix");
  s.setInteger("i", 1, true, true, 3);
  s.setString("s", "t", false);
  s.setMapName(0, "first");
  s.setMapName(31, "last");
  std::unique_ptr<KDatabaseOptions> c(s.clone());
  EXPECT_EQ(c->getSuffix(), "Suffix");
  EXPECT_EQ(c->getInteger("i", 0), 1);
  EXPECT_EQ(c->find<long>("i")->m_keyId, 3);
  EXPECT_EQ(c->getString("s", ""), "t");
  EXPECT_EQ(c->getMapName(31), "last");
  c->setInteger("i", 2, true);
  EXPECT_EQ(s.getInteger("i", 0), 1);  // a deep copy
  KDatabaseOptions other;
  other.copyMapNames(s);
  EXPECT_EQ(other.getMapName(0), "first");
  EXPECT_EQ(other.getInteger("i", 0), 0);
}

TEST(KDatabaseOptionsTest, ScriptEmitsVisibleModifiedOrAll) {
  KDatabaseOptions s;
  s.setInteger("visibleInt", 5, true);
  s.setInteger("hiddenInt", 5, false);
  s.setInteger("CurrentComponentIndex", 2, true);
  s.setDouble("changed", 1.0, false);
  s.setDouble("changed", 0.1, false);
  s.setString("text", "a \"b\" c", true);
  s.setBoolean("flag", false, true);
  Recorder r;
  s.generateScript(r, "", false);
  std::vector<std::string> expected = {"setInteger \"visibleInt\" 5 true",
                                       "setDouble \"changed\" 0.10000000000000001 false",
                                       "setString \"text\" \"a \"\"b\"\" c\" true", "setBoolean \"flag\" false true"};
  EXPECT_EQ(r.lines, expected);
  Recorder all;
  s.generateScript(all, "opts", true);
  ASSERT_EQ(all.lines.size(), 5u);
  EXPECT_EQ(all.lines[0], "setInteger \"opts\" \"visibleInt\" 5 true");
  EXPECT_EQ(all.lines[1], "setInteger \"opts\" \"hiddenInt\" 5 false");
}

TEST(KDatabaseOptionsTest, ReplayRefusesWhatIsNoCommand) {
  KDatabaseOptions s;
  const char* bad[] = {"",
                       "setInteger \"n\" 5",
                       "setInteger n 5 true",
                       "setInteger \"n\" five true",
                       "setInteger \"n\" 5 yes",
                       "setInteger \"n\" \"5\" true",
                       "setDouble \"n\" 1.5x true",
                       "setString \"n\" unquoted true",
                       "setString \"n\" \"open true",
                       "setString \"n\" \"a\"b\" true",
                       "setBoolean \"n\" maybe true",
                       "setColour \"n\" 1 true",
                       "setInteger p \"n\" 5 true"};
  for (const char* command : bad) EXPECT_TRUE(replayOptionCommand(command, s)) << command;
  EXPECT_EQ(s.getCount<long>() + s.getCount<double>() + s.getCount<KString>() + s.getCount<bool>(), 0);
  KString prefix;
  EXPECT_FALSE(replayOptionCommand("setString \"my obj\" \"n\" \"\" false", s, &prefix));
  EXPECT_EQ(prefix, "my obj");
  EXPECT_EQ(s.getString("n", "x"), "");
}
