#include "core/system/KOsDescription.h"

#include <cstring>

namespace {
// Product numbers of the editions of version 6 and later.
const char* editionText(DWORD product) {
  switch (product) {
    case 0x01: return "Ultimate Edition";
    case 0x02: return "Home Basic Edition";
    case 0x03: return "Home Premium Edition";
    case 0x04: return "Enterprise Edition";
    case 0x06: return "Business Edition";
    case 0x07: return "Standard Edition";
    case 0x08: return "Datacenter Edition";
    case 0x09: return "Small Business Server";
    case 0x0A: return "Enterprise Edition";
    case 0x0B: return "Starter Edition";
    case 0x0C: return "Datacenter Edition (core installation)";
    case 0x0D: return "Standard Edition (core installation)";
    case 0x0E: return "Enterprise Edition (core installation)";
    case 0x0F: return "Enterprise Edition for Itanium-based Systems";
    case 0x11: return "Web Server Edition";
    case 0x12: return "Cluster Server Edition";
    case 0x19: return "Small Business Server Premium Edition";
    default: return "";
  }
}

// Product name of version 6 and later by minor version, workstation first.
const char* version6Name(const KOsVersionInfo& v) {
  bool workstation = v.productType == VER_NT_WORKSTATION;
  if (v.majorVersion == 6) {
    switch (v.minorVersion) {
      case 0: return workstation ? "Windows Vista " : "Windows Server 2008 ";
      case 1: return workstation ? "Windows 7 " : "Windows Server 2008 R2 ";
      case 2: return workstation ? "Windows 8 " : "Windows Server 2012 ";
      default: return workstation ? "Windows 8.1 " : "Windows Server 2012 R2 ";
    }
  }
  if (workstation) return v.buildNumber >= 22000 ? "Windows 11 " : "Windows 10 ";
  if (v.buildNumber >= 20348) return "Windows Server 2022 ";
  if (v.buildNumber >= 17763) return "Windows Server 2019 ";
  return "Windows Server 2016 ";
}

void describe2003(const KOsVersionInfo& v, KString& text) {
  bool workstation = v.productType == VER_NT_WORKSTATION;
  if (v.serverR2) text += "Windows Server 2003 R2, ";
  else if (v.suiteMask & VER_SUITE_STORAGE_SERVER) text += "Windows Storage Server 2003";
  else if (workstation && v.processorArchitecture == PROCESSOR_ARCHITECTURE_AMD64)
    text += "Windows XP Professional x64 Edition";
  else text += "Windows Server 2003, ";
  if (workstation) return;
  if (v.processorArchitecture == PROCESSOR_ARCHITECTURE_IA64) {
    if (v.suiteMask & VER_SUITE_DATACENTER) text += "Datacenter Edition for Itanium-based Systems";
    else if (v.suiteMask & VER_SUITE_ENTERPRISE) text += "Enterprise Edition for Itanium-based Systems";
  } else if (v.processorArchitecture == PROCESSOR_ARCHITECTURE_AMD64) {
    if (v.suiteMask & VER_SUITE_DATACENTER) text += "Datacenter x64 Edition";
    else if (v.suiteMask & VER_SUITE_ENTERPRISE) text += "Enterprise x64 Edition";
    else text += "Standard x64 Edition";
  } else {
    if (v.suiteMask & VER_SUITE_COMPUTE_SERVER) text += "Compute Cluster Edition";
    else if (v.suiteMask & VER_SUITE_DATACENTER) text += "Datacenter Edition";
    else if (v.suiteMask & VER_SUITE_ENTERPRISE) text += "Enterprise Edition";
    else if (v.suiteMask & VER_SUITE_BLADE) text += "Web Edition";
    else text += "Standard Edition";
  }
}

KString describeNt(const KOsVersionInfo& v) {
  KString text = "Microsoft ";
  bool workstation = v.productType == VER_NT_WORKSTATION;
  if (v.majorVersion >= 6) {
    text += version6Name(v);
    text += editionText(v.productInfo);
    if (v.processorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
        v.processorArchitecture == PROCESSOR_ARCHITECTURE_ARM64)
      text += ", 64-bit";
    else if (v.processorArchitecture == PROCESSOR_ARCHITECTURE_INTEL)
      text += ", 32-bit";
  } else if (v.majorVersion == 5 && v.minorVersion == 2) {
    describe2003(v, text);
  } else if (v.majorVersion == 5 && v.minorVersion == 1) {
    text += "Windows XP ";
    text += (v.suiteMask & VER_SUITE_PERSONAL) ? "Home Edition" : "Professional";
  } else if (v.majorVersion == 5 && v.minorVersion == 0) {
    text += "Windows 2000 ";
    if (workstation) text += "Professional";
    else if (v.suiteMask & VER_SUITE_DATACENTER) text += "Datacenter Server";
    else if (v.suiteMask & VER_SUITE_ENTERPRISE) text += "Advanced Server";
    else text += "Server";
  } else if (v.majorVersion == 4) {
    text += "Windows NT4";
  } else {
    text += "Windows NT3.51";
  }
  if (!v.servicePack.IsEmpty()) text += " " + v.servicePack;
  text.AppendFormat(" (build %u)", static_cast<unsigned>(v.buildNumber));
  return text;
}

KString describe9x(const KOsVersionInfo& v) {
  KString text = "Microsoft ";
  if (v.minorVersion == 0) {
    text += "Windows 95";
    // The second edition marks its service-pack text with 'B' or 'C'.
    char mark = v.servicePack.GetLength() > 1 ? v.servicePack[1] : '\0';
    if (mark == 'B' || mark == 'C') text += " OSR2";
  } else if (v.minorVersion == 10) {
    text += "Windows 98";
  } else {
    text += "Windows ME";
  }
  // The high word of the build number repeats the version there.
  text.AppendFormat(" (build %u)", static_cast<unsigned>(v.buildNumber & 0xFFFF));
  return text;
}
}  // namespace

KString KDescribeOs(const KOsVersionInfo* info) {
  if (!info) return "Unknown OS (GetVersionEx failed)";
  const KOsVersionInfo& v = *info;
  switch (v.platformId) {
    case VER_PLATFORM_WIN32_NT: return describeNt(v);
    case VER_PLATFORM_WIN32_WINDOWS: return describe9x(v);
    case VER_PLATFORM_WIN32s: return "Microsoft Windows 3.1 (Win32s)";
    default: {
      KString text = v.distribution.IsEmpty() ? v.systemName : v.distribution;
      text.AppendFormat(" (%s %s, %s)", v.systemName.GetString(), v.kernelRelease.GetString(),
                        v.machine.GetString());
      return text;
    }
  }
}

KString KGetOsDescription() {
  KOsVersionInfo info;
  return KDescribeOs(GetVersionExA(&info) ? &info : nullptr);
}

bool KGetDiskFreeSpace(const char* path, ULONGLONG& freeToCaller, ULONGLONG& total, ULONGLONG& totalFree) {
  if (!path || !*path) return true;
  char roots[512];
  DWORD length = GetLogicalDriveStringsA(sizeof roots, roots);
  if (length == 0 || length >= sizeof roots) return true;
  bool listed = false;
  for (const char* root = roots; *root; root += strlen(root) + 1)
    if (strncmp(path, root, strlen(root)) == 0) listed = true;
  if (!listed || GetDriveTypeA(path) == DRIVE_NO_ROOT_DIR) return true;
  return !GetDiskFreeSpaceExA(path, &freeToCaller, &total, &totalFree);
}
