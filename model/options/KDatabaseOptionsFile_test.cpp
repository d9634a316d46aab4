// The options store in model files (both forms, current and old layouts),
// the replay round trip over random stores, and the registry defaults.
#include "model/options/KDatabaseOptions.h"

#include "core/system/KRegistryUtils.h"
#include "model/options/KOptionEntry.h"
#include "model/options/KOptionsScript.h"
#include "storage/numbertext/KNumberText.h"
#include "storage/objectfile/KBinaryPersistance.h"
#include "storage/objectfile/KTextPersistance.h"
#include "tests/support/KScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

namespace {
// A store that keeps the options a model brings and collects warnings; its
// built-in option marks a reset.
class KTestStore : public KDatabaseOptions {
 public:
  std::vector<std::string> m_warnings;

 protected:
  void unknownOption(const KOption<long>& r) override { addRecord(r); }
  void unknownOption(const KOption<double>& r) override { addRecord(r); }
  void unknownOption(const KOption<KString>& r) override { addRecord(r); }
  void unknownOption(const KOption<bool>& r) override { addRecord(r); }
  void addBuiltInOptions() override { setBoolean("afterReset", true, false, false); }
  bool skipsRegistryDefaults() const override { return true; }
  void warn(const KString& text) override { m_warnings.push_back(text.GetString()); }
};

class KOptionsFileTest : public ::testing::Test {
 protected:
  std::string path() const { return m_folder.file("model.qf"); }
  void writeStore(const KDatabaseOptions& s, bool binary) {
    std::unique_ptr<KImplPersistance> w;
    if (binary) w = std::make_unique<KBinaryPersistance>(path().c_str(), true);
    else w = std::make_unique<KTextPersistance>(path().c_str(), true);
    s.write(*w, nullptr);
    w->Close();
  }
  bool readStore(KDatabaseOptions& s) {
    std::unique_ptr<KImplPersistance> r;
    std::ifstream probe(path(), std::ios::binary);
    char head[5] = {};
    probe.read(head, 5);
    if (std::string(head, 5) == "QUELM") r = std::make_unique<KTextPersistance>(path().c_str(), false);
    else r = std::make_unique<KBinaryPersistance>(path().c_str(), false);
    return s.read(*r, nullptr);
  }
  // A text file of stream version 5 holding `values` written by `fill`.
  template <class Fill>
  void writeOldForm(Fill fill) {
    {
      KTextPersistance w(path().c_str(), true, 0);
      w.beginObject("KDatabaseOptions", "KDatabaseOptions");
      fill(w);
      w.endObject();
      w.Close();
    }
    std::ifstream in(path(), std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    std::string text = all.str();
    size_t at = text.find("        104");  // the version field of the header
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 11, "          5");
    std::ofstream(path(), std::ios::binary | std::ios::trunc) << text;
  }
  void writeEntries(const std::vector<std::string>& entries) {
    KTextPersistance w(path().c_str(), true);
    w.beginObject("KDatabaseOptions", "KDatabaseOptions");
    std::vector<KString> values(entries.begin(), entries.end());
    w.writeS("values", static_cast<long>(values.size()), values.data());
    w.endObject();
    w.Close();
  }
  KScratchFolder m_folder{"options"};
};

template <class T>
void expectSame(const KDatabaseOptions& a, const KDatabaseOptions& b, bool compareKeys) {
  struct Ctx {
    const KDatabaseOptions* other;
    bool keys;
    long n;
  } ctx{&b, compareKeys, 0};
  a.forEach<T>(
      [](const KOption<T>& r, void* c) {
        auto* x = static_cast<Ctx*>(c);
        const KOption<T>* o = x->other->template find<T>(r.m_name);
        ++x->n;
        ASSERT_NE(o, nullptr) << r.m_name.GetString();
        EXPECT_TRUE(o->m_value == r.m_value) << r.m_name.GetString();
        EXPECT_EQ(o->m_visible, r.m_visible) << r.m_name.GetString();
        if (x->keys) {
          EXPECT_EQ(o->m_keyId, r.m_keyId) << r.m_name.GetString();
        }
      },
      &ctx);
  EXPECT_EQ(ctx.n, b.getCount<T>());
}

void expectSameStores(const KDatabaseOptions& a, const KDatabaseOptions& b, bool keys) {
  expectSame<long>(a, b, keys);
  expectSame<double>(a, b, keys);
  expectSame<KString>(a, b, keys);
  expectSame<bool>(a, b, keys);
}

KString randomText(std::mt19937& rng) {
  static const char kChars[] = "ab \"{}'xyz,;=\\%";
  std::uniform_int_distribution<int> len(0, 12), pick(0, sizeof(kChars) - 2);
  KString s;
  for (int i = len(rng); i > 0; --i) s += kChars[pick(rng)];
  return s;
}

void fillRandom(KDatabaseOptions& s, std::mt19937& rng, bool allStored) {
  std::uniform_int_distribution<int> type(0, 3), coin(0, 1);
  std::uniform_int_distribution<long> number(-2000000000L, 2000000000L);
  std::uniform_real_distribution<double> real(-1e6, 1e6);
  for (int i = 0; i < 60; ++i) {
    KString name;
    name.Format("opt {%d} \"%d\"", i, i * 7);
    bool visible = coin(rng) != 0, stored = allStored || coin(rng) != 0;
    long key = coin(rng) ? number(rng) : 0;
    switch (type(rng)) {
      case 0: s.setInteger(name, number(rng), visible, stored, key); break;
      case 1: s.setDouble(name, coin(rng) ? real(rng) : std::ldexp(real(rng), -900), visible, stored, key); break;
      case 2: s.setString(name, randomText(rng), visible, stored, key); break;
      default: s.setBoolean(name, coin(rng) != 0, visible, stored, key); break;
    }
  }
}
}  // namespace

