#include "core/system/KTextFile.h"

#include <cerrno>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "platform/KFaultFileSystem.h"
#include "tests/support/KScratchFolder.h"

namespace {
std::string contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
}  // namespace

TEST(KTextFileTest, LinesReachTheFileAsGiven) {
  KScratchFolder folder("textfile");
  std::string path = folder.file("trace.txt");
  KTextFile file;
  EXPECT_TRUE(file.writeLine("closed \n", 0));
  ASSERT_FALSE(file.open(path.c_str()));
  EXPECT_FALSE(file.writeLine("first \n", 0));
  EXPECT_EQ(contents(path), "");  // buffered
  EXPECT_FALSE(file.writeLine(KString("second \n"), 1));
  EXPECT_EQ(contents(path), "first \nsecond \n");  // a nonzero flag writes through
  EXPECT_FALSE(file.writeLine("third", 0));
  EXPECT_FALSE(file.flush());
  EXPECT_EQ(contents(path), "first \nsecond \nthird");
  EXPECT_FALSE(file.close());
  EXPECT_FALSE(file.isOpen());
  EXPECT_EQ(contents(path), "first \nsecond \nthird");
  EXPECT_TRUE(file.writeLine("after close \n", 1));
  EXPECT_TRUE(file.open(""));
}

TEST(KTextFileTest, LongTextsPassTheBuffer) {
  KScratchFolder folder("textfile");
  std::string path = folder.file("long.txt");
  std::string line(100, 'x');
  line += '\n';
  {
    KTextFile file;
    ASSERT_FALSE(file.open(path.c_str()));
    for (int i = 0; i < 1000; ++i) ASSERT_FALSE(file.writeLine(line.c_str(), 0));
  }  // the destructor writes the rest
  EXPECT_EQ(contents(path).size(), 1000 * line.size());
}

TEST(KTextFileTest, DiagnosticFilesGetNewNames) {
  KScratchFolder folder("textfile");
  KTextFile a, b;
  ASSERT_FALSE(a.openDiagnostic("Probe", folder.path().c_str()));
  ASSERT_FALSE(b.openDiagnostic("Probe", folder.path().c_str()));
  EXPECT_NE(a.getPath(), b.getPath());
  EXPECT_NE(std::string(a.getPath().GetString()).find("QUELMM_Probe_0_"), std::string::npos);
  EXPECT_NE(std::string(a.getPath().GetString()).find(".txt"), std::string::npos);
}

TEST(KTextFileTest, AFailedWriteClosesTheFileAndKeepsEarlierLines) {
  KScratchFolder folder("textfile");
  std::string path = folder.file("fault.txt");
  KFaultFileSystem faults(KFileSystem::Default());
  KFileSystem::SetCurrent(&faults);
  {
    KTextFile file;
    ASSERT_FALSE(file.open(path.c_str()));
    EXPECT_FALSE(file.writeLine("kept \n", 1));
    faults.failNth(KFaultFileSystem::kWrite, 1, ENOSPC);
    EXPECT_TRUE(file.writeLine("lost \n", 1));
    EXPECT_TRUE(faults.fired());
    EXPECT_FALSE(file.isOpen());
    EXPECT_TRUE(file.writeLine("refused \n", 1));
    EXPECT_FALSE(file.close());
    faults.failNth(KFaultFileSystem::kOpen, 1, EACCES);
    EXPECT_TRUE(file.open(path.c_str()));
    EXPECT_FALSE(file.isOpen());
  }
  KFileSystem::SetCurrent(nullptr);
  EXPECT_EQ(contents(path), "kept \n");
}
