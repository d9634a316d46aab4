// A fresh folder for one test, removed with everything in it when the test
// ends. Tests that touch the disk make their files here, never in shared places.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <unistd.h>

class KScratchFolder {
 public:
  // Makes "<TMPDIR or /tmp>/quelm-<tag>-XXXXXX"; path() is empty when that fails.
  explicit KScratchFolder(const char* tag = "test") {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/quelm-" + tag + "-XXXXXX";
    if (mkdtemp(pattern.data())) m_path = pattern;
  }
  ~KScratchFolder() {
    std::error_code ignored;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
  }
  KScratchFolder(const KScratchFolder&) = delete;
  KScratchFolder& operator=(const KScratchFolder&) = delete;

  const std::string& path() const { return m_path; }
  // The path of NAME inside the folder.
  std::string file(const std::string& name) const { return m_path + "/" + name; }
  // Writes `bytes` to the file NAME in the folder, replacing it.
  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(file(name), std::ios::binary | std::ios::trunc) << bytes;
  }
  // The bytes of the file NAME, or "" when it cannot be read.
  std::string read(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

 private:
  std::string m_path;
};
