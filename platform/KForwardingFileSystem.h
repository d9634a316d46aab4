// KForwardingFileSystem: a KFileSystem that passes every call on to a target
// file system. Wrappers that watch or change a few calls (counting reads,
// failing writes, slowing syncs) derive from it and override only those.
//
// The wrapper does not own the target, which must outlive it.
#pragma once
#include "platform/KFileSystem.h"

class KForwardingFileSystem : public KFileSystem {
 public:
  explicit KForwardingFileSystem(KFileSystem* target) : m_target(target) {}

  KFileSystem* target() const { return m_target; }

  int open(const char* path, unsigned flags, Handle& handle) override {
    return m_target->open(path, flags, handle);
  }
  int read(Handle handle, void* buffer, size_t count, size_t& done) override {
    return m_target->read(handle, buffer, count, done);
  }
  int write(Handle handle, const void* buffer, size_t count, size_t& done) override {
    return m_target->write(handle, buffer, count, done);
  }
  int seek(Handle handle, int64_t offset, Origin origin, uint64_t& position) override {
    return m_target->seek(handle, offset, origin, position);
  }
  int size(Handle handle, uint64_t& bytes) override { return m_target->size(handle, bytes); }
  int truncate(Handle handle, uint64_t bytes) override { return m_target->truncate(handle, bytes); }
  int sync(Handle handle) override { return m_target->sync(handle); }
  int setPermissions(Handle handle, unsigned mode) override { return m_target->setPermissions(handle, mode); }
  int close(Handle handle) override { return m_target->close(handle); }
  int lock(Handle handle, bool exclusive, bool wait) override { return m_target->lock(handle, exclusive, wait); }
  int unlock(Handle handle) override { return m_target->unlock(handle); }
  int rename(const char* from, const char* to) override { return m_target->rename(from, to); }
  int syncDirectory(const char* path) override { return m_target->syncDirectory(path); }
  int remove(const char* path) override { return m_target->remove(path); }
  bool exists(const char* path) override { return m_target->exists(path); }
  int createDirectory(const char* path) override { return m_target->createDirectory(path); }
  int listDirectory(const char* path, std::vector<KString>& names) override {
    return m_target->listDirectory(path, names);
  }
  int freeSpace(const char* path, uint64_t& bytes) override { return m_target->freeSpace(path, bytes); }

 private:
  KFileSystem* m_target;
};
