// The workbench's logic without windows: the entry field in unit sets, the
// object-file browser and its copies in both forms, the options list.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <ostream>

#include "containers/memory/KMemoryAllocator.h"
#include "containers/options/KLibraryOptions.h"
#include "core/application/KApplicationAbstract.h"
#include "host/KObjectFileBrowser.h"
#include "host/KLibraryCachedOptions.h"
#include "host/KWorkbenchEntry.h"
#include "host/KWorkbenchOptions.h"
#include "model/options/KDatabaseOptions.h"
#include "model/units/KConsistentUnits.h"
#include "storage/objectfile/KBinaryPersistance.h"
#include "storage/objectfile/KObjectFileWalker.h"
#include "storage/objectfile/KTextPersistance.h"
#include "tests/host/KWorkbenchTestSupport.h"
#include "tests/support/KScratchFolder.h"

namespace {
struct Row {
  int depth;
  char tag;
  std::string kind, name;
  long count;
  std::string values;
  bool operator==(const Row&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const Row& r) {
    return out << r.depth << ' ' << r.tag << " [" << r.kind << "] [" << r.name << "] " << r.count << " [" << r.values
               << ']';
  }
};
std::vector<Row> rowsOf(const KObjectFileBrowser& b) {
  std::vector<Row> out;
  for (const KObjectFileRow& r : b.rows())
    out.push_back({r.depth, r.tag, r.kind.GetString(), r.name.GetString(), r.count, r.values.GetString()});
  return out;
}
}  // namespace

class KWorkbenchEntryTest : public testing::Test {
 protected:
  KWorkbenchTestApp m_app;
  KWorkbenchEntry m_entry{m_app.m_units};
};

TEST_F(KWorkbenchEntryTest, UnitNamesGiveLengthsInTheCurrentSet) {
  KWorkbenchResult r = m_entry.evaluate("1*ft + 2*in");
  ASSERT_FALSE(r.failed) << r.text.GetString();
  EXPECT_NEAR(r.value, 0.3556, 1e-12);
  EXPECT_STREQ(r.text, "0.3556");
  EXPECT_STREQ(r.unit, "m");
  EXPECT_STREQ(r.screenText, "355.6");
  m_app.m_options.setBoolean("screenUnitsUS", true, false, false);
  EXPECT_STREQ(m_entry.evaluate("1*ft + 2*in").screenText, "14");
  m_app.m_options.setBoolean("screenUnitsUS", false, false, false);

  KString error;
  ASSERT_FALSE(m_entry.setUnits("N,mm,kg,s,C", error)) << error.GetString();
  r = m_entry.evaluate("1*ft + 2*in");
  EXPECT_NEAR(r.value, 355.6, 1e-9);
  EXPECT_STREQ(r.unit, "mm");

  ASSERT_FALSE(m_entry.setUnits("lbf,ft,lb,s,F", error));
  EXPECT_STREQ(m_entry.unitsName(), "lbf,ft,lb,s,F");
  r = m_entry.evaluate("1*ft + 2*in");
  EXPECT_NEAR(r.value, 14.0 / 12.0, 1e-12);
  m_app.m_options.setBoolean("feetInchesFormat", true, false, false);
  r = m_entry.evaluate("1*ft + 2*in");
  EXPECT_STREQ(r.text, "1' 2\"");
  // A feet set reads feet and inches directly.
  r = m_entry.evaluate("2'6\"");
  EXPECT_NEAR(r.value, 2.5, 1e-12);
  // The cached option outlives this test's store: give it its built-in value back.
  m_app.m_options.setBoolean("feetInchesFormat", false, false, false);
  m_entry.evaluate("0");
}

TEST_F(KWorkbenchEntryTest, FailuresKeepTheSetAndTheValue) {
  KString error;
  EXPECT_TRUE(m_entry.setUnits("N,furlong,kg,s,C", error));
  EXPECT_NE(error.Find("furlong"), -1) << error.GetString();
  EXPECT_STREQ(m_entry.unitsName(), "N,m,kg,s,C");

  ASSERT_FALSE(m_entry.evaluate("3*m").failed);
  KWorkbenchResult r = m_entry.evaluate("2*furlong");
  EXPECT_TRUE(r.failed);
  EXPECT_NE(r.text.Find("furlong"), -1) << r.text.GetString();
  // The field still holds 3: its own text reads as unchanged.
  r = m_entry.evaluate("3");
  EXPECT_DOUBLE_EQ(r.value, 3.0);
  // No value at all is shown as such, in both units.
  r = m_entry.evaluate("N/A");
  EXPECT_FALSE(r.failed);
  EXPECT_STREQ(r.text, "N/A");
  EXPECT_STREQ(r.screenText, "N/A");
}

