// Feeds arbitrary bytes to the text object file reader as a whole file and
// walks every record and top-level object (see KFuzzObjectFile.h).
#include "KFuzzObjectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kFuzzStore(data, size);
  kFuzzWalk<KTextPersistance>(false);
  return 0;
}
