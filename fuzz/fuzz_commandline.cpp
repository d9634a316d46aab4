// Fuzz target: quelmhost's argument parser on arbitrary argument lists. The
// bytes are cut at NUL bytes into arguments; the parser runs with the
// options of dump (switches, an option with a checked value, one
// positional), then with those of options (an action word that fixes the
// number of further positionals). Usage texts on standard output go to /dev/null; run with
// -close_fd_mask=2 to silence the refusals on standard error. Any crash or sanitizer report is
// a finding; every input must end in "run" (-1), 0 (--help) or 2.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/KCommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool quiet = freopen("/dev/null", "w", stdout) != nullptr;
  (void)quiet;
  std::vector<std::string> words(1, "dump");
  std::string word;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      words.push_back(word);
      word.clear();
    } else {
      word += static_cast<char>(data[i]);
    }
  }
  words.push_back(word);
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());

  bool header = false, all = false;
  KString object;
  std::vector<const char*> files;
  KCommandLine line("dump", "usage: quelmhost dump FILE [--header] [--object TYPE/NAME] [--all]\n");
  line.flag("--header", &header).flag("--all", &all);
  line.option("--object", [&object](const char* value) {
    if (!std::strchr(value, '/')) return KString("--object takes TYPE/NAME");
    object = value;
    return KString();
  });
  line.positionals(&files, 1, 1, "dump needs a file");
  int status = line.parse(static_cast<int>(argv.size()), argv.data());
  if (status != -1 && status != 0 && status != 2) std::abort();
  if (status == -1 && files.size() != 1) std::abort();

  int action = -1;
  bool script = false;
  std::vector<const char*> operands;
  KCommandLine options("options", "usage: quelmhost options MODEL list | get NAME | set NAME VALUE\n");
  options.flag("--all", &script).positionals(&operands, 2, 4, "options needs MODEL and an action");
  options.actions(1, {{"list", 0}, {"get", 1}, {"set", 2}}, &action);
  status = options.parse(static_cast<int>(argv.size()), argv.data());
  if (status != -1 && status != 0 && status != 2) std::abort();
  // Action k takes k further positionals here.
  if (status == -1 && (action < 0 || operands.size() != 2 + static_cast<size_t>(action))) std::abort();
  return 0;
}
