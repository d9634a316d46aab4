#include "platform/KSystemInfo.h"

#include "platform/KProcess.h"

#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>

namespace {
DWORD copyList(const std::string& text, DWORD size, char* buffer) {
  // text holds its own terminators; the answer leaves out the final one.
  if (!buffer || size < text.size()) return static_cast<DWORD>(text.size());
  memcpy(buffer, text.data(), text.size());
  return static_cast<DWORD>(text.size() - 1);
}

std::string unquote(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return value;
}

// KEY=value lines of /etc/os-release (or the fallback under /usr/lib).
std::map<std::string, std::string> osRelease() {
  std::map<std::string, std::string> fields;
  std::ifstream in("/etc/os-release");
  if (!in) in.open("/usr/lib/os-release");
  std::string line;
  while (std::getline(in, line)) {
    auto eq = line.find('=');
    if (eq == std::string::npos || line[0] == '#') continue;
    fields[line.substr(0, eq)] = unquote(line.substr(eq + 1));
  }
  return fields;
}

WORD architectureOf(const std::string& machine) {
  if (machine == "x86_64") return PROCESSOR_ARCHITECTURE_AMD64;
  if (machine == "aarch64" || machine == "arm64") return PROCESSOR_ARCHITECTURE_ARM64;
  if (machine.size() == 4 && machine[0] == 'i' && machine.substr(2) == "86") return PROCESSOR_ARCHITECTURE_INTEL;
  if (machine.rfind("arm", 0) == 0) return PROCESSOR_ARCHITECTURE_ARM;
  if (machine == "ia64") return PROCESSOR_ARCHITECTURE_IA64;
  return PROCESSOR_ARCHITECTURE_UNKNOWN;
}
}  // namespace

bool GetVersionExA(KOsVersionInfo* info) {
  if (!info) return false;
  utsname name;
  if (uname(&name) != 0) return false;
  *info = KOsVersionInfo();
  info->platformId = VER_PLATFORM_POSIX;
  info->systemName = name.sysname;
  info->kernelRelease = name.release;
  info->machine = name.machine;
  info->processorArchitecture = architectureOf(name.machine);
  unsigned major = 0, minor = 0, build = 0;
  sscanf(name.release, "%u.%u.%u", &major, &minor, &build);
  info->majorVersion = major;
  info->minorVersion = minor;
  info->buildNumber = build;
  info->productType = VER_NT_WORKSTATION;
  auto fields = osRelease();
  if (!fields["PRETTY_NAME"].empty()) info->distribution = fields["PRETTY_NAME"].c_str();
  else if (!fields["NAME"].empty()) info->distribution = (fields["NAME"] + " " + fields["VERSION"]).c_str();
  info->distribution.Trim();
  return true;
}

BOOL GetDiskFreeSpaceExA(LPCSTR directory, ULONGLONG* freeToCaller, ULONGLONG* total, ULONGLONG* totalFree) {
  struct statvfs fs;
  if (statvfs(directory && *directory ? directory : ".", &fs) != 0) return FALSE;
  ULONGLONG unit = fs.f_frsize ? fs.f_frsize : fs.f_bsize;
  if (freeToCaller) *freeToCaller = static_cast<ULONGLONG>(fs.f_bavail) * unit;
  if (total) *total = static_cast<ULONGLONG>(fs.f_blocks) * unit;
  if (totalFree) *totalFree = static_cast<ULONGLONG>(fs.f_bfree) * unit;
  return TRUE;
}

DWORD GetLogicalDriveStringsA(DWORD size, char* buffer) {
  return copyList(std::string("/\0\0", 3), size, buffer);
}

UINT GetDriveTypeA(LPCSTR root) {
  struct statfs fs;
  if (statfs(root && *root ? root : ".", &fs) != 0) return DRIVE_NO_ROOT_DIR;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x01021994UL:  // tmpfs
    case 0x858458f6UL:  // ramfs
      return DRIVE_RAMDISK;
    case 0x6969UL:      // NFS
    case 0xFF534D42UL:  // CIFS
    case 0xFE534D42UL:  // SMB2
    case 0x517BUL:      // SMB
      return DRIVE_REMOTE;
    case 0x9660UL:      // ISO 9660
    case 0x15013346UL:  // UDF
      return DRIVE_CDROM;
    default:
      return DRIVE_FIXED;
  }
}

DWORD GetTempPathA(DWORD size, char* buffer) {
  const char* env = getenv("TMPDIR");
  std::string path = env && *env ? env : "/tmp";
  if (path.back() != '/') path += '/';
  if (!buffer || size <= path.size()) return static_cast<DWORD>(path.size() + 1);
  memcpy(buffer, path.c_str(), path.size() + 1);
  return static_cast<DWORD>(path.size());
}

int _localtime64_s(struct tm* out, const __time64_t* time) {
  if (!out || !time) return EINVAL;
  time_t t = static_cast<time_t>(*time);
  return localtime_r(&t, out) ? 0 : EINVAL;
}

KString KUniqueTempName(const KString& folder, const KString& prefix) {
  std::string dir = folder.str();
  if (dir.empty()) {
    char buf[4096];
    DWORD n = GetTempPathA(sizeof buf, buf);
    if (n == 0 || n >= sizeof buf) return KString();
    dir = buf;
  }
  if (dir.back() != '/') dir += '/';
  static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    GUID g;
    if (CoCreateGuid(&g) != S_OK) return KString();
    std::string name = dir + prefix.str();
    for (int i = 0; i < 6; ++i) name += letters[g.Data4[i + 2] % 36];
    struct stat st;
    if (lstat(name.c_str(), &st) != 0 && errno == ENOENT) return KString(name);
  }
  return KString();
}
