#include "numerics/expr/KExpr.h"

#include "core/application/KApplicationAbstract.h"
#include "numerics/expr/KExprFunctions.h"
#include "numerics/expr/KExprValues.h"
#include "containers/memory/KMemoryAllocator.h"
#include "containers/options/KOptionBase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {
bool evaluateText(const std::string& text, double& value, KString& error, const KExprValues* values = nullptr,
                  int lengthMode = 0) {
  KExpr e;
  try {
    e.parse(KString(text), false, lengthMode);
  } catch (const KExprException& x) {
    error = x.m_message;
    return true;
  }
  return e.evaluate(values, &value, error);
}

class TracingApp : public KApplicationAbstract {
 public:
  bool LookupBoolOption(const KString& name, bool current) override {
    return name == "exprDebug" ? m_on : current;
  }
  bool m_on = true;
  void OutputLine(const KString& text) override { m_lines.push_back(text.GetString()); }
  std::vector<std::string> m_lines;
};
}  // namespace

TEST(KExprTest, DeepBracketsGiveAClearErrorNotAStackOverflow) {
  std::string text = std::string(50000, '(') + "1" + std::string(50000, ')');
  double v;
  KString error;
  EXPECT_TRUE(evaluateText(text, v, error));
  EXPECT_NE(std::string(error.GetString()).find("nested too deeply"), std::string::npos) << error.GetString();
  // Nesting within the limit is evaluated.
  std::string fine = std::string(200, '(') + "1" + std::string(200, ')');
  ASSERT_FALSE(evaluateText(fine, v, error)) << error.GetString();
  EXPECT_EQ(v, 1.0);
}

TEST(KExprTest, LongChainsOfSignsAndOperatorsStaySafe) {
  double v;
  KString error;
  EXPECT_TRUE(evaluateText(std::string(30000, '-') + "2", v, error));
  ASSERT_FALSE(evaluateText(std::string(100, '-') + "2", v, error)) << error.GetString();
  EXPECT_EQ(v, 2.0);  // an even run of minus signs cancels out
  ASSERT_FALSE(evaluateText(std::string(101, '-') + "2", v, error));
  EXPECT_EQ(v, -2.0);
  std::string calls;
  for (int i = 0; i < 20000; ++i) calls += "sin(";
  calls += "0" + std::string(20000, ')');
  EXPECT_TRUE(evaluateText(calls, v, error));
}

// A flat chain nests nothing: it is limited by neither the nesting limit nor
// the stack, in parsing, evaluation, messages or destruction.
TEST(KExprTest, FlatOperatorChainsOfAnyLengthEvaluate) {
  double v;
  KString error;
  for (int terms : {500, 501, 50000}) {
    std::string sum = "1";
    for (int i = 1; i < terms; ++i) sum += "+1";
    ASSERT_FALSE(evaluateText(sum, v, error)) << terms << ": " << error.GetString();
    EXPECT_EQ(v, terms);
  }
  std::string mixed = "2";
  for (int i = 0; i < 50000; ++i) mixed += i % 2 ? "-3*2" : "+6/2^0";
  // Evaluated again, a tree is laid out flat: that walk too must not recurse
  // down the chain.
  KExpr again;
  again.parse(KString(mixed.c_str()), false, 0);
  for (int run = 0; run < 3; ++run) {
    ASSERT_FALSE(again.evaluate(nullptr, &v, error)) << run << ": " << error.GetString();
    EXPECT_EQ(v, 2.0) << run;
  }
  ASSERT_FALSE(evaluateText(mixed, v, error)) << error.GetString();
  EXPECT_EQ(v, 2.0);
  // The whole chain is the text of a division by zero at its top.
  std::string divided = "1";
  for (int i = 0; i < 50000; ++i) divided += "*1";
  ASSERT_TRUE(evaluateText(divided + "/0", v, error));
  EXPECT_NE(std::string(error.GetString()).find(divided + "/0"), std::string::npos);
  // Undefined names anywhere along a long chain are all collected.
  KExpr names;
  std::string chain = "first";
  for (int i = 0; i < 5000; ++i) chain += "+1";
  names.parse(KString((chain + "+last").c_str()), false, 0);
  KExprValues undefinedNames(true);
  ASSERT_TRUE(names.evaluate(nullptr, &v, error, &undefinedNames));
  EXPECT_NE(undefinedNames.lookup("first"), nullptr);
  EXPECT_NE(undefinedNames.lookup("last"), nullptr);
}

