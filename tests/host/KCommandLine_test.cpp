// KCommandLine in process: what each kind of argument does, the statuses
// parse answers and the reasons it gives for wrong usage.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/KCommandLine.h"
#include "host/KHostCommands.h"

namespace {
const char kUsage[] = "usage: quelmhost test [--on] [--level N] [--add X]... MODEL ACTION ...\n";

// One parse of `words` (after the command word) by a parser with a switch,
// a checked option, a repeatable option and MODEL ACTION [...] positionals.
struct FParse {
  explicit FParse(std::vector<std::string> given) : words(std::move(given)) {
    words.insert(words.begin(), "test");
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    KCommandLine line("test", kUsage);
    line.flag("--on", &on);
    line.option("--level", [this](const char* v) {
      if (std::string(v) != "1" && std::string(v) != "2") return KString("--level takes 1 or 2");
      level = v;
      return KString();
    });
    line.option("--add", [this](const char* v) { added.push_back(v); return KString(); }, true);
    line.positionals(&positionals, 2, 4, "test needs MODEL and an action");
    line.actions(1, {{"list", 0}, {"get", 1}, {"set", 2}}, &action);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    status = line.parse(static_cast<int>(argv.size()), argv.data());
    out = testing::internal::GetCapturedStdout();
    err = testing::internal::GetCapturedStderr();
  }
  std::vector<std::string> words;  // the positionals point into these
  int status = 0;
  bool on = false;
  std::string level;
  std::vector<std::string> added;
  std::vector<const char*> positionals;
  int action = -1;
  std::string out, err;
};
}  // namespace

TEST(KCommandLineTest, OptionsStandAnywhereAndDoubleDashEndsThem) {
  FParse p({"--add=a", "m", "--on", "set", "--level", "2", "--add", "b=c", "-", "--", "--on"});
  ASSERT_EQ(p.status, -1) << p.err;
  EXPECT_TRUE(p.on);
  EXPECT_EQ(p.level, "2");
  EXPECT_EQ(p.added, (std::vector<std::string>{"a", "b=c"}));
  ASSERT_EQ(p.positionals.size(), 4u);
  EXPECT_STREQ(p.positionals[2], "-");
  EXPECT_STREQ(p.positionals[3], "--on");
  EXPECT_EQ(p.action, 2);
  EXPECT_TRUE(p.out.empty() && p.err.empty());
  // Words that merely start with a minus are positionals.
  FParse negative({"m", "get", "-3"});
  EXPECT_EQ(negative.status, -1) << negative.err;
  EXPECT_EQ(negative.action, 1);
}

TEST(KCommandLineTest, HelpPrintsTheUsageOnStandardOutput) {
  FParse p({"m", "bogus", "--help", "--bogus"});
  EXPECT_EQ(p.status, KHOST_EXIT_OK);
  EXPECT_EQ(p.out, kUsage);
  EXPECT_TRUE(p.err.empty());
}

TEST(KCommandLineTest, ActionWordChoosesTheNumberOfArguments) {
  EXPECT_EQ(FParse({"m", "list"}).action, 0);
  EXPECT_EQ(FParse({"m", "set", "a", "b"}).action, 2);
  struct Case {
    std::vector<std::string> words;
    const char* reason;
  };
  for (const Case& c : std::vector<Case>{
           {{"m", "list", "x"}, "list takes no arguments"},
           {{"m", "get"}, "get takes 1 argument"},
           {{"m", "get", "a", "b"}, "get takes 1 argument"},
           {{"m", "set", "a"}, "set takes 2 arguments"},
           {{"m", "drop"}, "unknown action 'drop' (list, get or set)"},
           {{"m", "drop", "a", "b", "c"}, "unknown action 'drop' (list, get or set)"},
           {{"m"}, "test needs MODEL and an action"},
           {{"m", "set", "a", "b", "c"}, "set takes 2 arguments"}}) {
    FParse p(c.words);
    EXPECT_EQ(p.status, KHOST_EXIT_USAGE) << c.reason;
    EXPECT_EQ(p.action, -1) << c.reason;
    EXPECT_EQ(p.err, std::string("quelmhost test: ") + c.reason + "\n" + kUsage);
    EXPECT_TRUE(p.out.empty());
  }
}

TEST(KCommandLineTest, WrongOptionsGiveTheirReasons) {
  struct Case {
    std::vector<std::string> words;
    const char* reason;
  };
  for (const Case& c : std::vector<Case>{
           {{"m", "list", "--bogus"}, "unknown option '--bogus'"},
           {{"m", "list", "-x"}, "unknown option '-x'"},
           {{"m", "list", "--on", "--on"}, "give --on once"},
           {{"m", "list", "--on=yes"}, "--on takes no value"},
           {{"m", "list", "--level"}, "--level needs a value"},
           {{"m", "list", "--level=3"}, "--level takes 1 or 2"},
           {{"m", "list", "--level", "1", "--level", "2"}, "give --level once"}}) {
    FParse p(c.words);
    EXPECT_EQ(p.status, KHOST_EXIT_USAGE) << c.reason;
    EXPECT_EQ(p.err, std::string("quelmhost test: ") + c.reason + "\n" + kUsage);
  }
}
