// KMemFileSystem: a KFileSystem held wholly in memory, for tests that need
// files but no disk, and for tests that need a disk of a given size.
//
// It keeps the POSIX behaviour the library relies on: a removed or replaced
// file stays readable through handles opened before; rename replaces its
// target atomically; files are created only in existing folders; locks are
// per handle. The root "/" and "." always exist. Paths are taken as given
// (no "..", no links); a trailing '/' is ignored.
//
// With a capacity set, a write that would make the files' total size exceed
// it fails with ENOSPC and writes nothing. A lock that conflicts fails with
// EWOULDBLOCK, or EDEADLK when asked to wait (nothing could release it).
#pragma once
#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/KFileSystem.h"

class KMemFileSystem : public KFileSystem {
 public:
  KMemFileSystem();

  int open(const char* path, unsigned flags, Handle& handle) override;
  int read(Handle handle, void* buffer, size_t count, size_t& done) override;
  int write(Handle handle, const void* buffer, size_t count, size_t& done) override;
  int seek(Handle handle, int64_t offset, Origin origin, uint64_t& position) override;
  int size(Handle handle, uint64_t& bytes) override;
  int truncate(Handle handle, uint64_t bytes) override;
  int sync(Handle handle) override;
  int setPermissions(Handle handle, unsigned mode) override;
  int close(Handle handle) override;
  int lock(Handle handle, bool exclusive, bool wait) override;
  int unlock(Handle handle) override;
  int rename(const char* from, const char* to) override;
  int syncDirectory(const char* path) override;
  int remove(const char* path) override;
  bool exists(const char* path) override;
  int createDirectory(const char* path) override;
  int listDirectory(const char* path, std::vector<KString>& names) override;
  int freeSpace(const char* path, uint64_t& bytes) override;

  // Total bytes the files may hold; 0 (the default) is unlimited.
  void setCapacity(uint64_t bytes) { m_capacity = bytes; }
  // The content of a file; false when there is no such file.
  bool contents(const char* path, std::string& bytes) const;
  // The permission bits of a file, or -1 when there is no such file.
  int permissions(const char* path) const;
  // Open handles, for tests that check nothing is left open.
  size_t openHandles() const { return m_handles.size(); }

 private:
  struct Node {
    std::string data;
    unsigned mode = 0644;
    Handle exclusiveHolder = kInvalidHandle;
    std::set<Handle> sharedHolders;
  };
  struct OpenFile {
    std::shared_ptr<Node> node;
    uint64_t position = 0;
    unsigned flags = 0;
  };

  static std::string clean(const char* path);
  static std::string parentOf(const std::string& path);
  bool isDirectory(const std::string& path) const;
  OpenFile* find(Handle handle);
  uint64_t usedBytes() const;

  std::map<std::string, std::shared_ptr<Node>> m_files;
  std::set<std::string> m_folders;
  std::map<Handle, OpenFile> m_handles;
  Handle m_nextHandle = 3;
  uint64_t m_capacity = 0;
};
