// Reads arbitrary bytes as a text and as a binary paged compressed file:
// whole, line by line and by seeks. Damaged input may raise the file or
// memory exception; anything else (a crash, a sanitizer report, a read past
// the data) is a fault.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "storage/paged/KBinaryCompressedFile.h"
#include "storage/paged/KTextCompressedFile.h"

namespace {

const std::string& scratchPath() {
  static const std::string path = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                  "/quelm-fuzz-paged-" + std::to_string(getpid()) + ".dat";
  return path;
}

void readEverything(KCompressedFile& file, const std::string& path, uint64_t seekSeed) {
  if (!file.m_file.Open(path.c_str(), CFile::modeRead)) return;
  file.SetHeaderSize(200);
  file.SetCompressionLevel(1);
  try {
    char buffer[40000];
    ULONGLONG total = 0;
    while (UINT n = file.Read(buffer, sizeof buffer)) total += n;
    if (file.GetPosition() != total) std::abort();
    KString line;
    file.Seek(0, CFile::begin);
    while (file.ReadString(line)) {
    }
    for (int i = 0; i < 4; ++i) {
      ULONGLONG at = file.Seek(static_cast<LONGLONG>(seekSeed % (total + 40000)), CFile::begin);
      if (at > total) std::abort();
      if (file.Read(buffer, 1000) > total - at) std::abort();
      seekSeed = seekSeed * 6364136223846793005ULL + 1442695040888963407ULL;
    }
    file.Close();
  } catch (const CFileException&) {
  } catch (const CMemoryException&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = scratchPath();
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return 0;
  if (size) std::fwrite(data, 1, size, out);
  std::fclose(out);
  uint64_t seed = size ? data[size / 2] * 7919ULL + size : 1;
  {
    KTextCompressedFile text(false);
    readEverything(text, path, seed);
  }
  {
    KBinaryCompressedFile binary(false);
    readEverything(binary, path, seed);
  }
  return 0;
}
