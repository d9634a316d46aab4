#include "platform/KFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <string>

namespace {

// The file system over the POSIX calls. Handles are file descriptors.
class KPosixFileSystem final : public KFileSystem {
 public:
  int open(const char* path, unsigned flags, Handle& handle) override {
    handle = kInvalidHandle;
    if (!path || !(flags & kReadWrite)) return EINVAL;
    int oflags = O_CLOEXEC;
    oflags |= (flags & kReadWrite) == kReadWrite ? O_RDWR : (flags & kWrite) ? O_WRONLY : O_RDONLY;
    if (flags & kCreate) oflags |= O_CREAT;
    if ((flags & kTruncate) && (flags & kWrite)) oflags |= O_TRUNC;
    if ((flags & kExclusive) && (flags & kCreate)) oflags |= O_EXCL;
    int fd;
    do fd = ::open(path, oflags, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) return errno;
    // A folder opens for reading on POSIX; refuse it here rather than let
    // every later read fail with a less clear error.
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
      ::close(fd);
      return EISDIR;
    }
    handle = fd;
    return 0;
  }

  int read(Handle handle, void* buffer, size_t count, size_t& done) override {
    done = 0;
    while (done < count) {
      ssize_t n = ::read(fd(handle), static_cast<char*>(buffer) + done, count - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      if (n == 0) break;
      done += static_cast<size_t>(n);
    }
    return 0;
  }

  int write(Handle handle, const void* buffer, size_t count, size_t& done) override {
    done = 0;
    while (done < count) {
      ssize_t n = ::write(fd(handle), static_cast<const char*>(buffer) + done, count - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      if (n == 0) return ENOSPC;  // no progress and no error: treat as full
      done += static_cast<size_t>(n);
    }
    return 0;
  }

  int seek(Handle handle, int64_t offset, Origin origin, uint64_t& position) override {
    int whence = origin == kBegin ? SEEK_SET : origin == kCurrent ? SEEK_CUR : origin == kEnd ? SEEK_END : -1;
    if (whence < 0) return EINVAL;
    off_t at = ::lseek(fd(handle), static_cast<off_t>(offset), whence);
    if (at < 0) return errno;
    position = static_cast<uint64_t>(at);
    return 0;
  }

  int size(Handle handle, uint64_t& bytes) override {
    struct stat st;
    if (::fstat(fd(handle), &st) != 0) return errno;
    bytes = static_cast<uint64_t>(st.st_size);
    return 0;
  }

  int truncate(Handle handle, uint64_t bytes) override {
    if (bytes > static_cast<uint64_t>(INT64_MAX)) return EFBIG;
    int rc;
    do rc = ::ftruncate(fd(handle), static_cast<off_t>(bytes));
    while (rc != 0 && errno == EINTR);
    return rc == 0 ? 0 : errno;
  }

  int sync(Handle handle) override { return ::fsync(fd(handle)) == 0 ? 0 : errno; }
  int setPermissions(Handle handle, unsigned mode) override {
    return ::fchmod(fd(handle), static_cast<mode_t>(mode & 07777)) == 0 ? 0 : errno;
  }

  int close(Handle handle) override {
    // The descriptor is released even when close reports an error (EINTR
    // included), so it must never be closed a second time.
    return ::close(fd(handle)) == 0 ? 0 : errno;
  }

  int lock(Handle handle, bool exclusive, bool wait) override {
    int op = (exclusive ? LOCK_EX : LOCK_SH) | (wait ? 0 : LOCK_NB);
    int rc;
    do rc = ::flock(fd(handle), op);
    while (rc != 0 && errno == EINTR);
    return rc == 0 ? 0 : errno;
  }

  int unlock(Handle handle) override { return ::flock(fd(handle), LOCK_UN) == 0 ? 0 : errno; }

  int rename(const char* from, const char* to) override {
    if (!from || !to) return EINVAL;
    return ::rename(from, to) == 0 ? 0 : errno;
  }

  int syncDirectory(const char* path) override {
    if (!path) return EINVAL;
    int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    int rc = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return rc;
  }

  int remove(const char* path) override {
    if (!path) return EINVAL;
    return ::unlink(path) == 0 ? 0 : errno;
  }

  bool exists(const char* path) override {
    struct stat st;
    return path && ::stat(path, &st) == 0;
  }

  int createDirectory(const char* path) override {
    if (!path) return EINVAL;
    return ::mkdir(path, 0777) == 0 ? 0 : errno;
  }

  int listDirectory(const char* path, std::vector<KString>& names) override {
    names.clear();
    if (!path) return EINVAL;
    DIR* dir = ::opendir(path);
    if (!dir) return errno;
    errno = 0;
    while (struct dirent* entry = ::readdir(dir)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names.emplace_back(name);
      errno = 0;
    }
    int error = errno;
    ::closedir(dir);
    return error;
  }

  int freeSpace(const char* path, uint64_t& bytes) override {
    struct statvfs st;
    if (!path || ::statvfs(path, &st) != 0) return path ? errno : EINVAL;
    bytes = static_cast<uint64_t>(st.f_bavail) * st.f_frsize;
    return 0;
  }

 private:
  static int fd(Handle handle) {
    return handle >= 0 && handle <= INT_MAX ? static_cast<int>(handle) : -1;
  }
};

KFileSystem* g_current = nullptr;

}  // namespace

KFileSystem::~KFileSystem() = default;

KFileSystem* KFileSystem::Default() {
  // Never destroyed: files may still be closed by static destructors.
  static KFileSystem* fs = new KPosixFileSystem;
  return fs;
}

KFileSystem* KFileSystem::Current() { return g_current ? g_current : Default(); }

KFileSystem* KFileSystem::SetCurrent(KFileSystem* fs) {
  KFileSystem* previous = Current();
  g_current = fs;
  return previous;
}

int KFileSystem::createDirectories(const char* path) {
  if (!path || !*path) return EINVAL;
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  if (exists(p.c_str())) return 0;
  size_t slash = p.find_last_of('/');
  if (slash != std::string::npos && slash > 0) {
    if (int rc = createDirectories(p.substr(0, slash).c_str())) return rc;
  }
  int rc = createDirectory(p.c_str());
  return rc == EEXIST ? 0 : rc;
}

int KFileSystem::createTempFile(const char* folder, const char* prefix, KString& path) {
  if (!folder) return EINVAL;
  static unsigned counter = 0;
  KString base(*folder ? folder : ".");
  if (base[base.GetLength() - 1] != '/') base += '/';
  base += prefix;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    char unique[48];
    std::snprintf(unique, sizeof unique, "%ld-%u.tmp", static_cast<long>(::getpid()), ++counter);
    KString candidate = base + unique;
    Handle handle;
    int rc = open(candidate, kWrite | kCreate | kExclusive, handle);
    if (rc == EEXIST) continue;
    if (rc) return rc;
    rc = close(handle);
    if (rc) {
      remove(candidate);
      return rc;
    }
    path = candidate;
    return 0;
  }
  return EEXIST;
}

