#include "storage/paged/KFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

class KFileTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* dir = std::getenv("QUELM_REGISTRY_DIR");
    m_path = std::string(dir ? dir : "/tmp") + "/kfile-" + std::to_string(getpid()) + ".txt";
  }
  void TearDown() override { std::remove(m_path.c_str()); }

  void writeBytes(const std::string& bytes) {
    KFile file;
    ASSERT_TRUE(file.Open(m_path.c_str(), CFile::modeCreate | CFile::modeWrite));
    file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    file.Close();
  }

  // Every line ReadString answers, and the text it leaves with the final FALSE.
  std::vector<std::string> readLines(std::string& rest) {
    KFile file;
    EXPECT_TRUE(file.Open(m_path.c_str(), CFile::modeRead));
    std::vector<std::string> lines;
    KString line;
    while (file.ReadString(line)) lines.push_back(line.str());
    rest = line.str();
    return lines;
  }

  std::string m_path;
};

TEST_F(KFileTest, ReadStringDropsCrLfAndKeepsALastLineWithoutEnd) {
  writeBytes("a\r\nb");
  std::string rest;
  EXPECT_EQ(readLines(rest), std::vector<std::string>{"a"});
  EXPECT_EQ(rest, "b");
}

TEST_F(KFileTest, ReadStringSeesCrLfSplitByTheChunkBoundary) {
  std::string first(KFile::kLineChunk - 1, 'x');  // the CR is the chunk's last byte
  writeBytes(first + "\r\nc\n");
  std::string rest;
  EXPECT_EQ(readLines(rest), (std::vector<std::string>{first, "c"}));
  EXPECT_EQ(rest, "");
}

TEST_F(KFileTest, ReadStringKeepsCarriageReturnsInsideLinesAndJoinsLongLines) {
  std::string longLine(1000, 'y');
  longLine[KFile::kLineChunk - 1] = '\r';
  longLine[KFile::kLineChunk * 2 + 5] = '\r';
  writeBytes(longLine + "\n\n" + "z\n");
  std::string rest;
  EXPECT_EQ(readLines(rest), (std::vector<std::string>{longLine, "", "z"}));
}

TEST_F(KFileTest, ReadStringEndsAtALoneCarriageReturnAtTheEnd) {
  for (size_t length : {size_t(0), size_t(1), size_t(KFile::kLineChunk - 1), size_t(KFile::kLineChunk)}) {
    writeBytes(std::string(length, 'q') + "\r");
    std::string rest;
    EXPECT_TRUE(readLines(rest).empty()) << length;
    EXPECT_EQ(rest, std::string(length, 'q')) << length;
  }
}

TEST_F(KFileTest, ReadStringLeavesThePositionAfterTheLineFeed) {
  writeBytes("one\r\ntwo\n");
  KFile file;
  ASSERT_TRUE(file.Open(m_path.c_str(), CFile::modeRead));
  KString line;
  ASSERT_TRUE(file.ReadString(line));
  EXPECT_EQ(file.GetPosition(), 5u);
  char c = 0;
  EXPECT_EQ(file.Read(&c, 1), 1u);
  EXPECT_EQ(c, 't');
}

TEST_F(KFileTest, WriteStringWritesNoTerminatorAndNoLineEnd) {
  KFile file;
  ASSERT_TRUE(file.Open(m_path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText));
  file.WriteString("ab");
  file.WriteString("");
  file.WriteString(nullptr);
  file.WriteString("c\n");
  EXPECT_EQ(file.GetLength(), 4u);
  EXPECT_EQ(file.SeekToEnd(), 4u);
  file.SeekToBegin();
  EXPECT_EQ(file.GetPosition(), 0u);
}

TEST_F(KFileTest, SeeksWithSixtyFourBitOffsets) {
  KFile file;
  ASSERT_TRUE(file.Open(m_path.c_str(), CFile::modeCreate | CFile::modeReadWrite));
  const LONGLONG far = 5000000000LL;
  EXPECT_EQ(file.Seek(far, CFile::begin), static_cast<ULONGLONG>(far));
  EXPECT_EQ(file.Seek(-far + 7, CFile::current), 7u);
  EXPECT_THROW(file.Seek(-8, CFile::current), CFileException);
}

TEST_F(KFileTest, NullPathIsAnInvalidArgument) {
  KFile file;
  EXPECT_THROW(file.SetFilePath(nullptr), CInvalidArgException);
  file.SetFilePath("x/y.dat");
  EXPECT_EQ(file.GetFilePath(), "x/y.dat");
}

}  // namespace
