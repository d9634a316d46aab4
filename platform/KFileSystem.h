// KFileSystem: the narrow interface through which the library reaches files
// and folders. Every operation that can fail answers 0 on success or the
// operating-system error number (an errno value) on failure, so that each
// caller turns failures into its own kind of error in one place; out-arguments
// are meaningful only on success unless an operation says otherwise.
//
// Default() is the implementation over the POSIX calls; it belongs to the
// library and must never be deleted. Current() is the one that file classes
// use; tests swap in a forwarding or fault-injecting file system with
// SetCurrent and restore the default with SetCurrent(nullptr). The caller of
// SetCurrent keeps ownership and keeps the object alive while it is current
// and while files opened through it stay open.
//
// A Handle names one open file of the file system that opened it; it is
// meaningless to any other. All offsets and sizes are 64-bit.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/KString.h"

class KFileSystem {
 public:
  typedef intptr_t Handle;
  static constexpr Handle kInvalidHandle = -1;

  enum OpenFlags : unsigned {
    kRead = 0x1,
    kWrite = 0x2,
    kReadWrite = kRead | kWrite,
    kCreate = 0x4,     // create the file when it is missing
    kTruncate = 0x8,   // empty an existing file (needs kWrite)
    kExclusive = 0x10  // with kCreate: fail with EEXIST when the file exists
  };
  enum Origin { kBegin = 0, kCurrent = 1, kEnd = 2 };

  KFileSystem() = default;
  KFileSystem(const KFileSystem&) = delete;
  KFileSystem& operator=(const KFileSystem&) = delete;
  virtual ~KFileSystem();

  static KFileSystem* Default();
  static KFileSystem* Current();
  // Makes fs current (nullptr: the default) and answers the previous one.
  static KFileSystem* SetCurrent(KFileSystem* fs);

  // Opens a regular file; a folder fails with EISDIR. New files get mode 0666
  // less the process umask.
  virtual int open(const char* path, unsigned flags, Handle& handle) = 0;
  // Reads up to `count` bytes at the file position; `done` (set also on
  // failure) is short of `count` only at the end of the file.
  virtual int read(Handle handle, void* buffer, size_t count, size_t& done) = 0;
  // Writes all `count` bytes at the file position or fails; on failure
  // `done` tells how many bytes reached the file before it.
  virtual int write(Handle handle, const void* buffer, size_t count, size_t& done) = 0;
  // Moves the file position by `offset` from the origin and answers the new
  // position; a position before the start fails with EINVAL. Positions past
  // the end are allowed (a later write leaves a hole).
  virtual int seek(Handle handle, int64_t offset, Origin origin, uint64_t& position) = 0;
  virtual int size(Handle handle, uint64_t& bytes) = 0;
  // Cuts or extends (with zero bytes) the file to `bytes`; the position stays.
  virtual int truncate(Handle handle, uint64_t bytes) = 0;
  // Forces written data and the file's size to the device.
  virtual int sync(Handle handle) = 0;
  // Sets the file's permission bits (the low 12 bits of a POSIX mode).
  virtual int setPermissions(Handle handle, unsigned mode) = 0;
  // Releases the handle whatever the result; a failure means that data
  // written earlier may not have reached the file.
  virtual int close(Handle handle) = 0;

  // Advisory lock of the whole file, shared or exclusive; without `wait` a
  // conflicting lock fails with EWOULDBLOCK. Locks are held per open handle:
  // two handles on the same file conflict even within one process.
  virtual int lock(Handle handle, bool exclusive, bool wait) = 0;
  virtual int unlock(Handle handle) = 0;

  // Renames `from` to `to`, atomically replacing an existing file `to`.
  virtual int rename(const char* from, const char* to) = 0;
  // Forces the entries of a folder (files created or renamed in it) to the
  // device, so that a rename survives a power loss.
  virtual int syncDirectory(const char* path) = 0;
  // Removes a file (not a folder).
  virtual int remove(const char* path) = 0;
  virtual bool exists(const char* path) = 0;
  // Creates one folder; EEXIST when something of that name exists.
  virtual int createDirectory(const char* path) = 0;
  // Names of the entries of a folder, without "." and "..", in no set order.
  virtual int listDirectory(const char* path, std::vector<KString>& names) = 0;
  // Bytes available to this process on the device holding `path`.
  virtual int freeSpace(const char* path, uint64_t& bytes) = 0;

  // Position of the file; the same as seek(handle, 0, kCurrent, position).
  int tell(Handle handle, uint64_t& position) { return seek(handle, 0, kCurrent, position); }
  // Creates the folder and every missing parent; an existing folder is fine.
  int createDirectories(const char* path);
  // Creates a new empty file "<folder>/<prefix><unique>.tmp" that did not
  // exist before and answers its path; the caller removes it.
  int createTempFile(const char* folder, const char* prefix, KString& path);

  // Atomic replace. A file is never rewritten in place: the new content goes
  // to a temporary file in the same folder, which is synced, closed and then
  // renamed over the old file, so that a reader (or a crash) sees either the
  // old file whole or the new one whole.
  //
  // replaceFile is the last step, shared by every writer: it renames the
  // finished, synced and closed file `temp` over `path` and syncs the folder
  // so that the rename survives a power loss. A failed folder sync cannot undo
  // the rename and is not reported.
  int replaceFile(const char* temp, const char* path);
  // Replaces `path` by `count` bytes with permission bits `mode`, through a
  // temporary file "<folder of path>/<tempPrefix><unique>.tmp". On failure the
  // temporary file is removed and `path` is left as it was.
  int writeFileAtomically(const char* path, const void* data, size_t count, unsigned mode,
                          const char* tempPrefix);

  static KString currentDirectory();
};