TEST_F(KWorkbenchEntryTest, AUnitNameAfterANumberMultipliesIt) {
  const std::pair<const char*, const char*> cases[] = {
      {"1 ft + 2 in", "1*ft + 2*in"}, {"3mm", "3*mm"},          {"1.5e-3 m", "1.5e-3*m"},
      {"abs(2  yd)", "abs(2*yd)"},     {"2 min", "2 min"},       {"x2 mm", "x2 mm"},
      {"2 furlong", "2 furlong"},      {"5'6\"", "5'6\""},       {"2e m", "2e m"},
      {"1 mil*2", "1*mil*2"},
  };
  for (const auto& [text, joined] : cases) EXPECT_STREQ(KWorkbenchEntry::joinUnitNames(text), joined) << text;
  KWorkbenchResult r = m_entry.evaluate("1 ft + 2 in");
  ASSERT_FALSE(r.failed) << r.text.GetString();
  EXPECT_NEAR(r.value, 0.3556, 1e-12);
}

TEST_F(KWorkbenchEntryTest, OwnNamesWinOverUnitNames) {
  m_entry.setValue("ft", 2.0);
  KWorkbenchResult r = m_entry.evaluate("5*ft");
  EXPECT_DOUBLE_EQ(r.value, 10.0);
}

class KObjectFileBrowserTest : public testing::Test {
 protected:
  KWorkbenchTestApp m_app;
  KScratchFolder m_folder{"workbench"};
  std::string m_text = m_folder.file("sample.txt");
  void SetUp() override {
    KTextPersistance out(m_text.c_str(), true, 3);
    writeWorkbenchSample(out);
  }
};

TEST_F(KObjectFileBrowserTest, RowsListObjectsAndAttributesInFileOrder) {
  KObjectFileBrowser browser;
  KString error;
  ASSERT_FALSE(browser.open(m_text.c_str(), error)) << error.GetString();
  EXPECT_TRUE(browser.isText());
  EXPECT_FALSE(browser.truncated());
  EXPECT_EQ(browser.objectCount(), 3);
  std::vector<Row> expected = {
      {0, 'O', "Model", "beam", 0, ""},
      {1, 'R', "real", "reals", 10, "0.0 0.5 1 1.5 2 2.5 3 3.5 ..."},
      {1, 'S', "string", "names", 2, "\"alpha\" \"with blank\""},
      {1, 'O', "#12.0", "#40.2", 0, ""},  // a type keeps no instance number
      {2, 'I', "integer", "case", 1, "-4"},
      {0, 'O', "Load", "wind", 0, ""},
      {1, 'B', "boolean", "active", 1, "T"},
  };
  EXPECT_EQ(rowsOf(browser), expected);
}

TEST_F(KObjectFileBrowserTest, ACopyInTheOtherFormReadsBackEqual) {
  KObjectFileBrowser browser;
  KString error;
  ASSERT_FALSE(browser.open(m_text.c_str(), error));
  const std::string binary = m_folder.file("copy.bin"), text = m_folder.file("copy.txt");
  ASSERT_FALSE(browser.saveCopy(binary.c_str(), false, error)) << error.GetString();
  KObjectFileBrowser copy;
  ASSERT_FALSE(copy.open(binary.c_str(), error));
  EXPECT_FALSE(copy.isText());
  EXPECT_EQ(rowsOf(copy), rowsOf(browser));
  {
    KObjectFileWalker walker(binary.c_str());
    EXPECT_EQ(walker.getHeaderField(kHdrApplication), 7);
    EXPECT_EQ(walker.getHeaderField(kHdrMode), 2);
    EXPECT_EQ(walker.getHeaderField(kHdrLevel), 3);
  }
  // And back from binary to text.
  ASSERT_FALSE(copy.saveCopy(text.c_str(), true, error));
  KObjectFileBrowser back;
  ASSERT_FALSE(back.open(text.c_str(), error));
  EXPECT_TRUE(back.isText());
  EXPECT_EQ(rowsOf(back), rowsOf(browser));
}

TEST_F(KObjectFileBrowserTest, FailuresNameTheFileAndKeepWhatWasThere) {
  KObjectFileBrowser browser;
  KString error;
  EXPECT_TRUE(browser.saveCopy(m_folder.file("x").c_str(), true, error));  // nothing open
  m_folder.write("bad.txt", "not an object file");
  ASSERT_FALSE(browser.open(m_text.c_str(), error));
  const size_t rows = browser.rows().size();
  EXPECT_TRUE(browser.open(m_folder.file("bad.txt").c_str(), error));
  EXPECT_NE(error.Find("cannot read"), -1) << error.GetString();
  EXPECT_NE(error.Find("bad.txt"), -1);
  EXPECT_EQ(browser.rows().size(), rows);
  EXPECT_STREQ(browser.path(), m_text.c_str());

  // A copy into a missing folder fails naming the target.
  const std::string target = m_folder.file("none/copy.txt");
  EXPECT_TRUE(browser.saveCopy(target.c_str(), true, error));
  EXPECT_NE(error.Find("cannot write"), -1) << error.GetString();
  // A source gone since it was opened: the existing target stays as it was.
  m_folder.write("kept.txt", "old");
  std::remove(m_text.c_str());
  EXPECT_TRUE(browser.saveCopy(m_folder.file("kept.txt").c_str(), false, error));
  EXPECT_NE(error.Find("cannot read"), -1) << error.GetString();
  EXPECT_EQ(m_folder.read("kept.txt"), "old");
}