// Nesting counts what recursion needs: chains inside brackets count the
// brackets, and right operands at a tighter level count one level each.
TEST(KExprTest, NestingCountsBracketsAndRightOperandsNotChainLength) {
  KExpr e;
  e.parse("1+2*3", false, 0);
  EXPECT_EQ(e.getDepth(), 4);  // root, +, *, 3
  e.parse("1+2+3+4+5", false, 0);
  EXPECT_EQ(e.getDepth(), 3);  // root, the chain, an operand
  e.parse("(1+2)+(3+4)", false, 0);
  EXPECT_EQ(e.getDepth(), 5);  // root, +, group, +, operand
  double v;
  KString error;
  // Root, 497 groups, the chain and an operand: 500 levels.
  std::string nested = std::string(497, '(') + "1+1+1" + std::string(497, ')');
  ASSERT_FALSE(evaluateText(nested, v, error)) << error.GetString();
  EXPECT_EQ(v, 3.0);
  EXPECT_TRUE(evaluateText("(" + nested + ")", v, error));
}

// Brackets inside a quoted text build no node, yet the bracket pre-check
// counts them: 1 + 498 brackets stay within the limit at the top level.
TEST(KExprTest, QuotedBracketsCountUpToTheLimitOnly) {
  double v;
  KString error;
  const std::string text = "error(\"" + std::string(498, '(') + std::string(498, ')') + "\")";
  KExpr e;
  EXPECT_NO_THROW(e.parse(KString(text.c_str()), false, 0));
  const std::string deeper = "error(\"" + std::string(499, '(') + std::string(499, ')') + "\")";
  EXPECT_TRUE(evaluateText(deeper, v, error));
  EXPECT_NE(std::string(error.GetString()).find("nested too deeply"), std::string::npos) << error.GetString();
}

// Nodes come from one allocator made at start-up, 20 nodes per block, which
// keeps a block between expressions.
TEST(KExprTest, NodesComeFromTheStartUpAllocator) {
  KMemoryAllocator& nodes = KExpr::getNodeAllocator();
  EXPECT_EQ(nodes.getItemsPerBlock(), 20u);
  EXPECT_EQ(nodes.getRequestedSize(), sizeof(KExpr));
  EXPECT_GE(nodes.getBlockCount(), 1);
  const unsigned long used = nodes.getUsedBytes();
  {
    KExpr e;
    e.parse("1+2*3-(4/5)", false, 0);
    EXPECT_GT(nodes.getUsedBytes(), used);
  }
  EXPECT_EQ(nodes.getUsedBytes(), used);
  EXPECT_GE(nodes.getBlockCount(), 1);
}

TEST(KExprTest, CaseInsensitiveValuesLowerCaseTheName) {
  KExprValues values(false);
  values.addValue("len", 4);
  double v;
  KString error;
  ASSERT_FALSE(evaluateText("LEN*2", v, error, &values)) << error.GetString();
  EXPECT_EQ(v, 8.0);
  KExprValues strict(true);
  strict.addValue("len", 4);
  EXPECT_TRUE(evaluateText("LEN*2", v, error, &strict));
}

TEST(KExprTest, CallerValueNamedPiTakesPrecedence) {
  KExprValues values(true);
  values.addValue("PI", 3);
  double v;
  KString error;
  ASSERT_FALSE(evaluateText("PI", v, error, &values));
  EXPECT_EQ(v, 3.0);
  ASSERT_FALSE(evaluateText("PI", v, error));
  EXPECT_EQ(v, 3.141592653589793);
}

TEST(KExprTest, UndefinedNamesAreCollectedSkippingIsDefined) {
  KExprValues values(true);
  values.addValue("a", 1);
  KExpr e;
  e.parse("a + b * c + isDefined(d) + PI", false, 0);
  KExprValues undefinedNames(true);
  double v;
  KString error;
  ASSERT_TRUE(e.evaluate(&values, &v, error, &undefinedNames));
  EXPECT_NE(undefinedNames.lookup("a"), nullptr);
  EXPECT_NE(undefinedNames.lookup("b"), nullptr);
  EXPECT_NE(undefinedNames.lookup("c"), nullptr);
  EXPECT_EQ(undefinedNames.lookup("d"), nullptr);
  EXPECT_EQ(undefinedNames.lookup("PI"), nullptr);
  // The message names the undefined name.
  EXPECT_NE(std::string(error.GetString()).find('b'), std::string::npos);
}

TEST(KExprTest, ErrorTextShowsTheOffendingExpression) {
  double v;
  KString error;
  ASSERT_TRUE(evaluateText("2*x+", v, error));
  EXPECT_NE(std::string(error.GetString()).find("2*x+"), std::string::npos) << error.GetString();
  ASSERT_TRUE(evaluateText("1/(a-a)", v, error, nullptr));
  KExprValues values(true);
  values.addValue("a", 1);
  ASSERT_TRUE(evaluateText("3+1/(a-a)", v, error, &values));
  EXPECT_NE(std::string(error.GetString()).find("1/(a-a)"), std::string::npos) << error.GetString();
}

