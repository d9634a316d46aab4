// The operating-system description shown in reports and about boxes, and the
// free space of the disk that holds a path.
//
// Description rules for the Windows family (driven by a version record so that
// every rule can be checked without the system it describes):
//   "Microsoft " + product name (each given with its trailing blank where the
//   edition follows), then for version 6 and later the edition from the product
//   number and ", 64-bit" or ", 32-bit"; for 5.x servers the suite; for 5.1 and
//   5.0 the workstation or server kind; then " " + service pack when there is
//   one and " (build N)". The 9x family gives "Microsoft Windows 95" (" OSR2"
//   for its second edition), "Windows 98", "Windows ME"; Win32s gives
//   "Microsoft Windows 3.1 (Win32s)".
// On this platform the text is "<distribution> (<kernel> <release>, <machine>)".
#pragma once
#include "platform/KString.h"
#include "platform/KSystemInfo.h"

// The description of `info`; "Unknown OS (GetVersionEx failed)" for null.
KString KDescribeOs(const KOsVersionInfo* info);
// The description of the running system.
KString KGetOsDescription();

// Free bytes for the caller, total and free bytes on the disk of `path`, which
// must be absolute and lie under one of the listed drive roots. True on failure.
bool KGetDiskFreeSpace(const char* path, ULONGLONG& freeToCaller, ULONGLONG& total, ULONGLONG& totalFree);
