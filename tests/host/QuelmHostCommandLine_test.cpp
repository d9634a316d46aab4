// quelmhost's command-line conventions, shared by every command: "--" ends
// the options, COMMAND --help prints that command's usage on standard output
// with status 0, and wrong usage gives status 2 with the command's usage on
// standard error.
#include <gtest/gtest.h>

#include "KHostRun.h"

namespace {
class QuelmHostCommandLineTest : public testing::Test {
 protected:
  KHostRunResult run(const std::vector<std::string>& args) {
    return KHostRun(QUELMHOST_PATH, args, {{"QUELM_REGISTRY_DIR", m_store.path()}, {"LANG", "C"}, {"LC_ALL", ""}});
  }
  KScratchFolder m_store;
};

// The command word as its usage line shows it.
const char* const kCommands[] = {"eval", "format", "options", "dump", "convert", "info", "--module", "--version"};
}  // namespace

TEST_F(QuelmHostCommandLineTest, EveryCommandPrintsItsOwnUsageForHelp) {
  for (const char* command : kCommands) {
    for (const auto& args : std::vector<std::vector<std::string>>{{command, "--help"}, {command, "x", "--help"}}) {
      KHostRunResult r = run(args);
      EXPECT_EQ(r.exitCode, 0) << command << ": " << r.err;
      EXPECT_EQ(r.out.rfind(std::string("usage: quelmhost ") + command, 0), 0u) << r.out;
      EXPECT_TRUE(r.err.empty()) << r.err;
    }
  }
}

TEST_F(QuelmHostCommandLineTest, DoubleDashEndsTheOptions) {
  KHostRunResult r = run({"eval", "--", "-3^2"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "9\n");
  // A value that merely starts with a minus needs no "--".
  EXPECT_EQ(run({"eval", "-(1+1)"}).out, "-2\n");
  // Options may stand on either side of the positional argument.
  EXPECT_EQ(run({"eval", "--set", "a=4", "a*2"}).out, "8\n");
  EXPECT_EQ(run({"eval", "--set=a=4", "--", "-a"}).out, "-4\n");
  EXPECT_EQ(run({"format", "--digits=3", "--", "-2.5"}).out, "-2.5\n");
  // After "--" an option's name is a value: here an expression that fails.
  KHostRunResult late = run({"eval", "--", "--help"});
  EXPECT_EQ(late.exitCode, 1) << late.out;
  // A file named like an option.
  KHostRunResult dump = run({"dump", "--", "--all"});
  EXPECT_EQ(dump.exitCode, 1);
  EXPECT_NE(dump.err.find("cannot read --all"), std::string::npos) << dump.err;
  KHostRunResult module = run({"--module", "--", "--absent.so"});
  EXPECT_EQ(module.exitCode, 1);
  EXPECT_NE(module.err.find("cannot load module --absent.so"), std::string::npos) << module.err;
}

TEST_F(QuelmHostCommandLineTest, WrongUsageGivesTwoWithThatCommandsUsage) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"eval", "1", "--bogus"}, {"eval", "1", "2"}, {"eval", "1", "--feet", "--feet"},
           {"eval", "1", "--set"}, {"eval", "1", "--feet=yes"}, {"dump", "f", "--all", "--all"},
           {"dump", "f", "--header", "--object", "a/b"}, {"convert", "a", "b", "--level=x", "--form", "text"},
           {"info", "extra"}, {"--version", "--bogus"}, {"--module"}, {"eval", "1", "--units", "a", "--units", "b"},
           {"eval", "1", "--units", "N,m,kg,s"}, {"format", "1", "--digits=x"}, {"format", "-x"},
           {"options", "m", "get"}, {"options", "m", "drop", "x"}, {"options", "m", "list", "--type", "int"},
           {"options", "m", "get", "a", "--type", "float"}}) {
    KHostRunResult r = run(args);
    EXPECT_EQ(r.exitCode, 2) << args[0] << " " << args.back();
    EXPECT_NE(r.err.find("quelmhost " + args[0] + ": "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("usage: quelmhost " + args[0]), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
  }
}
