#include "platform/KExceptions.h"

#include "platform/KLastError.h"

#include <cerrno>
#include <cstring>

BOOL CException::GetErrorMessage(KString& message) const {
  message.Empty();
  return FALSE;
}

BOOL CMemoryException::GetErrorMessage(KString& message) const {
  message = "Out of memory.";
  return TRUE;
}

BOOL CInvalidArgException::GetErrorMessage(KString& message) const {
  message = "An invalid argument was given to an operation.";
  return TRUE;
}

BOOL CFileException::GetErrorMessage(KString& message) const {
  KString file = m_strFileName.IsEmpty() ? KString("an unnamed file") : "the file \"" + m_strFileName + "\"";
  const char* format;
  switch (m_cause) {
    case none: format = "No error occurred with %s."; break;
    case fileNotFound: format = "Could not find %s."; break;
    case badPath: format = "The path of %s is not valid."; break;
    case tooManyOpenFiles: format = "Could not open %s: too many files are open."; break;
    case accessDenied: format = "Access to %s was denied."; break;
    case invalidFile: format = "An invalid file handle was used for %s."; break;
    case removeCurrentDir: format = "Could not remove %s: it is the current directory."; break;
    case directoryFull: format = "Could not create %s: the directory is full."; break;
    case badSeek: format = "Could not move to the requested position in %s."; break;
    case hardIO: format = "A hardware input/output error occurred while accessing %s."; break;
    case sharingViolation: format = "Could not access %s: it is in use by another program."; break;
    case lockViolation: format = "Could not access %s: part of it is locked."; break;
    case diskFull: format = "The disk is full: could not write %s."; break;
    case endOfFile: format = "Tried to read past the end of %s."; break;
    default: format = "An unexpected error occurred while accessing %s."; break;
  }
  message.Format(format, file.GetString());
  if (m_lOsError > 0) message.AppendFormat(" (system error %d: %s)", static_cast<int>(m_lOsError), std::strerror(m_lOsError));
  return TRUE;
}

int CFileException::OsErrorToCause(LONG lOsError) {
  // errno -> Win32 code (the one translation of system errors) -> cause, as
  // the file exceptions of the Win32 library map Win32 codes.
  switch (KWin32ErrorFromErrno(static_cast<int>(lOsError), ERROR_INVALID_DATA)) {
    case ERROR_SUCCESS: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_NAME: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
    case ERROR_DIR_NOT_EMPTY: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_CANNOT_MAKE: return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK: return badSeek;
    case ERROR_IO_DEVICE:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT: return hardIO;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL: return diskFull;
    default: return genericException;
  }
}

void CFileException::ThrowOsError(LONG lOsError, LPCTSTR fileName) {
  throw CFileException(OsErrorToCause(lOsError), lOsError, fileName);
}

void AfxThrowFileException(int cause, LONG lOsError, LPCTSTR fileName) {
  throw CFileException(cause, lOsError, fileName);
}

void AfxThrowMemoryException() { throw CMemoryException(); }

void AfxThrowInvalidArgException() { throw CInvalidArgException(); }
