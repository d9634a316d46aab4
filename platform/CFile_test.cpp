#include "platform/CFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/KFaultFileSystem.h"
#include "tests/support/KScratchFolder.h"

namespace {

class CFileTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(m_dir.empty()); }
  void TearDown() override { KFileSystem::SetCurrent(nullptr); }
  KString path(const char* name) const { return KString((m_dir + "/" + name).c_str()); }

  void writeFile(const KString& name, const std::string& text) {
    CFile f(name, CFile::modeCreate | CFile::modeWrite);
    f.Write(text.data(), static_cast<UINT>(text.size()));
    f.Close();
  }
  std::string readFile(const KString& name) {
    CFile f(name, CFile::modeRead);
    std::string text(static_cast<size_t>(f.GetLength()), '\0');
    EXPECT_EQ(f.Read(text.data(), static_cast<UINT>(text.size())), text.size());
    return text;
  }

  KScratchFolder m_scratch{"cfile"};
  std::string m_dir = m_scratch.path();
};

}  // namespace

TEST_F(CFileTest, SeeksBeyondFourGigabytesInASparseFile) {
  CFile f;
  ASSERT_TRUE(f.Open(path("big"), CFile::modeCreate | CFile::modeReadWrite));
  const ULONGLONG far = 5ULL << 30;
  EXPECT_EQ(f.Seek(static_cast<LONGLONG>(far), CFile::begin), far);
  f.Write("tail", 4);
  EXPECT_EQ(f.GetLength(), far + 4);
  EXPECT_EQ(f.GetPosition(), far + 4);
  EXPECT_EQ(f.Seek(-4, CFile::end), far);
  char buf[8] = {};
  EXPECT_EQ(f.Read(buf, 8), 4u);
  EXPECT_EQ(std::string(buf, 4), "tail");
  EXPECT_EQ(f.Seek(-static_cast<LONGLONG>(far) - 2, CFile::current), 2u);
  EXPECT_EQ(f.Read(buf, 2), 2u);
  EXPECT_EQ(buf[0], 0);  // the hole reads as zero bytes
  EXPECT_EQ(f.SeekToEnd(), far + 4);
  f.SeekToBegin();
  EXPECT_EQ(f.GetPosition(), 0u);
  f.SetLength(3);
  EXPECT_EQ(f.GetLength(), 3u);
}

TEST_F(CFileTest, SeekBeforeStartThrowsAndKeepsPosition) {
  CFile f(path("s"), CFile::modeCreate | CFile::modeReadWrite);
  f.Write("abc", 3);
  try {
    f.Seek(-4, CFile::current);
    FAIL() << "no exception";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.m_cause, CFileException::badSeek);
    EXPECT_EQ(e.m_strFileName, path("s"));
  }
  EXPECT_EQ(f.GetPosition(), 3u);
  EXPECT_THROW(f.Seek(0, 3), CFileException);
}

TEST_F(CFileTest, ReadIsShortOnlyAtTheEnd) {
  writeFile(path("r"), "0123456789");
  CFile f(path("r"), CFile::modeRead);
  char buf[8];
  EXPECT_EQ(f.Read(buf, 8), 8u);
  EXPECT_EQ(f.Read(buf, 8), 2u);
  EXPECT_EQ(std::string(buf, 2), "89");
  EXPECT_EQ(f.Read(buf, 8), 0u);
  EXPECT_EQ(f.Read(buf, 0), 0u);
}

TEST_F(CFileTest, WriteOnAFullDiskThrowsDiskFullWithTheFileName) {
  KFaultFileSystem faults(KFileSystem::Default());
  KFileSystem::SetCurrent(&faults);
  CFile f(path("full"), CFile::modeCreate | CFile::modeWrite);
  faults.failNth(KFaultFileSystem::kWrite, 1, ENOSPC);
  try {
    f.Write("data", 4);
    FAIL() << "no exception";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.m_cause, CFileException::diskFull);
    EXPECT_EQ(e.m_lOsError, ENOSPC);
    EXPECT_EQ(e.m_strFileName, path("full"));
    KString text;
    e.GetErrorMessage(text);
    EXPECT_NE(text.Find(path("full")), -1);
  }
}

TEST_F(CFileTest, OpenFailureFillsTheException) {
  CFile f;
  CFileException e;
  EXPECT_FALSE(f.Open(path("missing"), CFile::modeRead, &e));
  EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
  EXPECT_EQ(e.m_lOsError, ENOENT);
  EXPECT_EQ(e.m_strFileName, path("missing"));
  EXPECT_FALSE(f.isOpen());

  EXPECT_FALSE(f.Open(m_dir.c_str(), CFile::modeRead, &e));
  EXPECT_EQ(e.m_cause, CFileException::accessDenied);
  EXPECT_FALSE(f.Open(path("missing/x"), CFile::modeCreate | CFile::modeWrite, &e));
  EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
  EXPECT_FALSE(f.Open(path("x"), CFile::modeWrite | CFile::modeReadWrite, &e));
  EXPECT_EQ(e.m_cause, CFileException::genericException);
  EXPECT_FALSE(f.Open(path("missing"), CFile::modeRead));  // no exception object
  EXPECT_THROW(CFile(path("missing"), CFile::modeRead), CFileException);
}

TEST_F(CFileTest, OpenOnAnOpenFileIsRefused) {
  CFile f(path("a"), CFile::modeCreate | CFile::modeWrite);
  CFileException e;
  EXPECT_FALSE(f.Open(path("b"), CFile::modeCreate | CFile::modeWrite, &e));
  EXPECT_EQ(e.m_cause, CFileException::genericException);
  EXPECT_EQ(f.GetFilePath(), path("a"));
}

