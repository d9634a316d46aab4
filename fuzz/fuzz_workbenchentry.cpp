// The workbench's entry field: the first byte picks the unit set and the
// previous value, the rest is the text, with unit names joined to the numbers
// before them and then read as a length. Every input must end in a value or
// a failure with a message; the joined text is never more than twice as
// long as the entry.
#include "fuzz/KFuzzUnitsApp.h"
#include "host/KWorkbenchEntry.h"
#include "model/units/KConsistentUnits.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 4096) return 0;
  KFuzzUnitsApp* app = &KFuzzUnitsApp::current();
  static const char* const kSets[] = {"lbf,ft,lb,s,F", "lbf,in,lbf.s2/in,s,F", "N,m,kg,s,C", "N,mm,kg,s,C"};
  KString error;
  app->m_units.setFromSetName(kSets[data[0] & 3], &error);
  KWorkbenchEntry entry(app->m_units);
  const KString text(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  if (KWorkbenchEntry::joinUnitNames(text).GetLength() > 2 * text.GetLength()) abort();
  if (data[0] & 4) entry.evaluate("2.5");
  KWorkbenchResult result = entry.evaluate(text);
  if (result.failed && result.text.IsEmpty()) abort();
  return 0;
}