TEST(KExprTest, ContextEvaluationFormatsWithTheRootText) {
  KExpr e;
  e.parse("1/0", false, 0);
  int kind = -1, code = -1;
  KString message;
  KExprContext c;
  c.m_root = &e;
  c.m_errorKind = &kind;
  c.m_errorCode = &code;
  c.m_message = &message;
  double v = 0;
  EXPECT_TRUE(e.evaluate(&v, c));
  EXPECT_EQ(code, 0);  // reset once the message is formatted
  EXPECT_NE(std::string(message.GetString()).find("1/0"), std::string::npos);
  EXPECT_FALSE(KExpr::isEvaluating());
}

TEST(KExprTest, PwltReportsTheEndValueAsItsMessage) {
  double v;
  KString error;
  ASSERT_TRUE(evaluateText("pwlt(20, 0, 0, 10, 100)", v, error));
  EXPECT_EQ(error, "100");
  ASSERT_TRUE(evaluateText("pwlt(20, 0, 0, 10, 1.5e20)", v, error));
  EXPECT_EQ(error, "1.5E+20");
}

TEST(KExprTest, TraceWritesTheBindingSteps) {
  TracingApp app;
  KApplicationAbstract* old = KSetApplication(&app);
  markOptionsChanged();
  KExpr e;
  e.parse("1+2", false, 0);
  // Switch the trace off again while this application still answers: the
  // default lookup keeps whatever value an option holds.
  app.m_on = false;
  markOptionsChanged();
  KExpr quiet;
  quiet.parse("3", false, 0);
  KSetApplication(old);
  const size_t traced = app.m_lines.size();
  ASSERT_FALSE(app.m_lines.empty());
  EXPECT_EQ(app.m_lines.front(), "processing 1+2");
  EXPECT_NE(std::find(app.m_lines.begin(), app.m_lines.end(), "trying1 i 3"), app.m_lines.end());
  EXPECT_NE(std::find(app.m_lines.begin(), app.m_lines.end(), "OK when i 3 j 1 size 3"), app.m_lines.end());
  EXPECT_EQ(std::find(app.m_lines.begin(), app.m_lines.end(), "processing 3"), app.m_lines.end());
  EXPECT_EQ(app.m_lines.size(), traced);
}

TEST(KExprTest, FunctionTablesHaveTheirRowsInSearchOrder) {
  int n = 0;
  const KExprUnaryRow* unary = KExprUnaryTable(n);
  EXPECT_EQ(n, 26);
  EXPECT_STREQ(unary[0].m_name, "sin");
  EXPECT_STREQ(unary[n - 1].m_name, "sign");
  const KExprDyadicRow* dyadic = KExprDyadicTable(n);
  EXPECT_EQ(n, 9);
  EXPECT_STREQ(dyadic[n - 1].m_name, "convertFromSI");
  const KExprNaryRow* nary = KExprNaryTable(n);
  EXPECT_EQ(n, 15);
  int packRow = -1;
  for (int i = 0; i < n; ++i)
    if (std::string(nary[i].m_name) == "packDimension") packRow = i;
  ASSERT_GE(packRow, 0);
  EXPECT_EQ(nary[packRow].m_count, 5);
  // No name appears in two tables, and a repeated row never shadows the first.
  const KExprCustomRow* custom = KExprCustomTable(n);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(custom[0].m_fn, nullptr);
}

TEST(KExprTest, RoundingRuleAndDimensionPacking) {
  EXPECT_EQ(KExprRound(2.5), 3);
  EXPECT_EQ(KExprRound(-2.5), -3);
  EXPECT_EQ(KExprRound(0.49), 0);
  EXPECT_EQ(KExprRound(3e9), 0);
  int e[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(KExprPackDimension(e), 292021944);
  e[6] = 5;
  EXPECT_EQ(KExprPackDimension(e), 555116554);
}

TEST(KExprTest, ConvertFromSIGoesThroughTheApplication) {
  struct UnitsApp : KApplicationAbstract {
    bool ConvertFromSI(double& value, long code) override {
      if (code != 292024141) return true;
      value *= 1000.0;  // metres to millimetres
      return false;
    }
  } app;
  KApplicationAbstract* old = KSetApplication(&app);
  double v;
  KString error;
  EXPECT_FALSE(evaluateText("convertFromSI(2, 292024141)", v, error));
  EXPECT_EQ(v, 2000.0);
  EXPECT_TRUE(evaluateText("convertFromSI(2, 5)", v, error));
  KSetApplication(old);
}
