#include "platform/KRegFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

struct ParseCase {
  std::string name;
  std::string input;
  bool ok = true;
  std::string expected;
};

std::string joinLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\n";
  return out;
}

// Reads the table of "=== name / input / --- ok|error / expected" cases.
std::vector<ParseCase> loadCases(const std::string& file) {
  std::ifstream in(file);
  std::vector<ParseCase> cases;
  std::vector<std::string> input, expected;
  bool inExpected = false;
  auto flush = [&] {
    if (cases.empty()) return;
    cases.back().input = joinLines(input);
    cases.back().expected = joinLines(expected);
    if (!cases.back().ok && !cases.back().expected.empty()) cases.back().expected.pop_back();
  };
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("=== ", 0) == 0) {
      flush();
      cases.emplace_back();
      cases.back().name = line.substr(4);
      input.clear();
      expected.clear();
      inExpected = false;
    } else if (cases.empty()) {
      continue;  // heading comments
    } else if (line == "--- ok" || line == "--- error") {
      inExpected = true;
      cases.back().ok = line == "--- ok";
    } else {
      (inExpected ? expected : input).push_back(line);
    }
  }
  flush();
  return cases;
}

KRegModel parseOk(std::string_view text) {
  KRegModel m;
  KString error;
  EXPECT_FALSE(KRegFile::parse(text, m, error)) << error.GetString();
  return m;
}

std::string parseError(std::string_view text) {
  KRegModel m;
  KString error;
  EXPECT_TRUE(KRegFile::parse(text, m, error));
  EXPECT_TRUE(m.empty());
  return error.str();
}

}  // namespace

TEST(KRegFileTest, TableOfParseCases) {
  const char* dir = getenv("QUELM_TEST_DATA");
  std::string base = dir ? dir : "tests/data";
  std::vector<ParseCase> cases = loadCases(base + "/regfile/parse_cases.txt");
  ASSERT_GE(cases.size(), 20u);
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.name);
    KRegModel m;
    KString error;
    bool failed = KRegFile::parse(c.input, m, error);
    if (c.ok) {
      ASSERT_FALSE(failed) << error.GetString();
      EXPECT_EQ(KRegFile::write(m).str(), c.expected);
      KRegModel again;
      ASSERT_FALSE(KRegFile::parse(KRegFile::write(m).str(), again, error));
      EXPECT_TRUE(again.sameAs(m));
    } else {
      EXPECT_TRUE(failed);
      EXPECT_EQ(error.str(), c.expected);
    }
  }
}

TEST(KRegFileTest, ByteOrderMarkAndCrLfAreAccepted) {
  KRegModel m = parseOk("\xEF\xBB\xBFREGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"y\"\r\n\"h\"=hex:01,\\\r\n  02\r\n");
  const KRegModel::Key* k = m.findKey("HKEY_CURRENT_USER\\A");
  ASSERT_NE(k, nullptr);
  ASSERT_EQ(k->values.size(), 2u);
  EXPECT_EQ(k->values[0].data, std::string("y\0", 2));
  EXPECT_EQ(k->values[1].data, std::string("\x01\x02"));
}

TEST(KRegFileTest, RootIsEnforcedWhenGiven) {
  KRegModel m;
  KString error;
  EXPECT_TRUE(KRegFile::parse("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n", m, error, "HKEY_CURRENT_USER"));
  EXPECT_EQ(error, "line 2: key lies outside this store's root");
  EXPECT_FALSE(KRegFile::parse("REGEDIT4\n[hkey_current_user\\A]\n", m, error, "HKEY_CURRENT_USER"));
}

TEST(KRegFileTest, OverlongLinesParseWhole) {
  std::string big(200000, 'x');
  KRegModel m = parseOk("REGEDIT4\n[HKEY_CURRENT_USER]\n\"v\"=\"" + big + "\"\n");
  EXPECT_EQ(m.findKey("HKEY_CURRENT_USER")->findValue("v")->data.size(), big.size() + 1);
}

TEST(KRegFileTest, LimitsAreEnforced) {
  std::string longName(256, 'k');
  EXPECT_EQ(parseError("REGEDIT4\n[HKEY_CURRENT_USER\\" + longName + "]\n"), "line 2: key name longer than 255 bytes");
  std::string deep = "HKEY_CURRENT_USER";
  for (int i = 0; i < 512; ++i) deep += "\\a";
  EXPECT_EQ(parseError("REGEDIT4\n[" + deep + "]\n"), "line 2: key path deeper than 512 levels");
  std::string wide = "HKEY_CURRENT_USER";
  for (int i = 0; i < 20; ++i) wide += "\\" + std::string(250, 'w');
  EXPECT_EQ(parseError("REGEDIT4\n[" + wide + "]\n"), "line 2: key path longer than 4096 bytes");
  EXPECT_EQ(parseError("REGEDIT4\n[HKEY_CURRENT_USER\\a\tb]\n"), "line 2: key name holds a control character");
  EXPECT_EQ(parseError("REGEDIT4\n[HKEY_CURRENT_USER]\n\"" + std::string(16384, 'n') + "\"=\"\"\n"),
            "line 3: value name longer than 16383 bytes");
  std::string hex = "REGEDIT4\n[HKEY_CURRENT_USER]\n\"h\"=hex:";
  for (size_t i = 0; i <= KREG_MAX_DATA; ++i) hex += "00,";
  EXPECT_EQ(parseError(hex + "\n"), "line 3: value data longer than 1 MiB");
}

