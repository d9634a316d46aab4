// Runs the expression conformance table (tests/data/expr/conformance.txt):
// every line is parsed and evaluated against a fixed set of named values and
// compared with its expected value or message identifier.
#include "numerics/expr/KExpr.h"
#include "numerics/expr/KExprConformanceValues.h"
#include "platform/KResources.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace {
// Message texts that carry their identifier, so a failure names its cause.
const KStringTableEntry kTaggedMessages[] = {
    {10597, "#10597:%s"}, {10707, "#10707:%s"}, {12041, "#12041:%s"}, {12451, "#12451:%s"},
    {12517, "#12517:%s"}, {14110, "#14110:%s"}, {14112, "#14112:%s"}, {14375, "#14375:%s"},
    {15834, "#15834:%s"}, {24701, "#24701:%s"}, {61200, "#61200:%s"}, {61201, "#61201:%s"}};

struct Outcome {
  bool failed = false;
  double value = 0.0;
  KString message;
};

class Harness {
 public:
  Outcome run(const KString& text, char mode) {
    Outcome out;
    const int lengthMode = mode == 'f' ? 1 : mode == 'i' ? 2 : 0;
    KExpr root(mode == 'u');
    try {
      root.parse(text, mode == 'u', lengthMode);
    } catch (const KExprException& e) {
      out.failed = true;
      out.message = e.m_message;
      return out;
    }
    out.failed = root.evaluate(m_named.get(), &out.value, out.message);
    return out;
  }

 private:
  KExprConformanceValues m_named;
};

bool sameNumber(double got, const std::string& expected) {
  if (expected == "nan") return std::isnan(got);
  if (expected == "inf") return got == HUGE_VAL;
  if (expected == "-inf") return got == -HUGE_VAL;
  double want = strtod(expected.c_str(), nullptr);
  if (want == got) return true;
  return std::fabs(got - want) <= 1e-12 * std::max(std::fabs(want), 1e-300);
}
}  // namespace

TEST(KExprConformanceTest, TableOfExpressions) {
  const char* dir = getenv("QUELM_TEST_DATA");
  ASSERT_NE(dir, nullptr);
  std::ifstream in(std::string(dir) + "/expr/conformance.txt");
  ASSERT_TRUE(in) << "conformance table missing";

  AfxSetProgramStrings(kTaggedMessages, static_cast<int>(std::size(kTaggedMessages)));
  // Mode u reads numbers and call arguments by the user's locale: German
  // conventions give the decimal point "," and the list separator ";".
  std::string oldLcAll = getenv("LC_ALL") ? getenv("LC_ALL") : "";
  setenv("LC_ALL", "de_DE.UTF-8", 1);
  Harness h;
  std::string line;
  int cases = 0, lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (line.empty() || line[0] == '#') continue;
    size_t arrow = line.rfind(" => ");
    ASSERT_NE(arrow, std::string::npos) << "line " << lineNo;
    const char mode = line[0];
    const std::string text = line.size() > 2 ? line.substr(2, arrow - 2) : std::string();
    const std::string expected = line.substr(arrow + 4);
    Outcome got = h.run(KString(text), mode);
    ++cases;
    SCOPED_TRACE("line " + std::to_string(lineNo) + ": " + text);
    if (expected[0] == '!') {
      EXPECT_TRUE(got.failed) << "value " << got.value;
      if (expected.size() > 1 && expected[1] == '"') {
        EXPECT_EQ(std::string(got.message.GetString()), expected.substr(2, expected.size() - 3));
      } else {
        std::string tag = "#" + expected.substr(1) + ":";
        EXPECT_EQ(std::string(got.message.GetString()).substr(0, tag.size()), tag) << got.message.GetString();
      }
    } else if (expected == "N/A") {
      EXPECT_FALSE(got.failed) << got.message.GetString();
      EXPECT_TRUE(KExprIsUndefined(got.value)) << got.value;
    } else {
      EXPECT_FALSE(got.failed) << got.message.GetString();
      EXPECT_TRUE(sameNumber(got.value, expected)) << "got " << got.value << " want " << expected;
    }
  }
  if (oldLcAll.empty()) unsetenv("LC_ALL");
  else setenv("LC_ALL", oldLcAll.c_str(), 1);
  AfxSetProgramStrings(nullptr, 0);
  EXPECT_GE(cases, 200);
}
