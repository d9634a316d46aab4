#include "model/units/KTimescaleUnits.h"

#include "containers/options/KOption.h"
#include "storage/objectfile/KPersistance.h"

#include <cstdint>

namespace {
struct TimescaleRow {
  long unit;
  const char* text;
  const char* rateSuffix;
};
const TimescaleRow kRows[] = {{1, "Seconds", "/second"},
                              {60, "Minutes", "/minute"},
                              {3600, "Hours", "/hour"},
                              {86400, "Days", "/day"},
                              {0, "Increments", "/increment"}};
}  // namespace

void KTimescaleUnits::write(KPersistance& stream, const char* name) const {
  stream.beginObject("KTimescaleUnits", name);
  stream.writeInt("m_timescaleUnit", m_timescaleUnit);
  stream.endObject();
}

void KTimescaleUnits::read(KPersistance& stream, const char* name) {
  stream.enterObject("KTimescaleUnits", name);
  m_timescaleUnit = stream.readInt("m_timescaleUnit", static_cast<int>(m_timescaleUnit), INT32_MIN, INT32_MAX);
  stream.leaveObject();
}

KString KTimescaleUnits::rateSuffix() const {
  for (const TimescaleRow& row : kRows)
    if (row.unit == m_timescaleUnit) return KString(row.rateSuffix);
  return KString("unset");
}

bool KTimescaleUnits::setFromText(const char* text) {
  for (const TimescaleRow& row : kRows) {
    if (compareOptionNames(row.text, text) == 0) {
      m_timescaleUnit = row.unit;
      return false;
    }
  }
  return true;
}
