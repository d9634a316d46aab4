#include "platform/KRegistry.h"

#include "platform/KFileSystem.h"
#include "platform/KLastError.h"
#include "platform/KRegFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

struct KRegKeyHandle {
  int root;
  std::string path;  // below the root, no leading or trailing '\'
  REGSAM access;
};

namespace {

struct RootInfo {
  HKEY handle;
  const char* name;
  const char* file;
};
const RootInfo kRoots[2] = {{HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "user.reg"},
                            {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "machine.reg"}};

constexpr REGSAM kViewFlags = KEY_WOW64_32KEY | KEY_WOW64_64KEY;
constexpr off_t kMaxStoreBytes = 64 << 20;

// Identity of one version of a store file; a rename over it changes the inode
// and the change time.
struct FileId {
  bool exists = false;
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  timespec mtime{};
  timespec ctime{};
  mode_t mode = 0600;

  static FileId of(const struct stat& st) {
    return FileId{true, st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim, st.st_mode & 07777};
  }
  bool operator==(const FileId& o) const {
    return exists == o.exists && dev == o.dev && ino == o.ino && size == o.size &&
           mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec &&
           ctime.tv_sec == o.ctime.tv_sec && ctime.tv_nsec == o.ctime.tv_nsec;
  }
};

struct Store {
  std::string path;  // the file this cache describes
  bool loaded = false;
  FileId id;
  KRegModel model;
  bool bad = false;
  bool reported = false;
  FileId reportedId;
};

struct State {
  std::mutex mutex;
  Store stores[2];
  std::unordered_map<KRegKeyHandle*, std::unique_ptr<KRegKeyHandle>> handles;
  KRegistryErrorReporter reporter;
  std::vector<KString> pending;  // reports delivered once the mutex is released
};

State& state() {
  static State s;
  return s;
}

// Holds the registry mutex for one call; reports found meanwhile reach the
// reporter after the mutex is released, so a reporter may use the registry.
class Session {
 public:
  Session() : m_lock(state().mutex) {}
  ~Session() {
    std::vector<KString> messages;
    messages.swap(state().pending);
    KRegistryErrorReporter reporter = state().reporter;
    m_lock.unlock();
    for (const KString& m : messages) {
      if (reporter) reporter(m);
      else fprintf(stderr, "%s\n", m.GetString());
    }
  }

 private:
  std::unique_lock<std::mutex> m_lock;
};

LONG fromErrno(int err, LONG fallback) { return KWin32ErrorFromErrno(err, fallback); }

std::string storeDir() {
  const char* dir = getenv("QUELM_REGISTRY_DIR");
  if (dir && *dir) return dir;
  const char* xdg = getenv("XDG_CONFIG_HOME");
  if (xdg && *xdg == '/') return std::string(xdg) + "/quelm";
  const char* home = getenv("HOME");
  std::string h = home && *home ? home : "";
  if (h.empty()) {
    struct passwd pw;
    struct passwd* found = nullptr;
    std::vector<char> buf(16384);
    if (getpwuid_r(getuid(), &pw, buf.data(), buf.size(), &found) == 0 && found && found->pw_dir)
      h = found->pw_dir;
  }
  return h.empty() ? std::string() : h + "/.config/quelm";
}

std::string storePath(int root) {
  std::string dir = storeDir();
  return dir.empty() ? dir : dir + "/" + kRoots[root].file;
}

int rootIndex(HKEY h) {
  for (int i = 0; i < 2; ++i)
    if (kRoots[i].handle == h) return i;
  return -1;
}

// The handle's root, path and access; roots have every right.
LONG resolve(HKEY h, KRegKeyHandle& out) {
  int r = rootIndex(h);
  if (r >= 0) {
    out = KRegKeyHandle{r, std::string(), KEY_ALL_ACCESS};
    return ERROR_SUCCESS;
  }
  auto it = state().handles.find(h);
  if (it == state().handles.end()) return ERROR_INVALID_HANDLE;
  out = *it->second;
  return ERROR_SUCCESS;
}

std::string fullPath(int root, const std::string& rel) {
  std::string p = kRoots[root].name;
  if (!rel.empty()) p += '\\' + rel;
  return p;
}

// Joins a caller's subkey text below `base`; one trailing '\' is tolerated.
LONG joinSubkey(int root, const std::string& base, LPCSTR sub, std::string& out) {
  std::string s = sub ? sub : "";
  if (!s.empty() && s[0] == '\\') return ERROR_BAD_PATHNAME;
  if (!s.empty() && s.back() == '\\') s.pop_back();
  out = base.empty() ? s : s.empty() ? base : base + '\\' + s;
  if (*KRegModel::checkKeyPath(fullPath(root, out))) return ERROR_BAD_PATHNAME;
  return ERROR_SUCCESS;
}

void report(Store& s, const FileId& id, const KString& reason) {
  if (s.reported && s.reportedId == id) return;
  s.reported = true;
  s.reportedId = id;
  state().pending.push_back(KString(s.path) + ": " + reason);
}

// Brings the cache of root r up to date with its file. With `force` the file
// is read even when its identity looks unchanged.
LONG refresh(int r, bool force) {
  Store& s = state().stores[r];
  std::string path = storePath(r);
  if (path != s.path) {
    s = Store();
    s.path = path;
  }
  if (path.empty()) {
    s.loaded = true;
    s.id = FileId();
    s.model = KRegModel();
    s.bad = false;
    return ERROR_SUCCESS;
  }
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT) return fromErrno(errno, ERROR_READ_FAULT);
    s.loaded = true;
    s.id = FileId();
    s.model = KRegModel();
    s.bad = false;
    return ERROR_SUCCESS;
  }
  struct stat st;
  if (fstat(fd, &st) != 0) {
    int err = errno;
    close(fd);
    return fromErrno(err, ERROR_READ_FAULT);
  }
  FileId id = FileId::of(st);
  if (!force && s.loaded && s.id == id) {
    close(fd);
    return s.bad ? ERROR_BADDB : ERROR_SUCCESS;
  }
  if (st.st_size > kMaxStoreBytes) {
    close(fd);
    s.loaded = true;
    s.id = id;
    s.bad = true;
    s.model = KRegModel();
    report(s, id, "store file larger than 64 MiB");
    return ERROR_BADDB;
  }
  std::string text(static_cast<size_t>(st.st_size), '\0');
  size_t got = 0;
  while (true) {
    if (got == text.size()) text.resize(got + 4096);  // the file may have grown
    ssize_t n = read(fd, text.data() + got, text.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int err = errno;
      close(fd);
      return fromErrno(err, ERROR_READ_FAULT);
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
    if (got > static_cast<size_t>(kMaxStoreBytes)) break;
  }
  close(fd);
  text.resize(got);
  KRegModel model;
  KString error;
  s.loaded = true;
  s.id = id;
  if (KRegFile::parse(text, model, error, kRoots[r].name)) {
    s.bad = true;
    s.model = KRegModel();
    report(s, id, error);
    return ERROR_BADDB;
  }
  s.bad = false;
  s.model = std::move(model);
  return ERROR_SUCCESS;
}