TEST_F(KOptionsFileTest, RoundTripsBothForms) {
  for (bool binary : {false, true}) {
    KTestStore saved;
    saved.setInteger("neg", -2147483647L - 1, true, true, -5);
    saved.setDouble("exact", 0.1, false, true, 2);
    saved.setDouble("tiny", 4.9e-324, false, true);
    saved.setDouble("none", KNumberText::kUndefined, false, true);
    saved.setString("braces", "a}{b {c} \"quoted\" }", true, true);
    saved.setString("empty", "", false, true);
    saved.setBoolean("off", false, true, true);
    saved.setString("unsaved", "x", false, false);  // not stored: not written
    saved.setMapName(3, "map three");
    writeStore(saved, binary);
    KTestStore loaded;
    EXPECT_FALSE(readStore(loaded));
    EXPECT_TRUE(loaded.m_warnings.empty());
    EXPECT_EQ(loaded.find<KString>("unsaved"), nullptr);
    EXPECT_EQ(loaded.getDouble("exact", 0), 0.1);
    EXPECT_EQ(loaded.getDouble("tiny", 0), 4.9e-324);
    EXPECT_EQ(loaded.getDouble("none", 0), KNumberText::kUndefined);
    EXPECT_EQ(loaded.getString("braces", ""), "a}{b {c} \"quoted\" }");
    EXPECT_EQ(loaded.getMapName(3), "");  // the map names are not read back
    saved.setString("unsaved", "x", false, true);
    loaded.setString("unsaved", "x", false, true);
    expectSameStores(saved, loaded, true);
  }
}

TEST_F(KOptionsFileTest, ExistingRecordsTakeTheFileValues) {
  KDatabaseOptions saved;
  saved.setInteger("n", 5, true, true, 9);
  writeStore(saved, false);
  KDatabaseOptions plain;  // keeps only the options it has
  plain.setInteger("n", 1, false, false);
  plain.setInteger("m", 1, false, false);
  EXPECT_FALSE(readStore(plain));
  const KOption<long>* n = plain.find<long>("n");
  EXPECT_EQ(n->m_value, 5);
  EXPECT_EQ(n->m_defaultValue, 5);
  EXPECT_TRUE(n->m_visible);
  EXPECT_TRUE(n->m_stored);
  EXPECT_EQ(n->m_keyId, 9);
  EXPECT_EQ(plain.getCount<long>(), 2);
}

