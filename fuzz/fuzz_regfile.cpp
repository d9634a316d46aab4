// Feeds arbitrary bytes to the REGEDIT4 reader. Whatever it accepts must write
// back to text that reads to the same model, and writing that model again
// must give the same text; whatever it refuses must come with a line number.
#include "platform/KRegFile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  KRegModel model;
  KString error;
  if (KRegFile::parse(text, model, error)) {
    if (error.Left(5) != "line " || !model.empty()) abort();
    return 0;
  }
  KString written = KRegFile::write(model);
  KRegModel again;
  if (KRegFile::parse(written.str(), again, error)) abort();
  if (!again.sameAs(model)) abort();
  if (KRegFile::write(again) != written) abort();
  return 0;
}