TEST_F(KObjectFileBrowserTest, RowsStopAtTheLimit) {
  const std::string big = m_folder.file("big.bin");
  {
    KBinaryPersistance out(big.c_str(), true, 1);
    for (long i = 0; i <= KObjectFileBrowser::kRowLimit / 2; ++i) {
      out.beginObject("Node", "n");
      out.writeInt("id", i);
      out.endObject();
    }
    out.Close();
  }
  KObjectFileBrowser browser;
  KString error;
  ASSERT_FALSE(browser.open(big.c_str(), error)) << error.GetString();
  EXPECT_EQ(static_cast<long>(browser.rows().size()), KObjectFileBrowser::kRowLimit);
  EXPECT_TRUE(browser.truncated());
  EXPECT_EQ(browser.objectCount(), KObjectFileBrowser::kRowLimit / 2 + 1);
}

TEST(KWorkbenchOptionsTest, BuiltInValuesAreTheLibrarys) {
  KWorkbenchTestApp app;
  std::map<std::string, std::string> library = {
      {"exprDebug", exprDebugOption().value() ? "true" : "false"},
      {"screenUnitsUS", screenUnitsUSOption().value() ? "true" : "false"},
      {"feetInchesFormat", feetInchesFormatOption().value() ? "true" : "false"},
      {"oldEMinus3Format", oldEMinus3FormatOption().value() ? "true" : "false"},
      {"catchOnInitDialogException", catchOnInitDialogExceptionOption().value() ? "true" : "false"},
      {"V147filenames", v147FilenamesOption().value() ? "true" : "false"},
      {"slowFrugalMemoryMode", KMemoryAllocator::slowFrugalMemoryModeOption().value() ? "true" : "false"},
      {"removeEmptyBlocks", KMemoryAllocator::removeEmptyBlocksOption().value() ? "true" : "false"},
      {"debugAllocList", std::to_string(KMemoryAllocator::debugAllocListOption().value())},
      {"maxBlockSize", std::to_string(KMemoryAllocator::maxBlockSizeOption().value())},
      {"maxSphByCsize", std::to_string(maxSphByCsizeOption().value())},
  };
  std::map<std::string, double> reals = {
      {"matrixDetTol", matrixDetTolOption().value()},   {"matInvertTol", matInvertTolOption().value()},
      {"singularMatrixTol", singularMatrixTolOption().value()}, {"minPerpTolDist", minPerpTolDistOption().value()},
      {"intersectTol", intersectTolOption().value()},   {"point3Tol", point3TolOption().value()},
  };
  std::vector<KWorkbenchOptionRow> rows = KListApplicationOptions(app, &app.m_options);
  ASSERT_EQ(static_cast<int>(rows.size()), kLibraryCachedOptionCount);
  for (const KWorkbenchOptionRow& row : rows) {
    EXPECT_FALSE(row.modified) << row.name.GetString();
    if (row.type == "real") EXPECT_EQ(std::stod(row.value.GetString()), reals.at(row.name.GetString()));
    else EXPECT_EQ(row.value.GetString(), library.at(row.name.GetString())) << row.name.GetString();
  }
}

TEST(KWorkbenchOptionsTest, ModifiedFollowsTheBuiltInAndTheFirstSaveValue) {
  KWorkbenchTestApp app;
  KDatabaseOptions& store = app.m_options;
  store.setBoolean("screenUnitsUS", true, false, false);
  store.setInteger("maxSphByCsize", 100, false, false);  // set, but to the built-in value
  store.setDouble("point3Tol", 0.001, false, false);
  store.setString("title", "first", true);
  store.setInteger("count", 1, true);
  store.setInteger("count", 2, true);
  std::map<std::string, KWorkbenchOptionRow> byName;
  for (const KWorkbenchOptionRow& row : KListApplicationOptions(app, &store)) byName[row.name.GetString()] = row;
  EXPECT_TRUE(byName.at("screenUnitsUS").modified);
  EXPECT_STREQ(byName.at("screenUnitsUS").value, "true");
  EXPECT_FALSE(byName.at("maxSphByCsize").modified);
  EXPECT_TRUE(byName.at("point3Tol").modified);
  EXPECT_STREQ(byName.at("point3Tol").value, "1E-3");
  EXPECT_FALSE(byName.at("title").modified);
  EXPECT_STREQ(byName.at("title").type, "string");
  EXPECT_TRUE(byName.at("count").modified);
  EXPECT_STREQ(byName.at("count").value, "2");
  EXPECT_EQ(byName.size(), static_cast<size_t>(kLibraryCachedOptionCount) + 2);
}
