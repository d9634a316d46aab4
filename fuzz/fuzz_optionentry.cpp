// The options reader of model files: each line of the input is one entry of
// the "values" array, taken apart and turned into typed values; each line is
// also replayed as a script command into a store. Bad entries must be
// refused, never crash, hang or allocate without bound.
#include "model/options/KDatabaseOptions.h"
#include "model/options/KOptionEntry.h"
#include "model/options/KOptionsScript.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {
template <class T>
void convert(const KOptionEntry& e) {
  T value{}, def{};
  optionValueFromText(e.m_value, value);
  optionValueFromText(e.m_default, def);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536) return 0;
  KDatabaseOptions store;
  std::string_view all(reinterpret_cast<const char*>(data), size);
  while (!all.empty()) {
    size_t end = all.find('\n');
    std::string_view line = all.substr(0, end);
    all = end == std::string_view::npos ? std::string_view() : all.substr(end + 1);
    KOptionEntry e;
    bool nameRead = false;
    if (parseOptionEntry(line.data(), line.size(), e, nameRead)) {
      switch (e.m_type) {
        case 'I': convert<long>(e); break;
        case 'R': convert<double>(e); break;
        case 'S': convert<KString>(e); break;
        default: convert<bool>(e); break;
      }
    }
    replayOptionCommand(KString(line), store);
  }
  return 0;
}
