// CFile: an unbuffered binary file with the names and behaviour of the model
// class, over the file system that is current (KFileSystem::Current()) when
// it is opened.
//
// State: closed (m_hFile == hFileNull) or open on m_pFileSystem. Operations
// other than Open, Close, Abort, Flush and the path accessors require an open
// file and throw CFileException(invalidFile, EBADF) on a closed one. Failures of
// the file system throw CFileException by value with the cause that the
// system error number stands for, the error number and the file's path.
//
// Positions and lengths are 64-bit. The object owns the open file when it
// opened it (m_bCloseOnDelete); the destructor then closes it without
// reporting errors, so a writer that must know its data reached the file
// calls Close (or Flush) itself.
//
// Sharing modes are kept as advisory whole-file locks taken at Open: a
// writer that denies anything, and shareExclusive and shareDenyRead, take an
// exclusive lock; shareDenyWrite on a reader takes a shared one;
// shareDenyNone and shareCompat take none. A conflicting lock makes Open fail
// with sharingViolation. Files are always binary; typeText and typeBinary
// are accepted and ignored.
#pragma once
#include "platform/KExceptions.h"
#include "platform/KFileSystem.h"
#include "platform/KString.h"
#include "platform/KWinTypes.h"

class CFile {
 public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000
  };
  enum SeekPosition : UINT { begin = 0x0, current = 0x1, end = 0x2 };
  static constexpr KFileSystem::Handle hFileNull = KFileSystem::kInvalidHandle;

  CFile() = default;
  // Opens the file or throws the CFileException that Open would report.
  CFile(LPCTSTR fileName, UINT openFlags);
  // Attaches an open handle of the current file system; it is not closed on
  // destruction.
  explicit CFile(KFileSystem::Handle hFile);
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;
  virtual ~CFile();

  // Opens (modeCreate: creates, and empties unless modeNoTruncate) the file
  // and records its path. On failure answers FALSE and, when pError is given,
  // fills it with the cause, system error number and file name. Fails with
  // genericException when this object already has a file open.
  virtual BOOL Open(LPCTSTR fileName, UINT openFlags, CFileException* pError = nullptr);

  // Reads up to `count` bytes; answers fewer only at the end of the file.
  virtual UINT Read(void* buffer, UINT count);
  // Writes all `count` bytes or throws (a full disk gives diskFull).
  virtual void Write(const void* buffer, UINT count);
  // Moves the position; a position before the start throws badSeek and
  // leaves the position unchanged. Positions past the end are allowed.
  virtual ULONGLONG Seek(LONGLONG offset, UINT from);
  virtual ULONGLONG GetPosition() const;
  void SeekToBegin() { Seek(0, begin); }
  ULONGLONG SeekToEnd() { return Seek(0, end); }
  virtual ULONGLONG GetLength() const;
  // Cuts or extends (with zero bytes) the file; the position is unchanged.
  virtual void SetLength(ULONGLONG newLength);
  // Forces written data to the device.
  virtual void Flush();
  // Closes the file; throws when the file system reports that the close
  // failed (the file is closed all the same). Closing a closed file does
  // nothing.
  virtual void Close();
  // Closes the file, ignoring every error.
  virtual void Abort();

  // Renames (replacing an existing target) and removes files; throw on
  // failure with the old name or the removed name.
  static void Rename(LPCTSTR oldName, LPCTSTR newName);
  static void Remove(LPCTSTR fileName);

  // The path as given to Open or SetFilePath.
  virtual void SetFilePath(LPCTSTR newName);
  virtual KString GetFilePath() const { return m_strFileName; }
  // The last component of the path (after the last '/' or '\\').
  virtual KString GetFileName() const;
  // The file name without its extension.
  virtual KString GetFileTitle() const;

  bool isOpen() const { return m_hFile != hFileNull; }

  KFileSystem::Handle m_hFile = hFileNull;
  BOOL m_bCloseOnDelete = FALSE;

 protected:
  KString m_strFileName;
  KFileSystem* m_pFileSystem = nullptr;

 private:
  KFileSystem* fileSystem() const;
  [[noreturn]] void throwError(int osError) const;
  void release();
};
