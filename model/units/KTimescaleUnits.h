// KTimescaleUnits: the unit in which a model shows and enters times and
// rates marked with the time-scale quantity codes. The value is a
// KSharedEnums::KSharedEnum::timescale enumerator: the number of seconds in
// the unit (1, 60, 3600, 86400), or 0 for increments (no conversion).
//
// In object files: the object "KTimescaleUnits" with the integer
// "m_timescaleUnit" (read within the 32-bit signed range; a missing value
// leaves the unit as it was).
#pragma once
#include "core/application/KObject.h"
#include "platform/KString.h"

class KPersistance;

class KTimescaleUnits : public KObject {
 public:
  enum : long { kSeconds = 1, kMinutes = 60, kHours = 3600, kDays = 86400, kIncrements = 0 };

  explicit KTimescaleUnits(long unit = kSeconds) : m_timescaleUnit(unit) {}
  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

  void write(KPersistance& stream, const char* name = "KTimescaleUnits") const;
  void read(KPersistance& stream, const char* name = "KTimescaleUnits");

  // "/second", "/minute", "/hour", "/day", "/increment"; "unset" for any
  // other value.
  KString rateSuffix() const;
  // The enumerator whose triple's fixed text ("Seconds", "Minutes", "Hours",
  // "Days", "Increments") equals `text` without regard to letter case; true
  // (unit unchanged) when none does.
  bool setFromText(const char* text);

  long m_timescaleUnit;
};