TEST_F(KOptionsFileTest, EntryTexts) {
  KOption<KString> s;
  s.m_name = "title";
  s.m_value = "say \"hi\"";
  s.m_defaultValue = "";
  s.m_keyId = -3;
  s.m_visible = true;
  EXPECT_EQ(optionEntryText(s), "optS{title}{-3}{\"say \"hi\"\"}{\"\"}{1}");
  KOption<double> r;
  r.m_name = "r";
  r.m_value = -1.5;
  r.m_defaultValue = KNumberText::kUndefined;
  EXPECT_EQ(optionEntryText(r), "optR{r}{0}{-1.5}{N/A}{0}");
  KOption<bool> b;
  b.m_name = "b";
  b.m_value = true;
  EXPECT_EQ(optionEntryText(b), "optB{b}{0}{true}{false}{0}");
}

// Each line of the table: an entry and what it reads as (TYPE NAME KEY VALUE
// DEFAULT VISIBLE with "|" between the fields), "bad NAME" when only the
// name reads, or "bad" when not even that.
TEST_F(KOptionsFileTest, EntryParserTable) {
  const char* root = std::getenv("QUELM_TEST_DATA");
  std::ifstream in(std::string(root ? root : "tests/data") + "/options/entries.txt");
  ASSERT_TRUE(in.good());
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line[0] != '#') lines.push_back(line);
  ASSERT_EQ(lines.size() % 2, 0u);
  int cases = 0;
  for (size_t i = 0; i < lines.size(); i += 2) {
    const std::string& entry = lines[i];
    const std::string& expected = lines[i + 1];
    ++cases;
    KOptionEntry e;
    bool nameRead = false;
    bool ok = parseOptionEntry(entry.data(), entry.size(), e, nameRead);
    if (expected.rfind("bad", 0) == 0) {
      EXPECT_FALSE(ok) << entry;
      std::string name = expected.size() > 4 ? expected.substr(4) : "";
      EXPECT_EQ(nameRead, !name.empty()) << entry;
      if (!name.empty()) {
        EXPECT_EQ(std::string(e.m_name), name) << entry;
      }
      continue;
    }
    ASSERT_TRUE(ok) << entry;
    std::string got = std::string(1, e.m_type) + "|" + e.m_name.GetString() + "|" + std::to_string(e.m_keyId) +
                      "|" + e.m_value.GetString() + "|" + e.m_default.GetString() + "|" + (e.m_visible ? "1" : "0");
    EXPECT_EQ(got, expected) << entry;
  }
  EXPECT_GT(cases, 15);
}

TEST_F(KOptionsFileTest, TwentyUnreadableEntriesAreReportedOneByOne) {
  std::vector<std::string> entries;
  for (int i = 0; i < 20; ++i) entries.push_back("optI{bad" + std::to_string(i) + "}{0}{1.5}{1}{0}");
  entries.push_back("optI{good}{0}{4}{1}{0}");
  writeEntries(entries);
  KTestStore s;
  s.setInteger("bad0", 7, false, false);
  EXPECT_FALSE(readStore(s));
  ASSERT_EQ(s.m_warnings.size(), 20u);
  EXPECT_EQ(s.m_warnings[0],
            "An option named \"bad0\" could not be read from the model file. The default value will be used instead");
  EXPECT_EQ(s.getInteger("bad0", 0), 7);
  EXPECT_EQ(s.getInteger("good", 0), 4);
}

