// quelmhost eval and format in unit sets, and the options command, end to end.
#include "KHostRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>

namespace {
class QuelmHostUnitsTest : public testing::Test {
 protected:
  KHostRunResult run(std::vector<std::string> args) {
    return KHostRun(QUELMHOST_PATH, args, {{"QUELM_REGISTRY_DIR", m_store.path()}, {"LANG", "C"}, {"LC_ALL", ""}});
  }
  std::string out(std::vector<std::string> args) {
    KHostRunResult r = run(args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return r.out.empty() ? r.out : r.out.substr(0, r.out.size() - 1);
  }
  KScratchFolder m_store;
};
}  // namespace

TEST_F(QuelmHostUnitsTest, EvalReadsEntryFieldsOfAQuantity) {
  EXPECT_EQ(out({"eval", "5' 6\"", "--units", "lbf,ft,lb,s,F", "--quantity", "length"}), "5.5");
  EXPECT_EQ(out({"eval", "5' 6\"", "--units", "lbf,in,lbf.s2/in,s,F", "--quantity", "length"}), "66");
  EXPECT_EQ(out({"eval", "2", "--quantity", "timescale", "--timescale", "Minutes"}), "120");
  EXPECT_EQ(out({"eval", "30", "--quantity", "rate", "--timescale", "minutes"}), "0.5");
  EXPECT_EQ(out({"eval", "N/A", "--quantity", "length"}), "N/A");
  KHostRunResult r = run({"eval", "5' 6\"", "--units", "N,m,kg,s,C", "--quantity", "length"});
  EXPECT_EQ(r.exitCode, 1);
  r = run({"eval", "pwlt(20, 0, 0, 10, 100)", "--quantity", "dimensionless"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("##100##"), std::string::npos) << r.err;
}

TEST_F(QuelmHostUnitsTest, FormatShowsWhatEvalReadsBack) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> any(-300.0, 300.0);
  std::vector<double> values = {5.5, -5.5, 0.25, 5.99999, -2.0 - 1e-9, 12.0};
  for (int i = 0; i < 8; ++i) values.push_back(any(rng));
  for (const char* set : {"lbf,ft,lb,s,F", "lbf,in,lbf.s2/in,s,F"}) {
    for (double v : values) {
      char text[64];
      snprintf(text, sizeof text, "%.17g", v);
      std::string shown = out({"format", "--units", set, "--quantity", "length", "--digits", "8", "--", text});
      EXPECT_NE(shown.find('"'), std::string::npos) << shown;
      std::string back = out({"eval", "--units", set, "--quantity", "length", "--", shown});
      EXPECT_NEAR(std::strtod(back.c_str(), nullptr), v, 1e-5) << set << " " << shown;
    }
  }
  EXPECT_EQ(out({"format", "5.5", "--units", "lbf,ft,lb,s,F", "--quantity", "length"}), "5' 6\"");
  EXPECT_EQ(out({"format", "5.5", "--units", "lbf,ft,lb,s,F", "--quantity", "length", "--option",
                 "feetInchesFormat=false"}),
            "5.5");
  EXPECT_EQ(out({"format", "7200", "--quantity", "timescale", "--timescale", "Hours"}), "2");
  EXPECT_EQ(out({"format", "1.5e-5", "--digits", "3"}), "15E-6");
  EXPECT_EQ(out({"format", "1.5e-5", "--digits", "3", "--option", "oldEMinus3Format=true"}), "0.015E-3");
}

TEST_F(QuelmHostUnitsTest, WrongUsageExitsWithTwo) {
  EXPECT_EQ(run({"eval", "1", "--option", "noSuchOption=1"}).exitCode, 2);
  EXPECT_EQ(run({"eval", "1", "--option", "feetInchesFormat=maybe"}).exitCode, 2);
  EXPECT_EQ(run({"eval", "1", "--option", "maxBlockSize=1.5"}).exitCode, 2);
  EXPECT_EQ(run({"eval", "1", "--units", "N,m,kg,s"}).exitCode, 2);
  EXPECT_EQ(run({"eval", "1", "--units", "N,furlong,kg,s,C"}).exitCode, 2);
  EXPECT_EQ(run({"eval", "1", "--quantity", "colour"}).exitCode, 2);
  EXPECT_EQ(run({"eval", "1", "--timescale", "weeks"}).exitCode, 2);
  EXPECT_EQ(run({"eval", "1", "--feet", "--units", "lbf,ft,lb,s,F"}).exitCode, 2);
  EXPECT_EQ(run({"eval", "1", "--units"}).exitCode, 2);
  EXPECT_EQ(run({"format", "1", "--digits", "0"}).exitCode, 2);
  EXPECT_EQ(run({"format", "1", "--bogus"}).exitCode, 2);
  EXPECT_EQ(run({"format"}).exitCode, 2);
  EXPECT_EQ(run({"eval", "1", "--option", "matInvertTol=1e-9", "--option", "MAXBLOCKSIZE=5"}).exitCode, 0);
  KHostRunResult help = run({"format", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("usage: quelmhost format"), std::string::npos);
  EXPECT_EQ(run({"eval", "--help"}).exitCode, 0);
  EXPECT_EQ(run({"options", "--help"}).exitCode, 0);
  // "--" ends the options: a negative value is a value.
  EXPECT_EQ(out({"format", "--digits", "3", "--", "-2"}), "-2");
}

TEST_F(QuelmHostUnitsTest, OptionsOfAModelFile) {
  KScratchFolder folder;
  std::string model = folder.path() + "/model.qf";
  EXPECT_EQ(run({"options", model, "list"}).exitCode, 1);  // no such model
  EXPECT_EQ(run({"options", model, "set", "count", "5"}).exitCode, 0);
  EXPECT_EQ(run({"options", model, "set", "title", "say \"hi\" {to} all"}).exitCode, 0);
  EXPECT_EQ(run({"options", model, "set", "tol", "1e-3"}).exitCode, 0);
  EXPECT_EQ(run({"options", model, "set", "flag", "true"}).exitCode, 0);
  EXPECT_EQ(run({"options", model, "set", "count", "7"}).exitCode, 0);
  EXPECT_EQ(run({"options", model, "set", "named", "12", "--type", "string"}).exitCode, 0);
  EXPECT_EQ(out({"options", model, "get", "title"}), "\"say \"\"hi\"\" {to} all\"");
  EXPECT_EQ(out({"options", model, "get", "count"}), "7");
  EXPECT_EQ(out({"options", model, "get", "named"}), "\"12\"");
  EXPECT_EQ(out({"options", model, "list"}),
            "count = 7 (int, visible, changed)\n"
            "tol = 1E-3 (real, visible, default)\n"
            "title = \"say \"\"hi\"\" {to} all\" (string, visible, default)\n"
            "named = \"12\" (string, visible, default)\n"
            "flag = true (bool, visible, default)");
  std::string script = out({"options", model, "script"});
  EXPECT_NE(script.find("options.setInteger(\"count\", 7, True)"), std::string::npos) << script;
  EXPECT_NE(script.find("options.setString(\"title\", \"say \\\"hi\\\" {to} all\", True)"), std::string::npos) << script;
  script = out({"options", model, "script", "--commands"});
  EXPECT_NE(script.find("setInteger \"count\" 7 true"), std::string::npos) << script;
  EXPECT_NE(script.find("setString \"title\" \"say \"\"hi\"\" {to} all\" true"), std::string::npos) << script;
  EXPECT_EQ(run({"options", model, "get", "missing"}).exitCode, 1);
  EXPECT_EQ(run({"options", model, "set", "count", "seven"}).exitCode, 2);
  EXPECT_EQ(run({"options", model, "set", "flag", "1.5", "--type", "bool"}).exitCode, 2);
  EXPECT_EQ(run({"options", model, "frobnicate"}).exitCode, 2);
  EXPECT_EQ(run({"options", model, "list", "--all"}).exitCode, 2);
  EXPECT_EQ(run({"options", model, "get", "count", "extra"}).exitCode, 2);
  // A value that looks like an option follows "--".
  EXPECT_EQ(run({"options", model, "set", "--", "dash", "-x"}).exitCode, 0);
  EXPECT_EQ(out({"options", model, "--type", "string", "get", "dash"}), "\"-x\"");
  // The rest of the model survives a set, in its own form.
  std::string converted = folder.path() + "/binary.qf";
  EXPECT_EQ(run({"convert", model, converted, "--form", "binary"}).exitCode, 0);
  EXPECT_EQ(run({"options", converted, "set", "count", "9"}).exitCode, 0);
  EXPECT_EQ(out({"options", converted, "get", "count"}), "9");
  EXPECT_EQ(out({"options", converted, "get", "flag"}), "true");
  std::string dump = out({"dump", converted, "--header"});
  EXPECT_NE(dump.find("Form: binary"), std::string::npos) << dump;
  folder.write("junk.qf", "not an object file");
  EXPECT_EQ(run({"options", folder.path() + "/junk.qf", "set", "a", "1"}).exitCode, 1);
}
