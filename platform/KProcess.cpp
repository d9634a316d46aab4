#include "platform/KProcess.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#ifndef QUELM_FILE_VERSION
#define QUELM_FILE_VERSION 0, 0, 0, 0
#endif
#ifndef QUELM_VERSION_TEXT
#define QUELM_VERSION_TEXT "0.0.0.0"
#endif

namespace {
DWORD fail(DWORD code) {
  SetLastError(code);
  return 0;
}

// Copies `text` in the GetModuleFileName manner (see the header).
DWORD copyOut(const std::string& text, char* buffer, DWORD size) {
  if (!buffer || size == 0) return fail(ERROR_INSUFFICIENT_BUFFER);
  if (text.size() >= size) {
    memcpy(buffer, text.data(), size - 1);
    buffer[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  memcpy(buffer, text.c_str(), text.size() + 1);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(text.size());
}

std::string readLink(const std::string& path) {
  char buf[PATH_MAX];
  ssize_t n = readlink(path.c_str(), buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

std::string selfPath() { return readLink("/proc/self/exe"); }

// The version block: the fixed record followed by the version text, so that
// VerQueryValueA can point into the caller's copy.
struct VersionBlock {
  VS_FIXEDFILEINFO fixed;
  char text[32];
};

VersionBlock compiledVersion() {
  const unsigned parts[4] = {QUELM_FILE_VERSION};
  VersionBlock block{};
  block.fixed.dwSignature = 0xFEEF04BD;
  block.fixed.dwStrucVersion = 0x00010000;
  block.fixed.dwFileVersionMS = (parts[0] & 0xFFFF) << 16 | (parts[1] & 0xFFFF);
  block.fixed.dwFileVersionLS = (parts[2] & 0xFFFF) << 16 | (parts[3] & 0xFFFF);
  block.fixed.dwProductVersionMS = block.fixed.dwFileVersionMS;
  block.fixed.dwProductVersionLS = block.fixed.dwFileVersionLS;
  block.fixed.dwFileFlagsMask = 0x3F;
  block.fixed.dwFileType = 1;  // an application
  snprintf(block.text, sizeof block.text, "%s", QUELM_VERSION_TEXT);
  return block;
}

bool isRunningProgram(LPCSTR fileName) {
  if (!fileName || !*fileName) return false;
  char resolved[PATH_MAX];
  if (!realpath(fileName, resolved)) return false;
  std::string self = selfPath();
  return !self.empty() && self == resolved;
}

struct ProcessHandle {
  DWORD pid;
};
ProcessHandle g_currentProcess{0};

DWORD pidOf(HANDLE process) {
  if (process == &g_currentProcess) return static_cast<DWORD>(getpid());
  return process ? static_cast<ProcessHandle*>(process)->pid : 0;
}

// Mapped files of a process, keyed by path, each with its lowest address.
std::vector<std::pair<uintptr_t, std::string>> mappedFiles(DWORD pid) {
  std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
  std::map<std::string, uintptr_t> lowest;
  std::string line;
  while (std::getline(maps, line)) {
    // address-range perms offset dev inode path
    std::istringstream in(line);
    std::string range, perms, offset, dev, inode, path;
    in >> range >> perms >> offset >> dev >> inode;
    std::getline(in >> std::ws, path);
    if (path.empty() || path[0] != '/') continue;
    uintptr_t start = static_cast<uintptr_t>(strtoull(range.c_str(), nullptr, 16));
    auto it = lowest.find(path);
    if (it == lowest.end() || start < it->second) lowest[path] = start;
  }
  std::vector<std::pair<uintptr_t, std::string>> files;
  for (auto& [path, start] : lowest) files.emplace_back(start, path);
  std::sort(files.begin(), files.end());
  return files;
}

bool isSharedObject(const std::string& path) {
  auto slash = path.rfind('/');
  std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  return name.find(".so") != std::string::npos;
}

// The program first, then the shared objects.
std::vector<std::pair<uintptr_t, std::string>> modulesOf(DWORD pid) {
  std::string exe = readLink("/proc/" + std::to_string(pid) + "/exe");
  std::vector<std::pair<uintptr_t, std::string>> modules;
  if (exe.empty()) return modules;
  auto files = mappedFiles(pid);
  uintptr_t exeBase = 0;
  for (auto& f : files)
    if (f.second == exe) { exeBase = f.first; break; }
  modules.emplace_back(exeBase, exe);
  for (auto& f : files)
    if (f.second != exe && isSharedObject(f.second)) modules.push_back(f);
  return modules;
}
}  // namespace


DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size) {
  if (!module) {
    std::string self = selfPath();
    if (self.empty()) return fail(ERROR_FILE_NOT_FOUND);
    return copyOut(self, buffer, size);
  }
  Dl_info info;
  if (!dladdr(module, &info) || !info.dli_fname || info.dli_fbase != module) return fail(ERROR_INVALID_HANDLE);
  // The program itself is listed under the name it was started with.
  HMODULE programBase = GetModuleHandleOfAddress(reinterpret_cast<const void*>(&selfPath));
  std::string path = module == programBase ? selfPath() : std::string(info.dli_fname);
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved)) path = resolved;
  return copyOut(path, buffer, size);
}

HMODULE GetModuleHandleOfAddress(const void* address) {
  Dl_info info;
  if (!address || !dladdr(address, &info)) return nullptr;
  return info.dli_fbase;
}

DWORD GetFileVersionInfoSizeA(LPCSTR fileName, DWORD* handle) {
  if (handle) *handle = 0;
  if (!isRunningProgram(fileName)) return fail(ERROR_RESOURCE_TYPE_NOT_FOUND);
  SetLastError(ERROR_SUCCESS);
  return sizeof(VersionBlock);
}

BOOL GetFileVersionInfoA(LPCSTR fileName, DWORD, DWORD size, void* data) {
  if (!isRunningProgram(fileName)) return fail(ERROR_RESOURCE_TYPE_NOT_FOUND);
  if (!data || size < sizeof(VersionBlock)) return fail(ERROR_INSUFFICIENT_BUFFER);
  VersionBlock block = compiledVersion();
  memcpy(data, &block, sizeof block);
  return TRUE;
}

BOOL VerQueryValueA(const void* block, LPCSTR subBlock, void** value, UINT* length) {
  if (!block || !subBlock || !value) return fail(ERROR_INVALID_PARAMETER);
  auto* version = static_cast<const VersionBlock*>(block);
  if (version->fixed.dwSignature != 0xFEEF04BD) return fail(ERROR_INVALID_DATA);
  std::string key(subBlock);
  if (key == "\\" || key == "/") {
    *value = const_cast<VS_FIXEDFILEINFO*>(&version->fixed);
    if (length) *length = sizeof(VS_FIXEDFILEINFO);
    return TRUE;
  }
  if (key.size() > 12 && (key.ends_with("\\FileVersion") || key.ends_with("\\ProductVersion")) &&
      key.starts_with("\\StringFileInfo\\")) {
    *value = const_cast<char*>(version->text);
    if (length) *length = static_cast<UINT>(strlen(version->text) + 1);
    return TRUE;
  }
  return fail(ERROR_RESOURCE_TYPE_NOT_FOUND);
}

HRESULT CoCreateGuid(GUID* guid) {
  if (!guid) return E_FAIL;
  unsigned char bytes[16];
  size_t got = 0;
  while (got < sizeof bytes) {
    ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      return E_FAIL;
    }
    got += static_cast<size_t>(n);
  }
  bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);  // version 4
  bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
  guid->Data1 = static_cast<DWORD>(bytes[0]) << 24 | static_cast<DWORD>(bytes[1]) << 16 |
                static_cast<DWORD>(bytes[2]) << 8 | bytes[3];
  guid->Data2 = static_cast<WORD>(bytes[4] << 8 | bytes[5]);
  guid->Data3 = static_cast<WORD>(bytes[6] << 8 | bytes[7]);
  memcpy(guid->Data4, bytes + 8, 8);
  return S_OK;
}

