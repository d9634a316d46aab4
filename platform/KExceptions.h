// The exception classes of the file layers and of the few other places that
// throw: CException and its kinds, thrown by value and caught by reference
// (catch (const CException& e)). They own nothing beyond their texts and may
// be copied freely.
//
// CFileException carries a cause from the list below, the operating-system
// error number that produced it (an errno value, or -1 when the failure did
// not come from the system) and the name of the file. OsErrorToCause is the
// one place where system error numbers become causes.
#pragma once
#include "platform/KString.h"
#include "platform/KWinTypes.h"

class CException {
 public:
  virtual ~CException() = default;
  // A readable English text for the user; FALSE when there is none (the text
  // is then empty).
  virtual BOOL GetErrorMessage(KString& message) const;
};

class CMemoryException : public CException {
 public:
  BOOL GetErrorMessage(KString& message) const override;
};

class CInvalidArgException : public CException {
 public:
  BOOL GetErrorMessage(KString& message) const override;
};

class CFileException : public CException {
 public:
  enum {
    none = 0,
    genericException = 1,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile
  };

  explicit CFileException(int cause = none, LONG lOsError = -1, LPCTSTR fileName = nullptr)
      : m_cause(cause), m_lOsError(lOsError), m_strFileName(fileName) {}

  // Names the cause and the file; adds the system's text for m_lOsError when
  // it is a system error number.
  BOOL GetErrorMessage(KString& message) const override;

  // The cause that a system error number (errno) stands for; 0 gives none,
  // numbers without a closer cause give genericException.
  static int OsErrorToCause(LONG lOsError);
  // Throws a CFileException for the system error number.
  [[noreturn]] static void ThrowOsError(LONG lOsError, LPCTSTR fileName = nullptr);

  int m_cause;
  LONG m_lOsError;
  KString m_strFileName;
};

[[noreturn]] void AfxThrowFileException(int cause, LONG lOsError = -1, LPCTSTR fileName = nullptr);
[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowInvalidArgException();