TEST_F(CFileTest, CreateTruncatesUnlessNoTruncate) {
  writeFile(path("t"), "old content");
  { CFile f(path("t"), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite); }
  EXPECT_EQ(readFile(path("t")), "old content");
  { CFile f(path("t"), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary); }
  EXPECT_EQ(readFile(path("t")), "");
}

TEST_F(CFileTest, SharingConflictIsRefusedWithoutTruncating) {
  writeFile(path("shared"), "keep me");
  CFile holder(path("shared"), CFile::modeRead | CFile::shareExclusive);
  CFile other;
  CFileException e;
  EXPECT_FALSE(other.Open(path("shared"), CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite, &e));
  EXPECT_EQ(e.m_cause, CFileException::sharingViolation);
  EXPECT_FALSE(other.Open(path("shared"), CFile::modeRead | CFile::shareDenyWrite, &e));
  EXPECT_TRUE(other.Open(path("shared"), CFile::modeRead | CFile::shareDenyNone, &e));
  other.Close();
  holder.Close();
  EXPECT_EQ(readFile(path("shared")), "keep me");
  CFile reader1(path("shared"), CFile::modeRead | CFile::shareDenyWrite);
  CFile reader2(path("shared"), CFile::modeRead | CFile::shareDenyWrite);
  EXPECT_TRUE(reader2.isOpen());
}

TEST_F(CFileTest, ClosedFileOperationsThrowInvalidFile) {
  CFile f;
  char c;
  try {
    f.Read(&c, 1);
    FAIL() << "no exception";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.m_cause, CFileException::invalidFile);
  }
  EXPECT_THROW(f.Write(&c, 1), CFileException);
  EXPECT_THROW(f.GetLength(), CFileException);
  EXPECT_THROW(f.Seek(0, CFile::begin), CFileException);
  EXPECT_NO_THROW(f.Close());
  EXPECT_NO_THROW(f.Abort());
  EXPECT_NO_THROW(f.Flush());
}

TEST_F(CFileTest, FailedCloseThrowsAndClosesOnce) {
  KFaultFileSystem faults(KFileSystem::Default());
  KFileSystem::SetCurrent(&faults);
  {
    CFile f(path("c"), CFile::modeCreate | CFile::modeWrite);
    faults.failNth(KFaultFileSystem::kClose, 1, EIO);
    try {
      f.Close();
      FAIL() << "no exception";
    } catch (const CFileException& e) {
      EXPECT_EQ(e.m_cause, CFileException::hardIO);
    }
    EXPECT_FALSE(f.isOpen());
  }
  EXPECT_EQ(faults.callCount(KFaultFileSystem::kClose), 1);
}

TEST_F(CFileTest, DestructorClosesOnlyWhatItOpened) {
  KFaultFileSystem faults(KFileSystem::Default());
  KFileSystem::SetCurrent(&faults);
  KFileSystem::Handle h;
  ASSERT_EQ(faults.open(path("h"), KFileSystem::kWrite | KFileSystem::kCreate, h), 0);
  { CFile attached(h); attached.Write("x", 1); }
  { CFile owned(path("o"), CFile::modeCreate | CFile::modeWrite); }
  EXPECT_EQ(faults.callCount(KFaultFileSystem::kClose), 1);
  EXPECT_EQ(faults.close(h), 0);
}

TEST_F(CFileTest, EveryInjectedFaultOfASaveIsReported) {
  KFaultFileSystem faults(KFileSystem::Default());
  KFileSystem::SetCurrent(&faults);
  for (long n = 1;; ++n) {
    faults.failNth(KFaultFileSystem::kAny, n, EIO);
    bool reported = false;
    try {
      CFile f;
      CFileException e;
      if (!f.Open(path("save"), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive, &e)) throw e;
      f.Write("abc", 3);
      f.Flush();
      f.Close();
    } catch (const CFileException& e) {
      reported = true;
      EXPECT_EQ(e.m_lOsError, EIO);
      EXPECT_EQ(e.m_strFileName, path("save"));
    }
    EXPECT_EQ(reported, faults.fired()) << "call " << n;
    if (!faults.fired()) break;
    ASSERT_LT(n, 20);
  }
  KFileSystem::SetCurrent(nullptr);
  EXPECT_EQ(readFile(path("save")), "abc");
}

TEST_F(CFileTest, RenameAndRemoveThrowWithTheName) {
  writeFile(path("a"), "1");
  CFile::Rename(path("a"), path("b"));
  EXPECT_EQ(readFile(path("b")), "1");
  try {
    CFile::Rename(path("a"), path("c"));
    FAIL() << "no exception";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(e.m_strFileName, path("a"));
  }
  CFile::Remove(path("b"));
  EXPECT_THROW(CFile::Remove(path("b")), CFileException);
  EXPECT_THROW(CFile::Remove(nullptr), CInvalidArgException);
}

TEST_F(CFileTest, PathPartsAndNullPath) {
  CFile f;
  f.SetFilePath("/models/beam.v2.qdb");
  EXPECT_EQ(f.GetFilePath(), "/models/beam.v2.qdb");
  EXPECT_EQ(f.GetFileName(), "beam.v2.qdb");
  EXPECT_EQ(f.GetFileTitle(), "beam.v2");
  f.SetFilePath("C:\\models\\.hidden");
  EXPECT_EQ(f.GetFileName(), ".hidden");
  EXPECT_EQ(f.GetFileTitle(), ".hidden");
  EXPECT_THROW(f.SetFilePath(nullptr), CInvalidArgException);
}