int KFileSystem::replaceFile(const char* temp, const char* path) {
  if (!temp || !path) return EINVAL;
  if (int rc = rename(temp, path)) return rc;
  std::string folder = path;
  size_t slash = folder.find_last_of('/');
  folder = slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : folder.substr(0, slash);
  syncDirectory(folder.c_str());
  return 0;
}

int KFileSystem::writeFileAtomically(const char* path, const void* data, size_t count, unsigned mode,
                                     const char* tempPrefix) {
  if (!path || (!data && count)) return EINVAL;
  std::string folder = path;
  size_t slash = folder.find_last_of('/');
  folder = slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : folder.substr(0, slash);
  KString temp;
  if (int rc = createTempFile(folder.c_str(), tempPrefix ? tempPrefix : "", temp)) return rc;
  Handle handle = kInvalidHandle;
  int rc = open(temp, kWrite | kTruncate, handle);
  if (!rc) {
    size_t done = 0;
    rc = write(handle, data, count, done);
    if (!rc) rc = setPermissions(handle, mode);
    if (!rc) rc = sync(handle);
    int closed = close(handle);
    if (!rc) rc = closed;
  }
  if (!rc) rc = replaceFile(temp, path);
  if (rc) remove(temp);
  return rc;
}

KString KFileSystem::currentDirectory() {
  char buf[PATH_MAX];
  return getcwd(buf, sizeof buf) ? KString(buf) : KString();
}
