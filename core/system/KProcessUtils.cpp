#include "core/system/KProcessUtils.h"

#include "platform/KMessageBox.h"
#include "platform/KProcess.h"

#include <algorithm>
#include <vector>

bool KRunElevated(const char* file, const char* parameters, HWND owner) {
  SHELLEXECUTEINFOA info;
  info.hwnd = owner;
  info.lpVerb = "runas";
  info.lpFile = file;
  info.lpParameters = parameters;
  info.nShow = SW_NORMAL;
  if (ShellExecuteExA(&info)) return false;
  if (info.dwError == ERROR_CANCELLED) return false;
  AfxMessageBox("Failed to run executable with elevate permissions");
  return true;
}

int KEnumerateProcessModules(KProcessModuleCallback callback, LPARAM context1, LPARAM context2) {
  if (!callback) return 0;
  // Grow the id buffer until the answer no longer fills it.
  std::vector<DWORD> ids(1024 / sizeof(DWORD));
  DWORD returned = 0;
  for (;;) {
    DWORD bytes = static_cast<DWORD>(ids.size() * sizeof(DWORD));
    if (!EnumProcesses(ids.data(), bytes, &returned)) return 0;
    if (returned < bytes) break;
    ids.resize(ids.size() * 2);
  }
  int visited = 0;
  for (DWORD i = 0; i < returned / sizeof(DWORD); ++i) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ids[i]);
    if (!process) continue;
    ++visited;
    DWORD needed = 0;
    std::vector<HMODULE> modules;
    if (EnumProcessModules(process, nullptr, 0, &needed) && needed) {
      modules.resize(needed / sizeof(HMODULE));
      if (!EnumProcessModules(process, modules.data(), needed, &needed)) modules.clear();
      modules.resize(std::min<size_t>(modules.size(), needed / sizeof(HMODULE)));
    }
    char program[4096], module[4096];
    if (!modules.empty() && GetModuleFileNameExA(process, nullptr, program, sizeof program)) {
      for (size_t m = 1; m < modules.size(); ++m) {
        if (!GetModuleFileNameExA(process, modules[m], module, sizeof module)) continue;
        if (!callback(ids[i], 0, context1, program, module, context2)) break;
      }
    }
    CloseProcessHandle(process);
  }
  return visited;
}

bool KIsWow64() {
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}
