// Helpers shared by the object file tests: whole-file
// reads and writes, the golden model content, and page decompression.
#pragma once
#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <dirent.h>
#include <unistd.h>

#include "storage/objectfile/KBinaryPersistance.h"
#include "storage/objectfile/KTextPersistance.h"
#include "tests/support/KScratchFolder.h"

inline std::string kReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void kWriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::string> kListFolder(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d))
      if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
    closedir(d);
  }
  return names;
}

inline std::string kGoldenPath(const char* name) {
  const char* root = std::getenv("QUELM_TEST_DATA");
  return std::string(root ? root : "tests/data") + "/persistence/" + name;
}

// The content of the golden files (see tests/data/persistence/make_golden.py).
inline void kWriteGoldenModel(KImplPersistance& p) {
  p.setApplication(7);
  p.setMode(2);
  p.beginObject("Model", "m1");
  LONGLONG ints[31];
  for (int i = 0; i < 31; ++i) ints[i] = i + 1;
  p.writeI64("ints", 31, ints);
  double reals[] = {1.5, 2.2250738585072014e-308, -0.25};
  p.writeR("reals", 3, reals);
  bool flags[] = {true, false, true};
  p.writeB("flags", 3, flags);
  p.writeChars("code", "abc");
  KString names[] = {"alpha", "be ta"};
  p.writeS("names", 2, names);
  p.writeUInt("u", 7);
  p.writeLValue("l", 9);
  p.beginObject("Part", "p1");
  p.writeInt(KPersistName(5, 2), -3);
  p.endObject();
  p.endObject();
  p.Close();
}

// The logical stream of a paged file: the pages after the 200-byte header
// area, decompressed one after another. Empty on any fault.
inline std::string kUnpage(const std::string& file, bool text) {
  std::string out;
  size_t at = 200;
  while (at < file.size()) {
    int compressed = 0, logical = 0;
    if (text) {
      if (file[at] != '\n') return "";
      size_t end = file.find('\n', at + 1);
      if (end == std::string::npos || std::sscanf(file.c_str() + at + 1, "%d %d", &compressed, &logical) != 2)
        return "";
      at = end + 1;
    } else {
      std::memcpy(&compressed, file.data() + at, 4);
      std::memcpy(&logical, file.data() + at + 4, 4);
      at += 8;
    }
    std::string page(static_cast<size_t>(logical), '\0');
    uLongf size = static_cast<uLongf>(logical);
    if (uncompress(reinterpret_cast<Bytef*>(page.data()), &size,
                   reinterpret_cast<const Bytef*>(file.data() + at), static_cast<uLong>(compressed)) != Z_OK)
      return "";
    out += page;
    at += static_cast<size_t>(compressed);
  }
  return out;
}