bool keyExists(const KRegModel& m, int root, const std::string& rel) {
  return rel.empty() || m.findKey(fullPath(root, rel)) != nullptr;
}

LONG makeDirs(const std::string& dir) {
  for (size_t i = 1; i <= dir.size(); ++i) {
    if (i < dir.size() && dir[i] != '/') continue;
    std::string part = dir.substr(0, i);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return fromErrno(errno, ERROR_WRITE_FAULT);
  }
  return ERROR_SUCCESS;
}

class FdCloser {
 public:
  explicit FdCloser(int fd) : m_fd(fd) {}
  ~FdCloser() { if (m_fd >= 0) close(m_fd); }
  FdCloser(const FdCloser&) = delete;
  FdCloser& operator=(const FdCloser&) = delete;

 private:
  int m_fd;
};

// Temporary files of crashed writers; called only while holding the store lock.
void removeOrphans(const std::string& dir, const std::string& prefix) {
  KFileSystem* fs = KFileSystem::Current();
  std::vector<KString> names;
  if (fs->listDirectory(dir.c_str(), names)) return;
  for (const KString& name : names)
    if (strncmp(name.GetString(), prefix.c_str(), prefix.size()) == 0) fs->remove((dir + "/" + name.GetString()).c_str());
}

// Applies `change` to the freshest store of root r under the store lock and
// writes the result when it reports a change.
template <class Change>
LONG modify(int r, Change change) {
  std::string path = storePath(r);
  if (path.empty()) return ERROR_PATH_NOT_FOUND;
  std::string dir = path.substr(0, path.rfind('/'));
  if (LONG rc = makeDirs(dir)) return rc;
  int lockFd = open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lockFd < 0) return fromErrno(errno, ERROR_WRITE_FAULT);
  FdCloser unlockOnReturn(lockFd);
  while (flock(lockFd, LOCK_EX) != 0)
    if (errno != EINTR) return fromErrno(errno, ERROR_WRITE_FAULT);
  if (LONG rc = refresh(r, true)) return rc;
  Store& s = state().stores[r];
  KRegModel model = s.model;
  bool changed = false;
  if (LONG rc = change(model, changed)) return rc;
  if (!changed) return ERROR_SUCCESS;
  std::string tmpPrefix = std::string(".") + kRoots[r].file + ".tmp-";
  removeOrphans(dir, tmpPrefix);
  std::string text = KRegFile::write(model).str();
  // The store is written through the file-system interface (so that tests can
  // fail each step); it is read with the POSIX calls, which tell the file's
  // identity that notices other writers.
  if (int err = KFileSystem::Current()->writeFileAtomically(path.c_str(), text.data(), text.size(),
                                                             s.id.exists ? s.id.mode : 0600, tmpPrefix.c_str()))
    return fromErrno(err, ERROR_WRITE_FAULT);
  struct stat st;
  if (stat(path.c_str(), &st) == 0) {
    s.id = FileId::of(st);
    s.model = std::move(model);
    s.bad = false;
  } else {
    s.loaded = false;
  }
  return ERROR_SUCCESS;
}

