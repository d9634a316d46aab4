// Runs quelmhost (or another program) as a child process for end-to-end
// tests: a chosen environment on top of the test's own, standard input from
// /dev/null, standard output and error captured apart.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "tests/support/KScratchFolder.h"

struct KHostRunResult {
  int exitCode = -1;  // -1 when the child did not exit normally
  std::string out;
  std::string err;
};

// Runs `program` with `args`; `env` entries are set (an empty value unsets).
// DISPLAY is unset unless `env` names it, so quelmhost never opens a window.
KHostRunResult KHostRun(const std::string& program, const std::vector<std::string>& args,
                        const std::map<std::string, std::string>& env);

