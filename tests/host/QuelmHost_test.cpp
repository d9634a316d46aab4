// quelmhost end to end: commands, exit codes, the user-interface language
// taken from the user settings store, and a plug-in module bound to the
// program's exported symbols.
#include "KHostRun.h"

#include <gtest/gtest.h>

#include <regex>

namespace {
const char kUserKey[] = "[HKEY_CURRENT_USER\\Software\\QUELM\\quelmhost\\File locations]\n";

class QuelmHostTest : public testing::Test {
 protected:
  // Runs quelmhost against the test's own store in the "C" locale.
  KHostRunResult run(const std::vector<std::string>& args, std::map<std::string, std::string> env = {}) {
    env.emplace("QUELM_REGISTRY_DIR", m_store.path());
    env.emplace("LANG", "C");
    env.emplace("LC_ALL", "");
    env.emplace("LC_MESSAGES", "");
    env.emplace("LANGUAGE", "");
    return KHostRun(QUELMHOST_PATH, args, env);
  }
  void setUILanguage(const char* dwordHex) {
    m_store.write("user.reg", std::string("REGEDIT4\n\n") + kUserKey + "\"UILanguage\"=dword:" + dwordHex + "\n");
  }
  // The value of the "label: value" line of `out`, or "(absent)".
  static std::string line(const std::string& out, const std::string& label) {
    std::smatch m;
    std::regex re("(^|\n)" + label + ": ([^\n]*)");
    return std::regex_search(out, m, re) ? m[2].str() : "(absent)";
  }

  KScratchFolder m_store;
};
}  // namespace

TEST_F(QuelmHostTest, VersionIsOneLineOfFourNumbers) {
  KHostRunResult r = run({"--version"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(std::regex_match(r.out, std::regex("[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+\n"))) << r.out;
}

TEST_F(QuelmHostTest, HelpListsEveryCommand) {
  KHostRunResult r = run({"--help"});
  EXPECT_EQ(r.exitCode, 0);
  for (const char* command : {"--version", "--help", "info", "--module PATH"})
    EXPECT_NE(r.out.find(command), std::string::npos) << command;
  EXPECT_TRUE(r.err.empty());
}

TEST_F(QuelmHostTest, WrongUsageExitsWithTwoAndTheUsage) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"frobnicate"}, {"info", "extra"}, {"--module"}, {"--module", "a", "b"}, {"--version", "x"}}) {
    KHostRunResult r = run(args);
    EXPECT_EQ(r.exitCode, 2) << args[0];
    EXPECT_NE(r.err.find("usage: quelmhost"), std::string::npos) << args[0];
    EXPECT_TRUE(r.out.empty()) << args[0];
  }
}