bool hasRight(REGSAM access, REGSAM right) { return (access & right) == right; }

HKEY newHandle(int root, std::string path, REGSAM access) {
  auto h = std::make_unique<KRegKeyHandle>(KRegKeyHandle{root, std::move(path), access & ~kViewFlags});
  HKEY key = h.get();
  state().handles.emplace(key, std::move(h));
  return key;
}

LONG checkValueName(LPCSTR name) {
  if (!name) return ERROR_SUCCESS;
  size_t n = strlen(name);
  if (n > KREG_MAX_VALUE_NAME || strpbrk(name, "\r\n")) return ERROR_INVALID_PARAMETER;
  return ERROR_SUCCESS;
}

}  // namespace

LONG RegOpenKeyExA(HKEY hKey, LPCSTR subKey, DWORD, REGSAM access, PHKEY result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  Session session;
  KRegKeyHandle base;
  if (LONG rc = resolve(hKey, base)) return rc;
  std::string path;
  if (LONG rc = joinSubkey(base.root, base.path, subKey, path)) return rc;
  if (LONG rc = refresh(base.root, false)) return rc;
  const KRegModel& m = state().stores[base.root].model;
  if (!keyExists(m, base.root, base.path)) return ERROR_KEY_DELETED;
  if (!keyExists(m, base.root, path)) return ERROR_FILE_NOT_FOUND;
  *result = newHandle(base.root, path, access);
  return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY hKey, LPCSTR subKey, DWORD, LPSTR, DWORD options, REGSAM access,
                     LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  if (options != REG_OPTION_NON_VOLATILE) return ERROR_INVALID_PARAMETER;
  Session session;
  KRegKeyHandle base;
  if (LONG rc = resolve(hKey, base)) return rc;
  std::string path;
  if (LONG rc = joinSubkey(base.root, base.path, subKey, path)) return rc;
  if (LONG rc = refresh(base.root, false)) return rc;
  bool created = false;
  if (!keyExists(state().stores[base.root].model, base.root, path)) {
    if (!hasRight(base.access, KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
    LONG rc = modify(base.root, [&](KRegModel& m, bool& changed) -> LONG {
      if (!keyExists(m, base.root, base.path)) return ERROR_KEY_DELETED;
      if (keyExists(m, base.root, path)) return ERROR_SUCCESS;
      m.addKey(fullPath(base.root, path));
      changed = created = true;
      return ERROR_SUCCESS;
    });
    if (rc) return rc;
  }
  if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  *result = newHandle(base.root, path, access);
  return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize) {
  if (reserved || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
  Session session;
  KRegKeyHandle h;
  if (LONG rc = resolve(hKey, h)) return rc;
  if (!hasRight(h.access, KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  if (LONG rc = refresh(h.root, false)) return rc;
  const KRegModel::Key* key = state().stores[h.root].model.findKey(fullPath(h.root, h.path));
  if (!key) return h.path.empty() ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
  const KRegModel::Value* v = key->findValue(valueName ? valueName : "");
  if (!v) return ERROR_FILE_NOT_FOUND;
  if (type) *type = v->type;
  DWORD need = static_cast<DWORD>(v->data.size());
  if (data) {
    if (*dataSize < need) {
      *dataSize = need;
      return ERROR_MORE_DATA;
    }
    memcpy(data, v->data.data(), need);
  }
  if (dataSize) *dataSize = need;
  return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY hKey, LPCSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD dataSize) {
  if (LONG rc = checkValueName(valueName)) return rc;
  if ((!data && dataSize) || dataSize > KREG_MAX_DATA) return ERROR_INVALID_PARAMETER;
  Session session;
  KRegKeyHandle h;
  if (LONG rc = resolve(hKey, h)) return rc;
  if (!hasRight(h.access, KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  std::string name = valueName ? valueName : "";
  std::string bytes(reinterpret_cast<const char*>(data), data ? dataSize : 0);
  return modify(h.root, [&](KRegModel& m, bool& changed) -> LONG {
    if (!keyExists(m, h.root, h.path)) return ERROR_KEY_DELETED;
    KRegModel::Key& key = m.addKey(fullPath(h.root, h.path));
    const KRegModel::Value* old = key.findValue(name);
    if (old && old->type == type && old->data == bytes) return ERROR_SUCCESS;
    key.setValue(name, type, std::move(bytes));
    changed = true;
    return ERROR_SUCCESS;
  });
}

LONG RegEnumValueA(HKEY hKey, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                   LPDWORD type, LPBYTE data, LPDWORD dataSize) {
  if (!name || !nameSize || reserved || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
  Session session;
  KRegKeyHandle h;
  if (LONG rc = resolve(hKey, h)) return rc;
  if (!hasRight(h.access, KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  if (LONG rc = refresh(h.root, false)) return rc;
  const KRegModel& m = state().stores[h.root].model;
  const KRegModel::Key* key = m.findKey(fullPath(h.root, h.path));
  if (!key && !h.path.empty()) return ERROR_KEY_DELETED;
  if (!key || index >= key->values.size()) return ERROR_NO_MORE_ITEMS;
  const KRegModel::Value& v = key->values[index];
  if (*nameSize <= v.name.size()) return ERROR_MORE_DATA;
  memcpy(name, v.name.c_str(), v.name.size() + 1);
  *nameSize = static_cast<DWORD>(v.name.size());
  if (type) *type = v.type;
  DWORD need = static_cast<DWORD>(v.data.size());
  if (data) {
    if (*dataSize < need) {
      *dataSize = need;
      return ERROR_MORE_DATA;
    }
    memcpy(data, v.data.data(), need);
  }
  if (dataSize) *dataSize = need;
  return ERROR_SUCCESS;
}

LONG RegEnumKeyExA(HKEY hKey, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                   LPSTR keyClass, LPDWORD classSize, void* lastWrite) {
  if (!name || !nameSize || reserved || keyClass || classSize || lastWrite) return ERROR_INVALID_PARAMETER;
  Session session;
  KRegKeyHandle h;
  if (LONG rc = resolve(hKey, h)) return rc;
  if (!hasRight(h.access, KEY_ENUMERATE_SUB_KEYS)) return ERROR_ACCESS_DENIED;
  if (LONG rc = refresh(h.root, false)) return rc;
  const KRegModel& m = state().stores[h.root].model;
  if (!keyExists(m, h.root, h.path)) return ERROR_KEY_DELETED;
  std::vector<std::string> names = m.subkeyNames(fullPath(h.root, h.path));
  if (index >= names.size()) return ERROR_NO_MORE_ITEMS;
  const std::string& n = names[index];
  if (*nameSize <= n.size()) return ERROR_MORE_DATA;
  memcpy(name, n.c_str(), n.size() + 1);
  *nameSize = static_cast<DWORD>(n.size());
  return ERROR_SUCCESS;
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR valueName) {
  Session session;
  KRegKeyHandle h;
  if (LONG rc = resolve(hKey, h)) return rc;
  if (!hasRight(h.access, KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  std::string name = valueName ? valueName : "";
  return modify(h.root, [&](KRegModel& m, bool& changed) -> LONG {
    KRegModel::Key* key = m.findKey(fullPath(h.root, h.path));
    if (!key) return h.path.empty() ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
    if (!key->removeValue(name)) return ERROR_FILE_NOT_FOUND;
    changed = true;
    return ERROR_SUCCESS;
  });
}

LONG RegDeleteKeyA(HKEY hKey, LPCSTR subKey) {
  if (!subKey) return ERROR_INVALID_PARAMETER;
  Session session;
  KRegKeyHandle h;
  if (LONG rc = resolve(hKey, h)) return rc;
  std::string path;
  if (LONG rc = joinSubkey(h.root, h.path, subKey, path)) return rc;
  if (path.empty()) return ERROR_ACCESS_DENIED;
  return modify(h.root, [&](KRegModel& m, bool& changed) -> LONG {
    if (!keyExists(m, h.root, h.path)) return ERROR_KEY_DELETED;
    std::string full = fullPath(h.root, path);
    if (!m.findKey(full)) return ERROR_FILE_NOT_FOUND;
    if (m.hasSubkeys(full)) return ERROR_ACCESS_DENIED;
    changed = m.removeKey(full);
    return ERROR_SUCCESS;
  });
}

LONG RegCloseKey(HKEY hKey) {
  if (rootIndex(hKey) >= 0) return ERROR_SUCCESS;
  Session session;
  return state().handles.erase(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

KString KRegistryStorePath(HKEY hKey) {
  Session session;
  KRegKeyHandle h;
  if (resolve(hKey, h)) return KString();
  return KString(storePath(h.root));
}

KRegistryErrorReporter KRegistrySetErrorReporter(KRegistryErrorReporter reporter) {
  Session session;
  KRegistryErrorReporter old = std::move(state().reporter);
  state().reporter = std::move(reporter);
  return old;
}
