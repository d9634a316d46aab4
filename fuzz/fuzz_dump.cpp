// Fuzz target: quelmhost dump's path through the object file readers on
// arbitrary bytes. The bytes become a file; the listing goes to /dev/null.
// Refusals (file and memory exceptions) are the expected outcome for most
// inputs; crashes, sanitizer reports and other exceptions are findings.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "host/KObjectFileCommands.h"
#include "platform/KExceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/fuzz_dump_" + std::to_string(getpid());
  static FILE* sink = fopen("/dev/null", "w");
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return 0;
  fwrite(data, 1, size, f);
  fclose(f);
  // Every way of listing: the whole file, the header alone, and one object
  // from a stream that is checked as it goes.
  KDumpOptions options;
  options.all = size % 2 == 0;  // list every value on half the inputs
  options.headerOnly = size % 3 == 1;
  if (size % 3 == 2) {
    options.hasObject = true;
    options.objectType = KPersistName("Model");
    options.objectName = KPersistName("m1");
  }
  try {
    KDumpObjectFile(path.c_str(), options, sink);
  } catch (const CFileException&) {
  } catch (const CMemoryException&) {
  }
  return 0;
}
