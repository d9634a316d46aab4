// Facts about the machine: the operating-system version record, disks and
// their free space, the temporary folder, local time and unique file names.
//
// Drives: this platform has one file tree, so "/" is the only drive root that
// GetLogicalDriveStringsA lists; every absolute path lies on it. Free space is
// still measured on the file system that holds the path asked about.
#pragma once
#include "platform/KString.h"
#include "platform/KWinTypes.h"

#include <ctime>

// Platform identifiers of the version record.
enum : DWORD {
  VER_PLATFORM_WIN32s = 0,
  VER_PLATFORM_WIN32_WINDOWS = 1,
  VER_PLATFORM_WIN32_NT = 2,
  VER_PLATFORM_POSIX = 100  // this platform: the kernel and distribution fields are filled
};
// Product types and suite bits.
enum : BYTE { VER_NT_WORKSTATION = 1, VER_NT_DOMAIN_CONTROLLER = 2, VER_NT_SERVER = 3 };
enum : WORD {
  VER_SUITE_ENTERPRISE = 0x0002, VER_SUITE_DATACENTER = 0x0080, VER_SUITE_PERSONAL = 0x0200,
  VER_SUITE_BLADE = 0x0400, VER_SUITE_STORAGE_SERVER = 0x2000, VER_SUITE_COMPUTE_SERVER = 0x4000
};
// Processor architectures.
enum : WORD {
  PROCESSOR_ARCHITECTURE_INTEL = 0, PROCESSOR_ARCHITECTURE_ARM = 5, PROCESSOR_ARCHITECTURE_IA64 = 6,
  PROCESSOR_ARCHITECTURE_AMD64 = 9, PROCESSOR_ARCHITECTURE_ARM64 = 12,
  PROCESSOR_ARCHITECTURE_UNKNOWN = 0xFFFF
};

// The inputs of an operating-system description: the extended version record
// together with the native processor architecture and the product (edition)
// number. On this platform the kernel release gives major, minor and build,
// and the distribution fields carry the os-release texts.
struct KOsVersionInfo {
  DWORD majorVersion = 0;
  DWORD minorVersion = 0;
  DWORD buildNumber = 0;
  DWORD platformId = 0;
  KString servicePack;          // service-pack text, may be empty
  WORD servicePackMajor = 0;
  WORD servicePackMinor = 0;
  WORD suiteMask = 0;
  BYTE productType = 0;
  WORD processorArchitecture = PROCESSOR_ARCHITECTURE_UNKNOWN;
  DWORD productInfo = 0;        // edition number, 0 when unknown
  bool serverR2 = false;        // the second release of a server version
  KString systemName;           // kernel name, e.g. "Linux"
  KString kernelRelease;        // full kernel release text
  KString machine;              // machine name of the processor, e.g. "x86_64"
  KString distribution;         // os-release PRETTY_NAME (or NAME VERSION)
};

// Fills `info` for the running system. False when the kernel cannot be asked.
bool GetVersionExA(KOsVersionInfo* info);

// Free bytes for the caller, total bytes and free bytes on the file system
// holding `directory` (null: the current directory). Null outputs are skipped.
BOOL GetDiskFreeSpaceExA(LPCSTR directory, ULONGLONG* freeToCaller, ULONGLONG* total, ULONGLONG* totalFree);
// Writes the drive roots as a list of terminated texts ended by an empty one
// ("/\0\0") and answers its length without the last terminator; when `size`
// is too small, answers the size needed and writes nothing.
DWORD GetLogicalDriveStringsA(DWORD size, char* buffer);
enum : UINT {
  DRIVE_UNKNOWN = 0, DRIVE_NO_ROOT_DIR = 1, DRIVE_REMOVABLE = 2, DRIVE_FIXED = 3,
  DRIVE_REMOTE = 4, DRIVE_CDROM = 5, DRIVE_RAMDISK = 6
};
// The kind of file system holding `root` (null: the current directory's);
// DRIVE_NO_ROOT_DIR when the path does not exist.
UINT GetDriveTypeA(LPCSTR root);

// The temporary folder ($TMPDIR, else /tmp) with a trailing '/'; answers the
// length, or the size needed (with nothing written) when `size` is too small.
DWORD GetTempPathA(DWORD size, char* buffer);
// Local calendar time of `time`; 0 on success, EINVAL otherwise.
int _localtime64_s(struct tm* out, const __time64_t* time);
// A path in `folder` (empty: the temporary folder) that starts with `prefix`
// and names no existing file at the time of the call. Empty on failure.
KString KUniqueTempName(const KString& folder, const KString& prefix);