TEST_F(KOptionsFileTest, TheTwentyFirstFailureResetsTheStore) {
  std::vector<std::string> entries = {"optI{first}{0}{1}{1}{0}"};
  for (int i = 0; i < 21; ++i) entries.push_back(i % 2 ? "garbage" : "optB{b" + std::to_string(i) + "}{0}{true}{1}");
  writeEntries(entries);
  KTestStore s;
  EXPECT_TRUE(readStore(s));
  ASSERT_FALSE(s.m_warnings.empty());
  EXPECT_EQ(s.m_warnings.size(), 11u);  // ten named failures, then the final message
  EXPECT_EQ(s.m_warnings.back(),
            "Unable to load options and settings. Default options and settings will be used instead");
  EXPECT_EQ(s.find<long>("first"), nullptr);
  EXPECT_TRUE(s.getBoolean("afterReset", false));
}

TEST_F(KOptionsFileTest, OldFormValuesInTypeOrder) {
  writeOldForm([](KPersistance& w) {
    KString names[] = {"count", "ratio", "title", "flag"};
    w.writeS("KeyID", 4, names);
    int types[] = {1, 2, 3, 4};
    w.writeI32As64("DbType", 4, types);
    bool visible[] = {true, false, true, false};
    w.writeB("Visible", 4, visible);
    LONGLONG ints[] = {12};
    w.writeI64("Integer", 1, ints);
    LONGLONG intFirst[] = {10};
    w.writeI64("IntegerFirstSave", 1, intFirst);
    double reals[] = {0.5};
    w.writeR("Double", 1, reals);
    KString strings[] = {"a \"b\""};
    w.writeS("String", 1, strings);
    bool bools[] = {true};
    w.writeB("Boolean", 1, bools);
    KString maps[32];
    maps[0] = "m0";
    maps[31] = "m31";
    w.writeS("MapName", 32, maps);
  });
  KTestStore s;
  EXPECT_FALSE(readStore(s));
  EXPECT_EQ(s.getInteger("count", 0), 12);
  EXPECT_EQ(s.find<long>("count")->m_firstSaveValue, 10);
  EXPECT_TRUE(s.find<long>("count")->m_visible);
  EXPECT_EQ(s.getDouble("ratio", 0), 0.5);
  EXPECT_EQ(s.find<double>("ratio")->m_firstSaveValue, 0.5);  // no first-save array
  EXPECT_FALSE(s.find<double>("ratio")->m_visible);
  EXPECT_EQ(s.getString("title", ""), "a \"b\"");
  EXPECT_TRUE(s.getBoolean("flag", false));
  EXPECT_EQ(s.getMapName(0), "m0");
  EXPECT_EQ(s.getMapName(31), "m31");
}

TEST_F(KOptionsFileTest, OldFormWithWrongLengthsIsRejected) {
  auto check = [&](int names, int visible, int maps, int values) {
    writeOldForm([&](KPersistance& w) {
      std::vector<KString> n(static_cast<size_t>(names), KString("x"));
      for (int i = 0; i < names; ++i) n[static_cast<size_t>(i)].AppendFormat("%d", i);
      w.writeS("KeyID", names, n.data());
      std::vector<int> types(static_cast<size_t>(names), 1);
      w.writeI32As64("DbType", names, types.data());
      bool flags[8] = {};
      w.writeB("Visible", visible, flags);
      std::vector<LONGLONG> ints(static_cast<size_t>(values), 1);
      w.writeI64("Integer", values, ints.data());
      KString m[40];
      w.writeS("MapName", maps, m);
    });
    KTestStore s;
    bool abandoned = readStore(s);
    EXPECT_TRUE(abandoned || s.m_warnings.empty());
    if (abandoned) {
      EXPECT_EQ(s.m_warnings.back(),
                "Unable to load options and settings. Default options and settings will be used instead");
      EXPECT_TRUE(s.getBoolean("afterReset", false));
      EXPECT_EQ(s.getCount<long>(), 0);
    }
    return abandoned;
  };
  EXPECT_FALSE(check(3, 3, 32, 3));
  EXPECT_TRUE(check(3, 2, 32, 2));   // three names, two visible flags
  EXPECT_TRUE(check(3, 3, 31, 3));   // 31 map names
  EXPECT_TRUE(check(3, 3, 33, 3));
  EXPECT_TRUE(check(2, 2, 32, 3));   // more values than names
}