TEST(KRegFileTest, WriterWrapsLongHexListsAndReadsThemBack) {
  KRegModel m;
  std::string data;
  for (int i = 0; i < 300; ++i) data += static_cast<char>(i);
  m.addKey("HKEY_CURRENT_USER\\K").setValue("Blob", 3, data);
  m.addKey("HKEY_CURRENT_USER\\K").setValue("Multi", 7, data);
  std::string text = KRegFile::write(m).str();
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) EXPECT_LE(line.size(), 80u) << line;
  EXPECT_TRUE(parseOk(text).sameAs(m));
}

// Lines break after the comma that passes column 74, so a 30-byte default
// value fills its first line to 76 characters ("@=hex:" and 23 bytes, the
// last comma and the backslash).
TEST(KRegFileTest, HexListsWrapAtTheirFixedColumn) {
  KRegModel m;
  std::string data;
  for (int i = 0; i < 30; ++i) data += static_cast<char>(0xA0 + i);
  m.addKey("HKEY_CURRENT_USER\\K").setValue("", 3, data);
  std::string text = KRegFile::write(m).str();
  size_t start = text.find("@=hex:");
  ASSERT_NE(start, std::string::npos) << text;
  std::string first = text.substr(start, text.find('\n', start) - start);
  EXPECT_EQ(first.size(), 76u) << first;
  EXPECT_EQ(first.substr(first.size() - 4), "b6,\\");
  std::string second = text.substr(start + first.size() + 1);
  EXPECT_EQ(second.substr(0, second.find('\n')), "  b7,b8,b9,ba,bb,bc,bd");
  EXPECT_TRUE(parseOk(text).sameAs(m));
}

// Names ignore the case of every ASCII letter, the ends of the alphabet too.
TEST(KRegFileTest, NamesDifferingInTheCaseOfAOrZAreOne) {
  KRegModel m;
  KRegModel::Key& k = m.addKey("HKEY_CURRENT_USER\\Zone\\Area");
  EXPECT_EQ(m.findKey("HKEY_CURRENT_USER\\zone\\area"), &k);
  EXPECT_EQ(&m.addKey("hkey_current_user\\ZONE\\AREA"), &k);
  k.setValue("Z", 4, "1234");
  k.setValue("a", 4, "5678");
  EXPECT_NE(k.findValue("z"), nullptr);
  EXPECT_NE(k.findValue("A"), nullptr);
  k.setValue("z", 4, "9999");
  EXPECT_EQ(k.values.size(), 2u);
  EXPECT_EQ(k.findValue("Z")->data, "9999");
}

TEST(KRegFileTest, ArbitraryBytesInNamesAndStringsRoundTrip) {
  KRegModel m;
  KRegModel::Key& k = m.addKey("HKEY_CURRENT_USER\\\xC3\xA9t\xC3\xA9]");
  k.setValue(std::string("tab\there\rcr\"q\\", 14), 1, std::string("\xFF\x01 \"\\\0", 6));
  k.setValue("crlf", 1, std::string("a\r\nb\0", 5));
  k.setValue("", 5, "");
  EXPECT_TRUE(parseOk(KRegFile::write(m).str()).sameAs(m));
}

TEST(KRegFileTest, ModelKeepsAncestorsBeforeChildrenAndRefusesToOrphan) {
  KRegModel m;
  m.addKey("HKEY_CURRENT_USER\\A\\B\\C");
  ASSERT_EQ(m.keys().size(), 4u);
  EXPECT_EQ(m.keys()[1]->path, "HKEY_CURRENT_USER\\A");
  EXPECT_FALSE(m.removeKey("hkey_current_user\\a\\b"));
  EXPECT_TRUE(m.removeKey("HKEY_CURRENT_USER\\A\\B\\c"));
  EXPECT_TRUE(m.removeKey("HKEY_CURRENT_USER\\A\\B"));
  EXPECT_EQ(m.subkeyNames("HKEY_CURRENT_USER"), std::vector<std::string>{"A"});
  EXPECT_FALSE(m.hasSubkeys("HKEY_CURRENT_USER\\A"));
}

TEST(KRegFileTest, RemovingAValueKeepsTheOthersFindable) {
  KRegModel m;
  KRegModel::Key& k = m.addKey("HKEY_CURRENT_USER");
  for (const char* n : {"a", "b", "c"}) k.setValue(n, 1, "x");
  EXPECT_TRUE(k.removeValue("A"));
  EXPECT_FALSE(k.removeValue("a"));
  ASSERT_NE(k.findValue("C"), nullptr);
  EXPECT_EQ(k.findValue("C")->name, "c");
}