TEST_F(QuelmHostTest, InfoWithoutSettingUsesSystemLanguageAndEnglishLibraries) {
  KHostRunResult r = run({"info"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(line(r.out, "UI language"), "1033");
  EXPECT_EQ(line(r.out, "Resource libraries"), "QUELMres2, QUELMres");
  EXPECT_EQ(line(r.out, "Settings"), m_store.path() + "/user.reg");
  EXPECT_EQ(line(r.out, "Registry key"), "HKEY_CURRENT_USER\\Software\\QUELM\\quelmhost");
}

TEST_F(QuelmHostTest, InfoWithChineseSettingSearchesChineseLibrariesFirst) {
  setUILanguage("00000804");
  KHostRunResult r = run({"info"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(line(r.out, "UI language"), "2052");
  EXPECT_EQ(line(r.out, "Resource libraries"), "QUELMres2CHS, QUELMresCHS, QUELMres2, QUELMres");
  // The title, and so the registry key, does not change with the language.
  EXPECT_EQ(line(r.out, "Registry key"), "HKEY_CURRENT_USER\\Software\\QUELM\\quelmhost");
}

TEST_F(QuelmHostTest, ZeroSettingMeansUnsetAndFallsBackToSystemLanguage) {
  setUILanguage("00000000");
  KHostRunResult r = run({"info"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(line(r.out, "UI language"), "1033");
  EXPECT_EQ(line(r.out, "Resource libraries"), "QUELMres2, QUELMres");
}

TEST_F(QuelmHostTest, ChineseSystemLanguageWithoutSettingAttachesChineseLibraries) {
  KHostRunResult r = run({"info"}, {{"LANG", "zh_CN.UTF-8"}});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(line(r.out, "UI language"), "2052");
  EXPECT_EQ(line(r.out, "Resource libraries"), "QUELMres2CHS, QUELMresCHS, QUELMres2, QUELMres");
}

TEST_F(QuelmHostTest, SettingOverridesTheSystemLanguage) {
  setUILanguage("00000409");
  KHostRunResult r = run({"info"}, {{"LANG", "zh_CN.UTF-8"}});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(line(r.out, "UI language"), "1033");
  EXPECT_EQ(line(r.out, "Resource libraries"), "QUELMres2, QUELMres");
}

TEST_F(QuelmHostTest, MainDialogShowsStartUpSummaryAndClosesWithoutTerminal) {
  KHostRunResult r = run({});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(std::regex_match(line(r.out, "  Version"), std::regex("[0-9.]+"))) << r.out;
  EXPECT_EQ(line(r.out, "  User-interface language"), "1033");
  EXPECT_EQ(line(r.out, "  Resource libraries"), "QUELMres2, QUELMres");
  EXPECT_EQ(line(r.out, "  Settings"), m_store.path() + "/user.reg");
  // No terminal on standard input: no prompt, no waiting.
  EXPECT_EQ(r.out.find("Press Enter"), std::string::npos);
}

TEST_F(QuelmHostTest, WithoutAWindowSystemTheWorkbenchFallsBackToTheTerminal) {
  // No DISPLAY, and a DISPLAY that cannot be opened: the terminal summary,
  // whatever the workbench's own options say.
  for (const char* display : {"", ":31999"}) {
    KHostRunResult r = run({"workbench", "--close-after", "5", "--open", "missing.qob"}, {{"DISPLAY", display}});
    ASSERT_EQ(r.exitCode, 0) << display << r.err;
    EXPECT_EQ(line(r.out, "  User-interface language"), "1033") << display << r.out;
    r = run({"--close-after=2"}, {{"DISPLAY", display}});
    EXPECT_EQ(r.exitCode, 0) << display << r.err;
    EXPECT_EQ(line(r.out, "  Resource libraries"), "QUELMres2, QUELMres") << display;
  }
}

TEST_F(QuelmHostTest, WorkbenchOptionsAreChecked) {
  KHostRunResult r = run({"workbench", "--help"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("--close-after SECONDS"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("--open FILE"), std::string::npos);
  EXPECT_NE(run({"--help"}).out.find("--close-after"), std::string::npos);
  for (const auto& args : std::vector<std::vector<std::string>>{{"--close-after", "0"},
                                                                {"--close-after", "3601"},
                                                                {"--close-after", "5s"},
                                                                {"workbench", "extra"},
                                                                {"workbench", "--open"},
                                                                {"--open", "a", "--open", "b"}}) {
    r = run(args);
    EXPECT_EQ(r.exitCode, 2) << args[0] << " " << args[1];
    EXPECT_NE(r.err.find("usage: quelmhost [workbench]"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
  }
}

TEST_F(QuelmHostTest, MainDialogInChineseReadsTextsFromTheChineseLibrary) {
  setUILanguage("00000804");
  KHostRunResult r = run({});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(std::regex_match(line(r.out, "  版本"), std::regex("[0-9.]+"))) << r.out;
  EXPECT_EQ(line(r.out, "  用户界面语言"), "2052");
  EXPECT_EQ(line(r.out, "  Version"), "(absent)");
}

TEST_F(QuelmHostTest, ModuleCallsBackIntoTheHost) {
  KHostRunResult r = run({"--module", QUELM_TESTMODULE_PATH});
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_EQ(line(r.out, "module: current application is the host's"), "yes");
  EXPECT_EQ(line(r.out, "module: registry key"), "QUELM\\quelmhost (42)");
  EXPECT_EQ(line(r.out, "module: string 24309"), "N/A");
#ifdef QUELM_HAVE_TREES
  EXPECT_EQ(line(r.out, "module: tree"), "3 names, BETA finds Beta, ALPHA added again: no");
#endif
#ifdef QUELM_HAVE_TABLES
  EXPECT_EQ(line(r.out, "module: merge options"), "Off=0 Exact=2 Wild=3 Ignore=1 (Ignore)");
#endif
#ifdef QUELM_HAVE_SCRIPT
  EXPECT_EQ(line(r.out, "module: script export"), "delete on release yes, drop finds module item");
#endif
  EXPECT_EQ(line(r.out, "Module result"), "0");
}

TEST_F(QuelmHostTest, ModuleSeesTheChineseChainWhenChineseIsSet) {
  setUILanguage("00000804");
  KHostRunResult r = run({"--module", QUELM_TESTMODULE_PATH});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(line(r.out, "module: string 24309"), "不适用");
}

TEST_F(QuelmHostTest, ModuleThatCannotBeLoadedFailsWithTheReason) {
  m_store.write("not-a-module.so", "plain text");
  for (const std::string& path : {m_store.path() + "/missing.so", m_store.path() + "/not-a-module.so"}) {
    KHostRunResult r = run({"--module", path});
    EXPECT_EQ(r.exitCode, 1) << path;
    EXPECT_NE(r.err.find("cannot load module " + path), std::string::npos) << r.err;
  }
}

TEST_F(QuelmHostTest, ModuleWithoutEntryFailsWithTheReason) {
  // A loadable shared object that has no QuelmModuleMain.
  KHostRunResult r = run({"--module", "libz.so.1"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("has no QuelmModuleMain"), std::string::npos) << r.err;
}
