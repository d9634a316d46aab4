// quelmhost eval end to end: values through the number formatter, named
// values, length modes, and failures on standard error with status 1.
#include "KHostRun.h"

#include <gtest/gtest.h>

namespace {
class QuelmHostEvalTest : public testing::Test {
 protected:
  KHostRunResult eval(std::vector<std::string> args) {
    args.insert(args.begin(), "eval");
    return KHostRun(QUELMHOST_PATH, args, {{"QUELM_REGISTRY_DIR", m_store.path()}, {"LANG", "C"}, {"LC_ALL", ""}});
  }
  KScratchFolder m_store;
};
}  // namespace

TEST_F(QuelmHostEvalTest, PrintsTheValueWithFifteenDigits) {
  KHostRunResult r = eval({"2*PI*r", "--set", "r=2"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "12.5663706143592\n");
  r = eval({"1/3"});
  EXPECT_EQ(r.out, "0.333333333333333\n");
  EXPECT_EQ(eval({"1e-5*1.5"}).out, "15E-6\n");
}

TEST_F(QuelmHostEvalTest, LaterSettingsMayUseEarlierOnes) {
  KHostRunResult r = eval({"a+b", "--set", "a=2", "--set", "b=a*10"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "22\n");
}

TEST_F(QuelmHostEvalTest, LengthModes) {
  EXPECT_EQ(eval({"5'6\"", "--inches"}).out, "66\n");
  EXPECT_EQ(eval({"5'6\"", "--feet"}).out, "5.5\n");
}

TEST_F(QuelmHostEvalTest, UndefinedValueIsNotAvailable) {
  KHostRunResult r = eval({"none()"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "N/A\n");
}

TEST_F(QuelmHostEvalTest, FailureGoesToStandardErrorWithStatusOne) {
  KHostRunResult r = eval({"1/0"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.out.empty());
  EXPECT_NE(r.err.find("1/0"), std::string::npos) << r.err;
  r = eval({"2*"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("2*"), std::string::npos) << r.err;
  r = eval({"x+1"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("x"), std::string::npos) << r.err;
}

TEST_F(QuelmHostEvalTest, WrongUsageExitsWithTwo) {
  EXPECT_EQ(eval({}).exitCode, 2);
  EXPECT_EQ(eval({"1", "2"}).exitCode, 2);
  EXPECT_EQ(eval({"1", "--set", "novalue"}).exitCode, 2);
  EXPECT_EQ(eval({"1", "--feet", "--inches"}).exitCode, 2);
}