BOOL EnumProcesses(DWORD* ids, DWORD bytes, DWORD* bytesReturned) {
  if (!bytesReturned) return fail(ERROR_INVALID_PARAMETER);
  DIR* dir = opendir("/proc");
  if (!dir) return fail(ERROR_ACCESS_DENIED);
  DWORD capacity = ids ? bytes / sizeof(DWORD) : 0, count = 0;
  while (dirent* entry = readdir(dir)) {
    char* end = nullptr;
    unsigned long pid = strtoul(entry->d_name, &end, 10);
    if (!end || *end || pid == 0) continue;
    if (count >= capacity) break;
    ids[count++] = static_cast<DWORD>(pid);
  }
  closedir(dir);
  *bytesReturned = count * sizeof(DWORD);
  return TRUE;
}

HANDLE OpenProcess(DWORD, BOOL, DWORD processId) {
  std::string base = "/proc/" + std::to_string(processId);
  if (processId == 0 || access((base + "/maps").c_str(), R_OK) != 0 || readLink(base + "/exe").empty()) {
    fail(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  return new ProcessHandle{processId};
}

void CloseProcessHandle(HANDLE process) {
  if (process && process != &g_currentProcess) delete static_cast<ProcessHandle*>(process);
}

HANDLE GetCurrentProcess() { return &g_currentProcess; }

BOOL EnumProcessModules(HANDLE process, HMODULE* modules, DWORD bytes, DWORD* bytesNeeded) {
  DWORD pid = pidOf(process);
  if (!pid || !bytesNeeded) return fail(ERROR_INVALID_HANDLE);
  auto list = modulesOf(pid);
  if (list.empty()) return fail(ERROR_ACCESS_DENIED);
  *bytesNeeded = static_cast<DWORD>(list.size() * sizeof(HMODULE));
  size_t fits = modules ? bytes / sizeof(HMODULE) : 0;
  for (size_t i = 0; i < list.size() && i < fits; ++i) modules[i] = reinterpret_cast<HMODULE>(list[i].first);
  return TRUE;
}

DWORD GetModuleFileNameExA(HANDLE process, HMODULE module, char* buffer, DWORD size) {
  DWORD pid = pidOf(process);
  if (!pid) return fail(ERROR_INVALID_HANDLE);
  auto list = modulesOf(pid);
  if (list.empty()) return fail(ERROR_ACCESS_DENIED);
  if (!module) return copyOut(list.front().second, buffer, size);
  for (auto& m : list)
    if (reinterpret_cast<HMODULE>(m.first) == module) return copyOut(m.second, buffer, size);
  return fail(ERROR_INVALID_HANDLE);
}

BOOL IsWow64Process(HANDLE process, BOOL* wow64) {
  if (!process || !wow64) return fail(ERROR_INVALID_PARAMETER);
  *wow64 = FALSE;
  return TRUE;
}
