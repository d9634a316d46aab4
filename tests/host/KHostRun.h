// Runs quelmhost (or another program) as a child process for end-to-end
// tests: a chosen environment on top of the test's own, standard input from
// /dev/null, standard output and error captured apart.
#pragma once
#include <map>
#include <string>
#include <vector>

struct KHostRunResult {
  int exitCode = -1;  // -1 when the child did not exit normally
  std::string out;
  std::string err;
};

// Runs `program` with `args`; `env` entries are set (an empty value unsets).
KHostRunResult KHostRun(const std::string& program, const std::vector<std::string>& args,
                        const std::map<std::string, std::string>& env);

// A fresh temporary folder, removed with its content when the object dies.
class KTempFolder {
 public:
  KTempFolder();
  ~KTempFolder();
  KTempFolder(const KTempFolder&) = delete;
  KTempFolder& operator=(const KTempFolder&) = delete;
  const std::string& path() const { return m_path; }
  // Writes `text` to the file `name` in the folder.
  void write(const std::string& name, const std::string& text) const;

 private:
  std::string m_path;
};
