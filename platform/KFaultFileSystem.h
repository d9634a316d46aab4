// KFaultFileSystem: a KFileSystem that forwards every call to a target file
// system and, on request, makes the n-th call of a chosen kind fail with a
// chosen error number, so that a test can fail each step of an operation in
// turn:
//
//   for (long n = 1;; ++n) {
//     faults.failNth(KFaultFileSystem::kAny, n, EIO);
//     bool done = runOperation();          // through KFileSystem::Current()
//     if (!faults.fired()) break;          // every step has been failed once
//     checkDataIntact();
//   }
//
// A failed call does not reach the target, with two exceptions that mirror
// real systems: a failing close still closes the target handle (so nothing
// leaks), and in short-write mode a failing write first writes half of its
// bytes (a torn write, as when the disk fills up mid-way) and reports them in
// `done`. With `persistent`, every call of the kind from the n-th on fails
// (a disk that stays full).
//
// Calls are counted per kind from the last failNth or reset; exists() is
// passed on uncounted.
#pragma once
#include "platform/KForwardingFileSystem.h"

class KFaultFileSystem : public KForwardingFileSystem {
 public:
  enum Kind {
    kOpen, kRead, kWrite, kSeek, kSize, kTruncate, kSync, kClose,
    kLock, kRename, kRemove, kOther,  // kOther: folders, listing, free space, permissions
    kAny,                             // any call of any kind
    kKinds
  };

  explicit KFaultFileSystem(KFileSystem* target) : KForwardingFileSystem(target) {}

  // Arms a fault: the n-th call of `kind` from now fails with `error`;
  // n = 0 disarms. Restarts all counters and clears fired().
  void failNth(Kind kind, long n, int error, bool persistent = false);
  void setShortWrite(bool on) { m_shortWrite = on; }
  // Disarms and restarts the counters.
  void reset() { failNth(kAny, 0, 0); }

  // Calls of `kind` since the last failNth or reset (failed ones included).
  long callCount(Kind kind) const { return m_calls[kind]; }
  // True once the armed fault has failed a call.
  bool fired() const { return m_fired; }

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
  int createDirectory(const char* path) override;
  int listDirectory(const char* path, std::vector<KString>& names) override;
  int freeSpace(const char* path, uint64_t& bytes) override;

 private:
  // Counts a call of `kind`; answers the error it must fail with, or 0.
  int check(Kind kind);

  long m_calls[kKinds] = {};
  Kind m_kind = kAny;
  long m_failAt = 0;
  int m_error = 0;
  bool m_persistent = false;
  bool m_shortWrite = false;
  bool m_fired = false;
};
