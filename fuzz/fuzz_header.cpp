// Feeds arbitrary bytes to the header readers of both object file forms;
// the first byte chooses the form, the rest is the file.
#include "KFuzzObjectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  kFuzzStore(data + 1, size - 1);
  if (data[0] & 1)
    kFuzzWalk<KTextPersistance>(true);
  else
    kFuzzWalk<KBinaryPersistance>(true);
  return 0;
}
