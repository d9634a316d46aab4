#include "platform/KExceptions.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {
KString messageOf(const CException& e) {
  KString text;
  EXPECT_TRUE(e.GetErrorMessage(text));
  return text;
}
}  // namespace

TEST(KExceptionsTest, OsErrorsMapToTheirCauses) {
  struct { LONG error; int cause; } table[] = {
      {0, CFileException::none},
      {ENOENT, CFileException::fileNotFound},
      {ENOTDIR, CFileException::badPath},
      {ENAMETOOLONG, CFileException::badPath},
      {EMFILE, CFileException::tooManyOpenFiles},
      {EACCES, CFileException::accessDenied},
      {EISDIR, CFileException::accessDenied},
      {EBADF, CFileException::invalidFile},
      {EIO, CFileException::hardIO},
      {EWOULDBLOCK, CFileException::sharingViolation},
      {ENOLCK, CFileException::lockViolation},
      {ENOSPC, CFileException::diskFull},
      {EDQUOT, CFileException::diskFull},
      {EFBIG, CFileException::diskFull},
      {ESPIPE, CFileException::badSeek},
      {EXDEV, CFileException::genericException},
      {-1, CFileException::genericException},
  };
  for (const auto& row : table)
    EXPECT_EQ(CFileException::OsErrorToCause(row.error), row.cause) << "errno " << row.error;
}

TEST(KExceptionsTest, CauseNumbersAreTheStandardOnes) {
  EXPECT_EQ(CFileException::genericException, 1);
  EXPECT_EQ(CFileException::accessDenied, 5);
  EXPECT_EQ(CFileException::badSeek, 9);
  EXPECT_EQ(CFileException::diskFull, 13);
  EXPECT_EQ(CFileException::endOfFile, 14);
}

TEST(KExceptionsTest, FileMessageNamesFileCauseAndSystemError) {
  KString text = messageOf(CFileException(CFileException::diskFull, ENOSPC, "/data/model.qdb"));
  EXPECT_NE(text.Find("/data/model.qdb"), -1) << text.GetString();
  EXPECT_NE(text.Find("disk is full"), -1) << text.GetString();
  EXPECT_NE(text.Find("No space left on device"), -1) << text.GetString();
}

TEST(KExceptionsTest, FileMessageWithoutNameOrSystemError) {
  KString text = messageOf(CFileException(CFileException::genericException));
  EXPECT_EQ(text, "An unexpected error occurred while accessing an unnamed file.");
  EXPECT_EQ(messageOf(CFileException(99, -1, "x")), "An unexpected error occurred while accessing the file \"x\".");
}

TEST(KExceptionsTest, ThrownByValueAndCaughtAsBase) {
  try {
    CFileException::ThrowOsError(ENOENT, "missing.txt");
  } catch (const CException& e) {
    const auto* file = dynamic_cast<const CFileException*>(&e);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->m_cause, CFileException::fileNotFound);
    EXPECT_EQ(file->m_lOsError, ENOENT);
    EXPECT_EQ(file->m_strFileName, "missing.txt");
  }
  EXPECT_THROW(AfxThrowMemoryException(), CMemoryException);
  EXPECT_THROW(AfxThrowInvalidArgException(), CInvalidArgException);
  EXPECT_THROW(AfxThrowFileException(CFileException::endOfFile), CFileException);
}

TEST(KExceptionsTest, BaseHasNoMessage) {
  KString text = "stale";
  EXPECT_FALSE(CException().GetErrorMessage(text));
  EXPECT_TRUE(text.IsEmpty());
  EXPECT_EQ(messageOf(CMemoryException()), "Out of memory.");
}
