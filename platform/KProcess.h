// Process and module identity: the running module's file name, the version
// record compiled into the program, process and module listings, identifiers
// and the processor-emulation query, in the manner of the Win32 calls they
// stand in for.
//
// Modules: a null HMODULE is the running program (its path comes from the
// kernel's link to the executable). Any other HMODULE is the load address of a
// shared object, as GetModuleHandleOfAddress answers it.
//
// Version records: the only file that carries one is the running program
// itself; its fixed file information holds the version compiled in. Asking
// for any other file fails, as it would for a file without a version resource.
//
// Errors of the calls that answer FALSE or 0 are kept per thread and read with
// GetLastError (ERROR_* codes).
#pragma once
#include "platform/KComTypes.h"
#include "platform/KLastError.h"
#include "platform/KWinTypes.h"

#include <vector>

// ---- Modules -------------------------------------------------------------

// Writes the module's full path into `buffer` (always terminated when size > 0)
// and answers its length. When the path does not fit, the text is cut to
// size - 1 characters, the answer is `size` and the last error is
// ERROR_INSUFFICIENT_BUFFER. Answers 0 for an unknown module.
DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size);
// The module (shared object or program) that holds `address`; null when none.
HMODULE GetModuleHandleOfAddress(const void* address);

// ---- Version records -----------------------------------------------------

struct VS_FIXEDFILEINFO {
  DWORD dwSignature;         // 0xFEEF04BD
  DWORD dwStrucVersion;
  DWORD dwFileVersionMS;     // major << 16 | minor
  DWORD dwFileVersionLS;     // build << 16 | revision
  DWORD dwProductVersionMS;
  DWORD dwProductVersionLS;
  DWORD dwFileFlagsMask;
  DWORD dwFileFlags;
  DWORD dwFileOS;
  DWORD dwFileType;
  DWORD dwFileSubtype;
  DWORD dwFileDateMS;
  DWORD dwFileDateLS;
};

// Size of the version block of `fileName`; 0 (ERROR_RESOURCE_TYPE_NOT_FOUND)
// when the file is not the running program.
DWORD GetFileVersionInfoSizeA(LPCSTR fileName, DWORD* handle);
// Copies the version block into `data` (at least the size answered above).
BOOL GetFileVersionInfoA(LPCSTR fileName, DWORD handle, DWORD size, void* data);
// Points `*value` into `block`: "\\" gives the VS_FIXEDFILEINFO,
// "\\StringFileInfo\\040904b0\\FileVersion" the version text.
BOOL VerQueryValueA(const void* block, LPCSTR subBlock, void** value, UINT* length);

// ---- Identifiers ---------------------------------------------------------

// 122 random bits from the kernel's generator, with the version-4 and variant
// bits set. E_FAIL when no random bytes can be had.
HRESULT CoCreateGuid(GUID* guid);

// ---- Processes -----------------------------------------------------------

// Fills `ids` with the identifiers of the running processes (as many as fit
// in `bytes`) and sets `*bytesReturned`; a full buffer means "ask again with
// more room".
BOOL EnumProcesses(DWORD* ids, DWORD bytes, DWORD* bytesReturned);
enum : DWORD { PROCESS_QUERY_INFORMATION = 0x400, PROCESS_VM_READ = 0x10 };
// A handle on a process for the queries below; null when it does not exist or
// may not be inspected. Close with CloseProcessHandle.
HANDLE OpenProcess(DWORD access, BOOL inherit, DWORD processId);
void CloseProcessHandle(HANDLE process);
// The modules of the process: its program first, then every mapped file that
// is a shared object, each once, in address order. HMODULE values are the
// lowest mapped address of each. `*bytesNeeded` tells the room for all.
BOOL EnumProcessModules(HANDLE process, HMODULE* modules, DWORD bytes, DWORD* bytesNeeded);
// The path of `module` of the process (null: its program). Same buffer rules
// as GetModuleFileNameA.
DWORD GetModuleFileNameExA(HANDLE process, HMODULE module, char* buffer, DWORD size);
// The current process as a handle for the calls above.
HANDLE GetCurrentProcess();
// Always answers FALSE in *wow64: this platform has no 32-bit emulation layer,
// every process runs natively.
BOOL IsWow64Process(HANDLE process, BOOL* wow64);
