// Entry-field text into numbers: the first byte picks the quantity, the unit
// set (feet, inches or metres) and the time scale; the rest is the text,
// read as a real and as an integer. Every input must end in a value or a
// failure with a message, never a crash, hang or leak.
#include "fuzz/KFuzzUnitsApp.h"
#include "model/units/KConsistentUnits.h"
#include "model/units/KEntryConversion.h"
#include "storage/numbertext/KQuantityCodes.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 4096) return 0;
  KFuzzUnitsApp* app = &KFuzzUnitsApp::current();
  static const long kCodes[] = {KQuantityCodes::kDimensionless, KQuantityCodes::kLength, KQuantityCodes::kTimescale,
                                KQuantityCodes::kRate};
  static const char* const kSets[] = {"lbf,ft,lb,s,F", "lbf,in,lbf.s2/in,s,F", "N,m,kg,s,C"};
  const uint8_t pick = data[0];
  app->m_units.setFromSetName(kSets[(pick >> 2) % 3]);
  app->m_timescale = (pick & 0x40) ? 60 : 0;
  const KString text(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  double value = (pick & 0x80) ? 2.5 : 0.0;
  KString error;
  textToReal(text, value, error, nullptr, kCodes[pick & 3], 1 + (pick >> 4) % 20, (pick & 0x20) != 0);
  long integer = 0;
  textToInteger(text, integer, error, (pick & 0x20) != 0);
  return 0;
}
