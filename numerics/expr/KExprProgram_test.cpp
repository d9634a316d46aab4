// A tree evaluated again runs from its flat form; it must answer exactly what
// the tree walk answers: the same value bit for bit, the same failure and the
// same message, for every expression of the conformance table and for the
// cases below that the flat form treats specially.
#include "numerics/expr/KExprProgram.h"

#include "numerics/expr/KExprConformanceValues.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

struct Outcome {
  bool failed = false;
  double value = 0.0;
  std::string message;
  bool operator==(const Outcome& o) const {
    const bool sameValue = std::memcmp(&value, &o.value, sizeof value) == 0 || (std::isnan(value) && std::isnan(o.value));
    return failed == o.failed && sameValue && message == o.message;
  }
};

std::ostream& operator<<(std::ostream& out, const Outcome& o) {
  return out << (o.failed ? "failed " : "") << o.value << " \"" << o.message << "\"";
}

Outcome evaluateOnce(KExpr& e, const KExprValues* values) {
  Outcome o;
  KString message;
  o.failed = e.evaluate(values, &o.value, message);
  o.message = message.GetString();
  return o;
}

// The named values of the conformance table, and one holding the undefined
// value itself.
class Values {
 public:
  Values() { m_named.get()->addValue("u", DBL_MIN); }
  const KExprValues* get() { return m_named.get(); }

 private:
  KExprConformanceValues m_named;
};

// Parses `text` and checks that the first evaluation (the tree walk) and the
// following ones (the flat form) agree; false when the text does not parse.
bool agrees(const std::string& text, Values& values, int lengthMode = 0, bool userLocale = false) {
  KExpr e(userLocale);
  try {
    e.parse(KString(text), userLocale, lengthMode);
  } catch (const KExprException&) {
    return false;
  }
  const Outcome walked = evaluateOnce(e, values.get());
  for (int i = 0; i < 2; ++i) EXPECT_EQ(evaluateOnce(e, values.get()), walked) << text << " run " << i + 2;
  return true;
}

TEST(KExprProgramTest, EveryConformanceExpressionAnswersAlikeWhenEvaluatedAgain) {
  const char* dir = getenv("QUELM_TEST_DATA");
  ASSERT_NE(dir, nullptr);
  std::ifstream in(std::string(dir) + "/expr/conformance.txt");
  ASSERT_TRUE(in) << "conformance table missing";
  Values values;
  std::string line;
  int parsed = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const size_t arrow = line.rfind(" => ");
    ASSERT_NE(arrow, std::string::npos) << line;
    const char mode = line[0];
    const int lengthMode = mode == 'f' ? 1 : mode == 'i' ? 2 : 0;
    if (agrees(line.substr(2, arrow - 2), values, lengthMode, mode == 'u')) ++parsed;
  }
  EXPECT_GE(parsed, 200);
}

TEST(KExprProgramTest, StoppingStepsAnswerAsTheTreeWalkDoes) {
  Values values;
  for (const char* text :
       {"u", "(u)", "+u", "-u", "u*1+5", "2+(u)", "sqrt(u)", "max(1, u, 3)", "abs(-u)", "1/zero", "(1/zero)",
        "2+1/zero", "1/(zero)+nope", "nope", "(nope)", "-nope", "nope*2", "2*nope", "2^nope", "twice_a*3",
        "3*twice_a", "self", "1+self", "isnumber(u)+1", "if(u, 1, 2)", "or(1, nope)", "and(0, 1/zero)",
        "pwlt(20, 0, 0, 10, 100)", "1+pwlt(20, 0, 0, 10, 100)", "error(\"stop\")+1", "none()*2",
        "2.2250738585072014e-308", "1+2.2250738585072014e-308*1", "x^2-x**2", "-(x^0.5)^2", "8/2/2",
        "3>2=1<2", "x-3-neg", "x/neg/zero", "max(a, b, r)", "min(x)", "sum(1, 2)+average(4, 8)"})
    EXPECT_TRUE(agrees(text, values)) << text;
}

TEST(KExprProgramTest, OperandsBeyondTheStackAreEvaluatedAsATree) {
  Values values;
  // Each open bracket keeps one value waiting: forty exceed the stack.
  std::string nested = "1";
  for (int i = 0; i < 40; ++i) nested = "a+(" + nested + ")";
  // An n-argument call lays out its operands after the one in the register.
  std::string fits = "max(1", over = "max(1";
  for (int i = 2; i < KExprProgram::kStackSize; ++i) fits += "," + std::to_string(i);
  for (int i = 2; i <= KExprProgram::kStackSize; ++i) over += "," + std::to_string(i);
  fits += ")";
  over += ")";
  for (const std::string& text : {nested, fits, over, "x+" + fits, "x+" + over}) EXPECT_TRUE(agrees(text, values));
  KExpr e;
  e.parse(KString(over), false, 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(evaluateOnce(e, nullptr).value, KExprProgram::kStackSize);
  e.parse(KString(nested), false, 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(evaluateOnce(e, values.get()).value, 81.0);
}

TEST(KExprProgramTest, LongChainsAreLaidOutInTheOrderTheyEvaluate) {
  Values values;
  std::string down = "x", mixed = "a";
  for (int i = 0; i < 400; ++i) down += "-1";
  for (int i = 0; i < 100; ++i) mixed += i % 3 == 0 ? "*b" : i % 3 == 1 ? "/r+x" : "-(a^2)";
  for (const std::string& text : {down, mixed, down + "+1/zero", "1/zero+" + down}) EXPECT_TRUE(agrees(text, values));
  KExpr e;
  e.parse(KString(down), false, 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(evaluateOnce(e, values.get()).value, -390.0);
}

TEST(KExprProgramTest, ParsingAgainReplacesTheFlatForm) {
  Values values;
  KExpr e;
  e.parse("x+1", false, 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(evaluateOnce(e, values.get()).value, 11.0);
  e.parse("x*3", false, 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(evaluateOnce(e, values.get()).value, 30.0);
  // A subtree parsed anew through its node: the nodes the flat form knew are gone.
  e.getChild(0)->parse("b-1", false, 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(evaluateOnce(e, values.get()).value, 2.0);
}

// A node with a look-up of its own: the flat form must leave it to the node.
class KAnswerExpr : public KExpr {
 public:
  double lookupVariable(KExprContext&) override { return 42.0; }
};

TEST(KExprProgramTest, NodesWithTheirOwnLookUpAndReKindedNodesAreHonoured) {
  KAnswerExpr e;
  e.parse("1+1", false, 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(evaluateOnce(e, nullptr).value, 2.0);
  e.setKind(kExprVariable);
  for (int i = 0; i < 3; ++i) {
    Outcome o = evaluateOnce(e, nullptr);
    EXPECT_FALSE(o.failed) << o;
    EXPECT_EQ(o.value, 42.0);
  }
}

// A look-up that parses and evaluates its own node again while a run of that
// node's flat form is in progress: the running form must stay alive.
class KReentrantExpr : public KExpr {
 public:
  double lookupVariable(KExprContext&) override {
    if (m_calls >= 3) return 1.0;
    ++m_calls;
    KExpr scratch;
    scratch.parse("1", false, 0);
    double v = 0.0;
    KString error;
    evaluate(nullptr, &v, error);
    --m_calls;
    return v + 1.0;
  }
  int m_calls = 0;
};

TEST(KExprProgramTest, AFormInUseIsNotReplacedUnderItsRun) {
  KReentrantExpr e;
  e.parse("0", false, 0);
  e.setKind(kExprVariable);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(evaluateOnce(e, nullptr).value, 4.0);
}

}  // namespace
