#include "platform/KFaultFileSystem.h"

void KFaultFileSystem::failNth(Kind kind, long n, int error, bool persistent) {
  for (long& c : m_calls) c = 0;
  m_kind = kind;
  m_failAt = n > 0 ? n : 0;
  m_error = error;
  m_persistent = persistent;
  m_fired = false;
}

int KFaultFileSystem::check(Kind kind) {
  ++m_calls[kind];
  ++m_calls[kAny];
  if (!m_failAt) return 0;
  long n = m_calls[m_kind == kAny ? kAny : m_kind];
  if ((m_kind != kAny && m_kind != kind) || n < m_failAt) return 0;
  if (n > m_failAt && !m_persistent) return 0;
  m_fired = true;
  return m_error;
}

int KFaultFileSystem::open(const char* path, unsigned flags, Handle& handle) {
  handle = kInvalidHandle;
  if (int rc = check(kOpen)) return rc;
  return target()->open(path, flags, handle);
}

int KFaultFileSystem::read(Handle handle, void* buffer, size_t count, size_t& done) {
  done = 0;
  if (int rc = check(kRead)) return rc;
  return target()->read(handle, buffer, count, done);
}

int KFaultFileSystem::write(Handle handle, const void* buffer, size_t count, size_t& done) {
  done = 0;
  int rc = check(kWrite);
  if (!rc) return target()->write(handle, buffer, count, done);
  if (m_shortWrite && count > 1) {
    int partial = target()->write(handle, buffer, count / 2, done);
    if (partial) return partial;
  }
  return rc;
}

int KFaultFileSystem::seek(Handle handle, int64_t offset, Origin origin, uint64_t& position) {
  if (int rc = check(kSeek)) return rc;
  return target()->seek(handle, offset, origin, position);
}

int KFaultFileSystem::size(Handle handle, uint64_t& bytes) {
  if (int rc = check(kSize)) return rc;
  return target()->size(handle, bytes);
}

int KFaultFileSystem::truncate(Handle handle, uint64_t bytes) {
  if (int rc = check(kTruncate)) return rc;
  return target()->truncate(handle, bytes);
}

int KFaultFileSystem::sync(Handle handle) {
  if (int rc = check(kSync)) return rc;
  return target()->sync(handle);
}

int KFaultFileSystem::setPermissions(Handle handle, unsigned mode) {
  if (int rc = check(kOther)) return rc;
  return target()->setPermissions(handle, mode);
}

int KFaultFileSystem::close(Handle handle) {
  int rc = check(kClose);
  int real = target()->close(handle);
  return rc ? rc : real;
}

int KFaultFileSystem::lock(Handle handle, bool exclusive, bool wait) {
  if (int rc = check(kLock)) return rc;
  return target()->lock(handle, exclusive, wait);
}

int KFaultFileSystem::unlock(Handle handle) {
  if (int rc = check(kLock)) return rc;
  return target()->unlock(handle);
}

int KFaultFileSystem::rename(const char* from, const char* to) {
  if (int rc = check(kRename)) return rc;
  return target()->rename(from, to);
}

int KFaultFileSystem::syncDirectory(const char* path) {
  if (int rc = check(kSync)) return rc;
  return target()->syncDirectory(path);
}

int KFaultFileSystem::remove(const char* path) {
  if (int rc = check(kRemove)) return rc;
  return target()->remove(path);
}

int KFaultFileSystem::createDirectory(const char* path) {
  if (int rc = check(kOther)) return rc;
  return target()->createDirectory(path);
}

int KFaultFileSystem::listDirectory(const char* path, std::vector<KString>& names) {
  names.clear();
  if (int rc = check(kOther)) return rc;
  return target()->listDirectory(path, names);
}

int KFaultFileSystem::freeSpace(const char* path, uint64_t& bytes) {
  if (int rc = check(kOther)) return rc;
  return target()->freeSpace(path, bytes);
}
