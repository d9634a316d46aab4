#include "core/system/KProcessUtils.h"

#include "platform/KMessageBox.h"
#include "tests/support/KScratchFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {
// Puts a fake pkexec that exits with `code` first on PATH for one test, and
// records the message boxes shown meanwhile.
class ElevationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(m_dir.empty());
    m_oldPath = getenv("PATH") ? getenv("PATH") : "";
    m_previous = AfxSetMessagePresenter([this](const char* text, UINT) {
      m_messages.push_back(text);
      return IDOK;
    });
  }
  void TearDown() override {
    setenv("PATH", m_oldPath.c_str(), 1);
    AfxSetMessagePresenter(m_previous);
  }
  void fakePkexec(int exitCode) {
    std::string path = m_dir + "/pkexec";
    std::ofstream(path) << "#!/bin/sh\necho \"$@\" > '" << m_dir << "/args'\nexit " << exitCode << "\n";
    chmod(path.c_str(), 0755);
    setenv("PATH", (m_dir + ":" + m_oldPath).c_str(), 1);
  }
  std::string recordedArgs() {
    std::ifstream in(m_dir + "/args");
    std::string line;
    std::getline(in, line);
    return line;
  }

  KScratchFolder m_scratch{"pkexec"};
  std::string m_dir = m_scratch.path(), m_oldPath;
  std::vector<std::string> m_messages;
  KMessagePresenter m_previous;
};

BOOL collect(DWORD pid, WORD reserved, LPARAM context1, LPCSTR program, LPCSTR module, LPARAM context2) {
  EXPECT_EQ(reserved, 0);
  EXPECT_EQ(context2, 7);
  if (pid == static_cast<DWORD>(getpid())) {
    auto* seen = reinterpret_cast<std::vector<std::string>*>(context1);
    seen->push_back(std::string(program) + "|" + module);
  }
  return TRUE;
}

BOOL stopAtFirst(DWORD pid, WORD, LPARAM context1, LPCSTR, LPCSTR, LPARAM) {
  if (pid == static_cast<DWORD>(getpid())) ++*reinterpret_cast<int*>(context1);
  return FALSE;
}
}  // namespace

TEST_F(ElevationTest, CancelledPromptShowsNoMessageAndSucceeds) {
  fakePkexec(126);
  EXPECT_FALSE(KRunElevated("/usr/bin/true", nullptr, nullptr));
  EXPECT_TRUE(m_messages.empty());
  fakePkexec(127);
  EXPECT_FALSE(KRunElevated("/usr/bin/true", nullptr, nullptr));
  EXPECT_TRUE(m_messages.empty());
}

TEST_F(ElevationTest, ProgramAndParametersReachThePrompt) {
  fakePkexec(0);
  EXPECT_FALSE(KRunElevated("/usr/bin/installer", "--all \"two words\"", nullptr));
  EXPECT_EQ(recordedArgs(), "/usr/bin/installer --all two words");
  EXPECT_TRUE(m_messages.empty());
}

TEST_F(ElevationTest, MissingPromptProgramIsReported) {
  setenv("PATH", m_dir.c_str(), 1);  // an empty folder: no pkexec anywhere
  EXPECT_TRUE(KRunElevated("/usr/bin/true", nullptr, nullptr));
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(m_messages[0], "Failed to run executable with elevate permissions");
}

TEST(KProcessUtilsTest, ModulesOfThisProcessFollowItsProgram) {
  std::vector<std::string> seen;
  int processes = KEnumerateProcessModules(collect, reinterpret_cast<LPARAM>(&seen), 7);
  EXPECT_GE(processes, 1);
  ASSERT_FALSE(seen.empty());
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  ASSERT_GT(n, 0);
  self[n] = '\0';
  bool sawLibc = false;
  for (auto& entry : seen) {
    EXPECT_EQ(entry.substr(0, entry.find('|')), self);
    EXPECT_NE(entry.substr(entry.find('|') + 1), self);  // the program itself is not a module here
    if (entry.find("libc.so") != std::string::npos) sawLibc = true;
  }
  EXPECT_TRUE(sawLibc);
}

TEST(KProcessUtilsTest, FalseAnswerStopsThatProcessModules) {
  int calls = 0;
  KEnumerateProcessModules(stopAtFirst, reinterpret_cast<LPARAM>(&calls), 0);
  EXPECT_EQ(calls, 1);
}

TEST(KProcessUtilsTest, NoEmulationLayer) { EXPECT_FALSE(KIsWow64()); }