TEST_F(KOptionsFileTest, AModelWithoutOptionsLeavesTheStore) {
  {
    KTextPersistance w(path().c_str(), true);
    w.beginObject("Other", "o");
    w.endObject();
    w.Close();
  }
  KTestStore s;
  s.setInteger("kept", 3, false, false);
  EXPECT_FALSE(readStore(s));
  EXPECT_EQ(s.getInteger("kept", 0), 3);
}

TEST_F(KOptionsFileTest, ScriptReplayGivesTheSameOptions) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    std::mt19937 rng(seed);
    KDatabaseOptions original;
    fillRandom(original, rng, true);
    struct Replay : KScriptRecorder {
      KDatabaseOptions target;
      void record(int, const KString& command) override { EXPECT_FALSE(replayOptionCommand(command, target)) << command.GetString(); }
    } replay;
    original.generateScript(replay, seed % 2 ? KString("obj \"x\"") : KString(), true);
    expectSameStores(original, replay.target, false);
  }
}

TEST_F(KOptionsFileTest, RandomStoresRoundTripThroughModelFiles) {
  for (unsigned seed = 1; seed <= 10; ++seed) {
    std::mt19937 rng(seed);
    KTestStore original;
    fillRandom(original, rng, true);
    writeStore(original, seed % 2 == 0);
    KTestStore loaded;
    EXPECT_FALSE(readStore(loaded));
    expectSameStores(original, loaded, true);
  }
}

TEST(KDatabaseOptionsRegistryTest, DefaultsComeFromTheUserKey) {
  KScratchFolder folder("optreg");
  const char* saved = getenv("QUELM_REGISTRY_DIR");
  std::string previous = saved ? saved : "";
  setenv("QUELM_REGISTRY_DIR", folder.path().c_str(), 1);
  {
    KDatabaseOptions untouched;
    untouched.loadRegistryDefaults();  // no keys at all
    EXPECT_EQ(untouched.getCount<long>(), 0);

    const char text[] = "hello";
    KWriteRegistryValue(HKEY_CURRENT_USER, "stringX", "greeting", REG_SZ, text, sizeof(text));
    KWriteRegistryDword(HKEY_CURRENT_USER, "intX", "count", static_cast<DWORD>(-7));
    KWriteRegistryValue(HKEY_CURRENT_USER, "intX", "asText", REG_SZ, "12", 3);
    KWriteRegistryValue(HKEY_CURRENT_USER, "intX", "notNumber", REG_SZ, "1x", 3);
    KWriteRegistryDword(HKEY_CURRENT_USER, "booleanX", "on", 1);
    KWriteRegistryValue(HKEY_CURRENT_USER, "booleanX", "textOn", REG_SZ, "true", 5);
    KWriteRegistryValue(HKEY_CURRENT_USER, "realX", "tol", REG_SZ, "2.5e-3", 7);
    KWriteRegistryValue(HKEY_CURRENT_USER, "realX", "broken", REG_SZ, "2,5", 4);
    KWriteRegistryDword(HKEY_CURRENT_USER, "int", "otherSuffix", 1);

    KDatabaseOptions s("X");
    s.loadRegistryDefaults();
    EXPECT_EQ(s.getString("greeting", ""), "hello");
    EXPECT_EQ(s.getInteger("count", 0), -7);
    EXPECT_EQ(s.getInteger("asText", 0), 12);
    EXPECT_EQ(s.find<long>("notNumber"), nullptr);
    EXPECT_TRUE(s.getBoolean("on", false));
    EXPECT_TRUE(s.getBoolean("textOn", false));
    EXPECT_EQ(s.getDouble("tol", 0), 2.5e-3);
    EXPECT_EQ(s.find<double>("broken"), nullptr);
    EXPECT_EQ(s.find<long>("otherSuffix"), nullptr);
    EXPECT_FALSE(s.find<long>("count")->m_stored);
  }
  if (previous.empty()) unsetenv("QUELM_REGISTRY_DIR");
  else setenv("QUELM_REGISTRY_DIR", previous.c_str(), 1);
}
