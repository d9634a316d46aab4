#include "storage/tables/KEnumTables.h"

#include "platform/KResources.h"
#include "resources/KResourceAttach.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {
// The tables load their texts on first use: attach the two English libraries
// before any test runs.
const bool g_attached = (InitMFCExtension(), InitMFCExtension2(), true);

struct Row {
  long value;
  std::string fixed;
  long id;
  std::string resource;
};

template <class E>
std::vector<Row> rowsOf() {
  KEnumTrpl<E>* table = nullptr;
  long count = -1;
  getTripleArray(table, count);
  std::vector<Row> rows;
  for (long i = 0; i < count; ++i)
    rows.push_back({static_cast<long>(table[i].getEnumVal()), table[i].getHardStr().str(), table[i].getResId(),
                    table[i].getResStr().str()});
  return rows;
}

const std::map<std::string, std::function<std::vector<Row>()>>& allTables() {
  static const std::map<std::string, std::function<std::vector<Row>()>> tables = {
      {"KEnum::InheritAttrType", rowsOf<KEnum::InheritAttrType>},
      {"KEnum::LinesLabelAxis", rowsOf<KEnum::LinesLabelAxis>},
      {"KEnum::SurfacesLabelAxis", rowsOf<KEnum::SurfacesLabelAxis>},
      {"KSharedEnums::KSharedEnum::LoadcaseType", rowsOf<KSharedEnums::KSharedEnum::LoadcaseType>},
      {"KEnum::LocalCoordsSubType", rowsOf<KEnum::LocalCoordsSubType>},
      {"MiscEnums", rowsOf<MiscEnums>},
      {"KEnum::ModelObjects", rowsOf<KEnum::ModelObjects>},
      {"KEnum::ModelSection", rowsOf<KEnum::ModelSection>},
      {"KEnum::ProjectionType", rowsOf<KEnum::ProjectionType>},
      {"KEnum::TreeItemType", rowsOf<KEnum::TreeItemType>},
      {"KEnum::mergeOptions", rowsOf<KEnum::mergeOptions>},
      {"KEnum::toolBarId", rowsOf<KEnum::toolBarId>},
      {"KSharedEnums::KSharedEnum::timescale", rowsOf<KSharedEnums::KSharedEnum::timescale>},
      {"KEnum::ModellerType", rowsOf<KEnum::ModellerType>},
      {"KEnum::ProductOption", rowsOf<KEnum::ProductOption>},
  };
  return tables;
}
}  // namespace

// Every row of every table against tests/data/enumtables/rows.txt, in order.
TEST(KEnumTablesTest, EveryTableHoldsItsRowsInOrder) {
  ASSERT_TRUE(g_attached);
  const char* dir = getenv("QUELM_TEST_DATA");
  ASSERT_NE(dir, nullptr);
  std::ifstream in(std::string(dir) + "/enumtables/rows.txt");
  ASSERT_TRUE(in) << "row table missing";
  std::map<std::string, std::vector<Row>> expected;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::stringstream parts(line);
    for (std::string f; std::getline(parts, f, '|');) fields.push_back(f);
    if (line.back() == '|') fields.push_back("");
    ASSERT_EQ(fields.size(), 5u) << line;
    expected[fields[0]].push_back({std::stol(fields[1]), fields[2], std::stol(fields[3]), fields[4]});
  }
  ASSERT_EQ(expected.size(), allTables().size());
  for (const auto& [name, table] : allTables()) {
    SCOPED_TRACE(name);
    std::vector<Row> got = table();
    const std::vector<Row>& want = expected[name];
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
      SCOPED_TRACE(want[i].fixed);
      EXPECT_EQ(got[i].value, want[i].value);
      EXPECT_EQ(got[i].fixed, want[i].fixed);
      EXPECT_EQ(got[i].id, want[i].id);
      if (want[i].resource == "*")
        EXPECT_FALSE(got[i].resource.empty());  // a companion-library text
      else
        EXPECT_EQ(got[i].resource, want[i].resource);
    }
  }
}

TEST(KEnumTablesTest, MergeOptionsComeInTableOrderNotValueOrder) {
  KEnumTrpl<KEnum::mergeOptions>* table = nullptr;
  long count = 0;
  getTripleArray(table, count);
  ASSERT_EQ(count, 4);
  const char* names[] = {"Off", "Exact", "Wild", "Ignore"};
  const long values[] = {0, 2, 3, 1};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(table[i].getHardStr(), names[i]);
    EXPECT_EQ(static_cast<long>(table[i].getEnumVal()), values[i]);
  }
  KEnumTrpl<KEnum::mergeOptions>* again = nullptr;
  getTripleArray(again, count);
  EXPECT_EQ(again, table);  // built once
}

TEST(KEnumTablesTest, LookupsFindTheFirstMatchingRow) {
  KEnumTrpl<KSharedEnums::KSharedEnum::LoadcaseType>* loadcases = nullptr;
  long count = 0;
  getTripleArray(loadcases, count);
  const auto* tuning = findEnumTrplByHardStr(loadcases, count, "cable tuning");
  ASSERT_NE(tuning, nullptr);
  EXPECT_EQ(tuning->getEnumVal(), KSharedEnums::KSharedEnum::LoadcaseType::CableTuning);
  EXPECT_EQ(findEnumTrplByHardStr(loadcases, count, "table loadcurve")->getEnumVal(),
            KSharedEnums::KSharedEnum::LoadcaseType::TableLoadcurve);
  EXPECT_EQ(findEnumTrplByHardStr(loadcases, count, "Cable Tuning"), nullptr);
  EXPECT_EQ(findEnumTrplByValue(loadcases, count, KSharedEnums::KSharedEnum::LoadcaseType::CableTuningTargets)
                ->getHardStr(),
            "cable tuning");

  KEnumTrpl<MiscEnums>* kinds = nullptr;
  getTripleArray(kinds, count);
  EXPECT_EQ(findEnumTrplByHardStr(kinds, count, "None")->getEnumVal(), MiscEnums::NoKind);
  EXPECT_EQ(findEnumTrplByValue(kinds, count, static_cast<MiscEnums>(25)), nullptr);
}

TEST(KEnumTablesTest, RowsWithoutResourceTextKeepTheirFixedText) {
  KEnumTrpl<KEnum::ModelSection>* sections = nullptr;
  long count = 0;
  getTripleArray(sections, count);
  const auto* results = findEnumTrplByValue(sections, count, KEnum::ModelSection::Results);
  ASSERT_NE(results, nullptr);
  EXPECT_EQ(results->getResId(), -1);
  EXPECT_EQ(results->getResStr(), "");
  EXPECT_EQ(results->getHardStr(), "Results");

  // An identifier that no library holds: empty resource text.
  KEnumTrpl<KEnum::ModelSection> missing(KEnum::ModelSection::Memory, "Memory", 9);
  EXPECT_EQ(missing.getResStr(), "");
  EXPECT_EQ(missing.getHardStr(), "Memory");
  // Identifier 0 is loaded but never answered.
  static const KStringTableEntry zero[] = {{0, "zero"}};
  AfxSetProgramStrings(zero, 1);
  KEnumTrpl<KEnum::ModelSection> nought(KEnum::ModelSection::All, "All", 0);
  AfxSetProgramStrings(nullptr, 0);
  EXPECT_EQ(nought.getResStr(), "");
  KEnumTrpl<KEnum::ModelSection> copy = missing;
  copy = *results;
  EXPECT_EQ(copy.getHardStr(), "Results");
  EXPECT_EQ(copy.getResId(), -1);
}
