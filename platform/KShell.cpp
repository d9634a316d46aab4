#include "platform/KShell.h"

#include "platform/KRegistry.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace {
std::vector<std::pair<int, KSettingChangeObserver>>& observers() {
  static std::vector<std::pair<int, KSettingChangeObserver>> list;
  return list;
}

// The first executable file named `name` in the folders of PATH; `name`
// itself when it holds a '/'. Empty when none.
std::string findOnPath(const std::string& name) {
  if (name.find('/') != std::string::npos) return access(name.c_str(), X_OK) == 0 ? name : std::string();
  const char* path = getenv("PATH");
  std::string folders = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= folders.size()) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    std::string dir = folders.substr(start, end - start);
    if (dir.empty()) dir = ".";
    std::string candidate = dir + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return std::string();
}

// arguments = { argument blank }; an argument is a run of non-blanks or a
// "..." group (the quotes are dropped; \" inside a group is a quote).
std::vector<std::string> splitArguments(const char* text) {
  std::vector<std::string> args;
  if (!text) return args;
  const char* p = text;
  while (*p) {
    while (*p == ' ' || *p == '\t') ++p;
    if (!*p) break;
    std::string arg;
    bool quoted = false;
    for (; *p && (quoted || (*p != ' ' && *p != '\t')); ++p) {
      if (*p == '"') quoted = !quoted;
      else if (quoted && *p == '\\' && p[1] == '"') arg += *++p;
      else arg += *p;
    }
    args.push_back(arg);
  }
  return args;
}

BOOL failShell(SHELLEXECUTEINFOA* info, DWORD error) {
  info->dwError = error;
  info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<UINT_PTR>(error == ERROR_FILE_NOT_FOUND ? 2 : 5));
  return FALSE;
}
}  // namespace

int KAddSettingChangeObserver(KSettingChangeObserver observer) {
  static int lastId = 0;
  observers().emplace_back(++lastId, std::move(observer));
  return lastId;
}

bool KRemoveSettingChangeObserver(int id) {
  auto& list = observers();
  for (auto it = list.begin(); it != list.end(); ++it)
    if (it->first == id) {
      list.erase(it);
      return true;
    }
  return false;
}

LRESULT SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT, UINT,
                            DWORD_PTR* result) {
  if (result) *result = 0;
  if (window != HWND_BROADCAST) return 0;
  const char* area = message == WM_SETTINGCHANGE ? reinterpret_cast<const char*>(lParam) : nullptr;
  // A copy, so that an observer may add or remove observers while being told.
  auto list = observers();
  for (auto& [id, observer] : list)
    if (observer) observer(message, wParam, area);
  return 1;
}

BOOL ShellExecuteExA(SHELLEXECUTEINFOA* info) {
  if (!info) return FALSE;
  info->dwError = 0;
  if (!info->lpFile || !*info->lpFile || !info->lpVerb || strcmp(info->lpVerb, "runas") != 0)
    return failShell(info, ERROR_INVALID_PARAMETER);
  std::string pkexec = findOnPath("pkexec");
  if (pkexec.empty()) return failShell(info, ERROR_FILE_NOT_FOUND);

  std::vector<std::string> args{pkexec, info->lpFile};
  for (auto& a : splitArguments(info->lpParameters)) args.push_back(a);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (info->lpDirectory && *info->lpDirectory) posix_spawn_file_actions_addchdir_np(&actions, info->lpDirectory);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, pkexec.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return failShell(info, rc == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);

  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return failShell(info, ERROR_ACCESS_DENIED);
  if (WIFEXITED(status) && (WEXITSTATUS(status) == 126 || WEXITSTATUS(status) == 127))
    return failShell(info, ERROR_CANCELLED);
  info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<UINT_PTR>(42));
  return TRUE;
}

namespace {
// Installer property names and the registry values that record them.
const char* recordedValueOf(const char* property) {
  static const struct { const char* property; const char* value; } names[] = {
      {"InstalledProductName", "DisplayName"}, {"VersionString", "DisplayVersion"},
      {"DisplayName", "DisplayName"},          {"DisplayVersion", "DisplayVersion"},
      {"HelpLink", "HelpLink"},                {"HelpTelephone", "HelpTelephone"},
      {"InstallLocation", "InstallLocation"},  {"InstallSource", "InstallSource"},
      {"InstallDate", "InstallDate"},          {"Publisher", "Publisher"},
      {"LocalPackage", "LocalPackage"},        {"URLInfoAbout", "URLInfoAbout"},
      {"URLUpdateInfo", "URLUpdateInfo"},      {"VersionMinor", "VersionMinor"},
      {"VersionMajor", "VersionMajor"},        {"Version", "Version"},
      {"ProductID", "ProductID"},              {"RegCompany", "RegCompany"},
      {"RegOwner", "RegOwner"},                {"Language", "Language"},
      {"ProductIcon", "DisplayIcon"},          {"Comments", "Comments"},
      {"Contact", "Contact"},                  {"EstimatedSize", "EstimatedSize"},
  };
  for (auto& n : names)
    if (strcasecmp(n.property, property) == 0) return n.value;
  return nullptr;
}
}  // namespace

UINT MsiGetProductInfoA(LPCSTR productCode, LPCSTR property, LPSTR buffer, DWORD* length) {
  if (!productCode || !*productCode || !property || (buffer && !length)) return ERROR_INVALID_PARAMETER;
  std::string keyPath = std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + productCode;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return ERROR_UNKNOWN_PRODUCT;
  const char* valueName = recordedValueOf(property);
  std::string text;
  UINT answer = ERROR_UNKNOWN_PROPERTY;
  DWORD type = 0, size = 0;
  if (valueName && RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    std::vector<BYTE> data(size + 1, 0);
    if (RegQueryValueExA(key, valueName, nullptr, &type, data.data(), &size) == ERROR_SUCCESS) {
      if (type == REG_DWORD && size >= 4) {
        DWORD v;
        memcpy(&v, data.data(), 4);
        text = std::to_string(v);
        answer = ERROR_SUCCESS;
      } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
        text.assign(reinterpret_cast<const char*>(data.data()), strnlen(reinterpret_cast<const char*>(data.data()), size));
        answer = ERROR_SUCCESS;
      }
    }
  }
  RegCloseKey(key);
  if (answer != ERROR_SUCCESS) return answer;
  if (!length) return ERROR_SUCCESS;
  if (!buffer || *length <= text.size()) {
    *length = static_cast<DWORD>(text.size());
    return buffer ? ERROR_MORE_DATA : ERROR_SUCCESS;
  }
  memcpy(buffer, text.c_str(), text.size() + 1);
  *length = static_cast<DWORD>(text.size());
  return ERROR_SUCCESS;
}
