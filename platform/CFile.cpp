#include "platform/CFile.h"

#include <cerrno>

namespace {

// The lock that a sharing mode stands for: 0 none, 1 shared, 2 exclusive.
int lockFor(UINT openFlags) {
  UINT share = openFlags & 0x70;
  bool writer = (openFlags & 0x3) != CFile::modeRead;
  if (share == CFile::shareExclusive || share == CFile::shareDenyRead) return 2;
  if (share == CFile::shareDenyWrite) return writer ? 2 : 1;
  return 0;
}

}  // namespace

CFile::CFile(LPCTSTR fileName, UINT openFlags) {
  CFileException error;
  if (!Open(fileName, openFlags, &error)) throw error;
}

CFile::CFile(KFileSystem::Handle hFile) : m_hFile(hFile), m_pFileSystem(KFileSystem::Current()) {}

CFile::~CFile() {
  if (isOpen() && m_bCloseOnDelete) Abort();
}

BOOL CFile::Open(LPCTSTR fileName, UINT openFlags, CFileException* pError) {
  auto fail = [&](int cause, LONG osError) {
    if (pError) {
      pError->m_cause = cause;
      pError->m_lOsError = osError;
      pError->m_strFileName = fileName;
    }
    return FALSE;
  };
  if (isOpen()) return fail(CFileException::genericException, -1);
  if (!fileName) fileName = "";

  unsigned flags;
  switch (openFlags & 0x3) {
    case modeRead: flags = KFileSystem::kRead; break;
    case modeWrite: flags = KFileSystem::kWrite; break;
    case modeReadWrite: flags = KFileSystem::kReadWrite; break;
    default: return fail(CFileException::OsErrorToCause(EINVAL), EINVAL);
  }
  int lock = lockFor(openFlags);
  bool truncate = (openFlags & modeCreate) && !(openFlags & modeNoTruncate);
  if (openFlags & modeCreate) flags |= KFileSystem::kCreate;
  // With a sharing lock, emptying the file waits until the lock is held, so
  // that a refused open never destroys the content of a file in use.
  if (truncate && !lock) flags |= KFileSystem::kTruncate;

  KFileSystem* fs = KFileSystem::Current();
  KFileSystem::Handle handle = hFileNull;
  int rc = fs->open(fileName, flags, handle);
  if (!rc && lock) rc = fs->lock(handle, lock == 2, false);
  if (!rc && lock && truncate && (flags & KFileSystem::kWrite)) rc = fs->truncate(handle, 0);
  if (rc) {
    if (handle != hFileNull) fs->close(handle);
    return fail(CFileException::OsErrorToCause(rc), rc);
  }
  m_hFile = handle;
  m_pFileSystem = fs;
  m_bCloseOnDelete = TRUE;
  m_strFileName = fileName;
  return TRUE;
}

UINT CFile::Read(void* buffer, UINT count) {
  KFileSystem* fs = fileSystem();
  if (count == 0) return 0;
  size_t done = 0;
  if (int rc = fs->read(m_hFile, buffer, count, done)) throwError(rc);
  return static_cast<UINT>(done);
}

void CFile::Write(const void* buffer, UINT count) {
  KFileSystem* fs = fileSystem();
  if (count == 0) return;
  size_t done = 0;
  if (int rc = fs->write(m_hFile, buffer, count, done)) throwError(rc);
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from) {
  KFileSystem* fs = fileSystem();
  if (from > end) throw CFileException(CFileException::badSeek, EINVAL, m_strFileName);
  uint64_t position = 0;
  if (int rc = fs->seek(m_hFile, offset, static_cast<KFileSystem::Origin>(from), position))
    throw CFileException(rc == EBADF ? CFileException::invalidFile : CFileException::badSeek, rc, m_strFileName);
  return position;
}

ULONGLONG CFile::GetPosition() const {
  KFileSystem* fs = fileSystem();
  uint64_t position = 0;
  if (int rc = fs->tell(m_hFile, position)) throwError(rc);
  return position;
}

ULONGLONG CFile::GetLength() const {
  KFileSystem* fs = fileSystem();
  uint64_t bytes = 0;
  if (int rc = fs->size(m_hFile, bytes)) throwError(rc);
  return bytes;
}

void CFile::SetLength(ULONGLONG newLength) {
  KFileSystem* fs = fileSystem();
  if (int rc = fs->truncate(m_hFile, newLength)) throwError(rc);
}

void CFile::Flush() {
  if (!isOpen()) return;
  if (int rc = fileSystem()->sync(m_hFile)) throwError(rc);
}

void CFile::Close() {
  if (!isOpen()) return;
  KFileSystem* fs = fileSystem();
  KFileSystem::Handle handle = m_hFile;
  release();
  if (int rc = fs->close(handle)) throwError(rc);
}

void CFile::Abort() {
  if (!isOpen()) return;
  KFileSystem* fs = fileSystem();
  KFileSystem::Handle handle = m_hFile;
  release();
  fs->close(handle);
}

void CFile::Rename(LPCTSTR oldName, LPCTSTR newName) {
  if (!oldName || !newName) AfxThrowInvalidArgException();
  if (int rc = KFileSystem::Current()->rename(oldName, newName)) CFileException::ThrowOsError(rc, oldName);
}

void CFile::Remove(LPCTSTR fileName) {
  if (!fileName) AfxThrowInvalidArgException();
  if (int rc = KFileSystem::Current()->remove(fileName)) CFileException::ThrowOsError(rc, fileName);
}

void CFile::SetFilePath(LPCTSTR newName) {
  if (!newName) AfxThrowInvalidArgException();
  m_strFileName = newName;
}

KString CFile::GetFileName() const {
  const std::string& path = m_strFileName.str();
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? m_strFileName : KString(path.substr(slash + 1));
}

KString CFile::GetFileTitle() const {
  KString name = GetFileName();
  const std::string& s = name.str();
  size_t dot = s.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : KString(s.substr(0, dot));
}

// The file system of the open file; throws invalidFile when none is open.
KFileSystem* CFile::fileSystem() const {
  if (!isOpen()) throw CFileException(CFileException::invalidFile, EBADF, m_strFileName);
  return m_pFileSystem ? m_pFileSystem : KFileSystem::Current();
}

void CFile::throwError(int osError) const { CFileException::ThrowOsError(osError, m_strFileName); }

void CFile::release() {
  m_hFile = hFileNull;
  m_bCloseOnDelete = FALSE;
  m_pFileSystem = nullptr;
}
