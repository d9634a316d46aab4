// Shell and installer services: announcing setting changes to whoever listens,
// running a program with raised rights, and reading the properties that an
// installer records for a product.
//
// Setting-change announcements: there is no window system to broadcast to, so
// a broadcast goes to the observers the application registers in this process
// (for example a part that re-reads environment variables). Observers are
// called in the order they were added, synchronously, on the caller's thread.
//
// Raised rights: "runas" runs the program through pkexec and waits for it,
// because only pkexec's exit tells whether the user refused the prompt.
//
// Installer properties live in the registry store under HKEY_LOCAL_MACHINE
// "Software\Microsoft\Windows\CurrentVersion\Uninstall\<product code>", one
// value per property, as an installer writes them.
#pragma once
#include "platform/KWinTypes.h"

#include <functional>

#ifndef HWND_BROADCAST
#define HWND_BROADCAST (reinterpret_cast<HWND>(static_cast<UINT_PTR>(0xFFFF)))
#endif
#ifndef WM_SETTINGCHANGE
#define WM_SETTINGCHANGE 0x001A
#endif
#ifndef SMTO_ABORTIFHUNG
#define SMTO_NORMAL 0x0000
#define SMTO_BLOCK 0x0001
#define SMTO_ABORTIFHUNG 0x0002
#endif

// An observer receives the message, wParam, and lParam as text (for
// WM_SETTINGCHANGE the name of the changed area, e.g. "Environment"; null when
// lParam carries no text).
using KSettingChangeObserver = std::function<void(UINT message, WPARAM wParam, const char* area)>;
// Registers an observer and answers its id (never 0).
int KAddSettingChangeObserver(KSettingChangeObserver observer);
// Unregisters; false when the id is unknown.
bool KRemoveSettingChangeObserver(int id);

// To HWND_BROADCAST: hands the message to every observer and answers nonzero,
// with *result 0. For WM_SETTINGCHANGE lParam points to a terminated text.
// Any other window: answers 0 (there are no windows to send to).
LRESULT SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags,
                            UINT timeoutMs, DWORD_PTR* result);

struct SHELLEXECUTEINFOA {
  DWORD cbSize = sizeof(SHELLEXECUTEINFOA);
  DWORD fMask = 0;
  HWND hwnd = nullptr;
  LPCSTR lpVerb = nullptr;        // "runas"
  LPCSTR lpFile = nullptr;        // program to run, found on PATH when not a path
  LPCSTR lpParameters = nullptr;  // command-line arguments, blank-separated, "..." groups
  LPCSTR lpDirectory = nullptr;
  int nShow = SW_SHOWNORMAL;
  HINSTANCE hInstApp = nullptr;   // > 32 on success
  DWORD dwError = 0;              // ERROR_* code when the call answers FALSE
};
// Runs lpFile with lpParameters. Only the verb "runas" is served (through
// pkexec): a refused or cancelled prompt (pkexec exit 126 or 127) fails with
// ERROR_CANCELLED, a missing pkexec with ERROR_FILE_NOT_FOUND; other verbs fail
// with ERROR_INVALID_PARAMETER. Answers TRUE once the program has run.
BOOL ShellExecuteExA(SHELLEXECUTEINFOA* info);

// Copies the product's installer property `property` into `buffer` and sets
// *length to the characters copied. On input *length is the buffer size,
// terminator included. When the value does not fit, answers ERROR_MORE_DATA
// with *length set to the value's length (without terminator). Answers
// ERROR_UNKNOWN_PRODUCT when the installer has no record of the product and
// ERROR_UNKNOWN_PROPERTY when the property is not recorded. A null buffer asks
// only for the length. Numbers recorded as DWORD are answered in decimal.
UINT MsiGetProductInfoA(LPCSTR productCode, LPCSTR property, LPSTR buffer, DWORD* length);
