#include "platform/KMemFileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

KMemFileSystem::KMemFileSystem() {
  m_folders.insert("/");
  m_folders.insert(".");
}

std::string KMemFileSystem::clean(const char* path) {
  std::string p = path ? path : "";
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

// "a/b" -> "a", "/a" -> "/", "a" -> ".".
std::string KMemFileSystem::parentOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool KMemFileSystem::isDirectory(const std::string& path) const { return m_folders.count(path) != 0; }

KMemFileSystem::OpenFile* KMemFileSystem::find(Handle handle) {
  auto it = m_handles.find(handle);
  return it == m_handles.end() ? nullptr : &it->second;
}

uint64_t KMemFileSystem::usedBytes() const {
  uint64_t total = 0;
  for (const auto& [path, node] : m_files) total += node->data.size();
  return total;
}

int KMemFileSystem::open(const char* path, unsigned flags, Handle& handle) {
  handle = kInvalidHandle;
  std::string p = clean(path);
  if (p.empty() || !(flags & kReadWrite)) return EINVAL;
  if (isDirectory(p)) return EISDIR;
  auto it = m_files.find(p);
  if (it == m_files.end()) {
    if (m_files.count(parentOf(p))) return ENOTDIR;
    if (!(flags & kCreate) || !isDirectory(parentOf(p))) return ENOENT;
    it = m_files.emplace(p, std::make_shared<Node>()).first;
  } else if ((flags & kCreate) && (flags & kExclusive)) {
    return EEXIST;
  }
  if ((flags & kTruncate) && (flags & kWrite)) it->second->data.clear();
  handle = m_nextHandle++;
  m_handles[handle] = OpenFile{it->second, 0, flags};
  return 0;
}

int KMemFileSystem::read(Handle handle, void* buffer, size_t count, size_t& done) {
  done = 0;
  OpenFile* f = find(handle);
  if (!f || !(f->flags & kRead)) return EBADF;
  const std::string& data = f->node->data;
  if (f->position < data.size()) {
    done = static_cast<size_t>(std::min<uint64_t>(count, data.size() - f->position));
    std::memcpy(buffer, data.data() + f->position, done);
    f->position += done;
  }
  return 0;
}

int KMemFileSystem::write(Handle handle, const void* buffer, size_t count, size_t& done) {
  done = 0;
  OpenFile* f = find(handle);
  if (!f || !(f->flags & kWrite)) return EBADF;
  std::string& data = f->node->data;
  uint64_t end = f->position + count;
  if (m_capacity && end > data.size() && usedBytes() + (end - data.size()) > m_capacity) return ENOSPC;
  if (end > data.size()) data.resize(static_cast<size_t>(end), '\0');
  if (count) std::memcpy(data.data() + f->position, buffer, count);
  f->position = end;
  done = count;
  return 0;
}

int KMemFileSystem::seek(Handle handle, int64_t offset, Origin origin, uint64_t& position) {
  OpenFile* f = find(handle);
  if (!f) return EBADF;
  int64_t base = origin == kBegin ? 0
                 : origin == kCurrent ? static_cast<int64_t>(f->position)
                                      : static_cast<int64_t>(f->node->data.size());
  if ((offset < 0 && base + offset < 0) || (offset > 0 && base > INT64_MAX - offset)) return EINVAL;
  f->position = static_cast<uint64_t>(base + offset);
  position = f->position;
  return 0;
}

int KMemFileSystem::size(Handle handle, uint64_t& bytes) {
  OpenFile* f = find(handle);
  if (!f) return EBADF;
  bytes = f->node->data.size();
  return 0;
}

int KMemFileSystem::truncate(Handle handle, uint64_t bytes) {
  OpenFile* f = find(handle);
  if (!f || !(f->flags & kWrite)) return f ? EINVAL : EBADF;
  std::string& data = f->node->data;
  if (m_capacity && bytes > data.size() && usedBytes() + (bytes - data.size()) > m_capacity) return ENOSPC;
  data.resize(static_cast<size_t>(bytes), '\0');
  return 0;
}

int KMemFileSystem::sync(Handle handle) { return find(handle) ? 0 : EBADF; }

int KMemFileSystem::setPermissions(Handle handle, unsigned mode) {
  OpenFile* f = find(handle);
  if (!f) return EBADF;
  f->node->mode = mode & 07777;
  return 0;
}

int KMemFileSystem::close(Handle handle) {
  OpenFile* f = find(handle);
  if (!f) return EBADF;
  unlock(handle);
  m_handles.erase(handle);
  return 0;
}

int KMemFileSystem::lock(Handle handle, bool exclusive, bool wait) {
  OpenFile* f = find(handle);
  if (!f) return EBADF;
  Node& n = *f->node;
  bool othersShare = n.sharedHolders.size() > (n.sharedHolders.count(handle) ? 1u : 0u);
  bool otherHolds = n.exclusiveHolder != kInvalidHandle && n.exclusiveHolder != handle;
  if (otherHolds || (exclusive && othersShare)) return wait ? EDEADLK : EWOULDBLOCK;
  n.sharedHolders.erase(handle);
  n.exclusiveHolder = kInvalidHandle;
  if (exclusive) n.exclusiveHolder = handle;
  else n.sharedHolders.insert(handle);
  return 0;
}

int KMemFileSystem::unlock(Handle handle) {
  OpenFile* f = find(handle);
  if (!f) return EBADF;
  f->node->sharedHolders.erase(handle);
  if (f->node->exclusiveHolder == handle) f->node->exclusiveHolder = kInvalidHandle;
  return 0;
}

int KMemFileSystem::rename(const char* from, const char* to) {
  std::string a = clean(from), b = clean(to);
  if (isDirectory(a) || isDirectory(b)) return EISDIR;
  auto it = m_files.find(a);
  if (it == m_files.end()) return ENOENT;
  if (!isDirectory(parentOf(b))) return ENOENT;
  if (a == b) return 0;
  std::shared_ptr<Node> node = it->second;
  m_files.erase(it);
  m_files[b] = node;
  return 0;
}

int KMemFileSystem::syncDirectory(const char* path) {
  std::string p = clean(path);
  return isDirectory(p) ? 0 : m_files.count(p) ? ENOTDIR : ENOENT;
}

int KMemFileSystem::remove(const char* path) {
  std::string p = clean(path);
  if (isDirectory(p)) return EISDIR;
  return m_files.erase(p) ? 0 : ENOENT;
}

bool KMemFileSystem::exists(const char* path) {
  std::string p = clean(path);
  return isDirectory(p) || m_files.count(p) != 0;
}

int KMemFileSystem::createDirectory(const char* path) {
  std::string p = clean(path);
  if (p.empty()) return ENOENT;
  if (exists(p.c_str())) return EEXIST;
  if (m_files.count(parentOf(p))) return ENOTDIR;
  if (!isDirectory(parentOf(p))) return ENOENT;
  m_folders.insert(p);
  return 0;
}

int KMemFileSystem::listDirectory(const char* path, std::vector<KString>& names) {
  names.clear();
  std::string p = clean(path);
  if (!isDirectory(p)) return m_files.count(p) ? ENOTDIR : ENOENT;
  auto add = [&](const std::string& entry) {
    if (entry != p && parentOf(entry) == p) names.push_back(KString(entry.substr(entry.find_last_of('/') + 1).c_str()));
  };
  for (const auto& [file, node] : m_files) add(file);
  for (const auto& folder : m_folders) add(folder);
  return 0;
}

int KMemFileSystem::freeSpace(const char* path, uint64_t& bytes) {
  if (!exists(path)) return ENOENT;
  uint64_t used = usedBytes();
  bytes = m_capacity == 0 ? (uint64_t(1) << 40) : (m_capacity > used ? m_capacity - used : 0);
  return 0;
}

bool KMemFileSystem::contents(const char* path, std::string& bytes) const {
  auto it = m_files.find(clean(path));
  if (it == m_files.end()) return false;
  bytes = it->second->data;
  return true;
}

int KMemFileSystem::permissions(const char* path) const {
  auto it = m_files.find(clean(path));
  return it == m_files.end() ? -1 : static_cast<int>(it->second->mode);
}
