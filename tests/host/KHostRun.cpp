#include "KHostRun.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {
std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
}  // namespace

KHostRunResult KHostRun(const std::string& program, const std::vector<std::string>& args,
                        const std::map<std::string, std::string>& env) {
  KScratchFolder capture;
  std::string outPath = capture.path() + "/out", errPath = capture.path() + "/err";
  KHostRunResult result;
  pid_t pid = fork();
  if (pid < 0) return result;
  if (pid == 0) {
    // No window system unless the test asks for one: a run without a command
    // would otherwise open the workbench and wait for a user.
    if (!env.count("DISPLAY")) unsetenv("DISPLAY");
    for (const auto& [name, value] : env) {
      if (value.empty()) unsetenv(name.c_str());
      else setenv(name.c_str(), value.c_str(), 1);
    }
    int in = open("/dev/null", O_RDONLY);
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  result.out = readAll(outPath);
  result.err = readAll(errPath);
  return result;
}

