#include "model/units/KTimescaleUnits.h"

#include "containers/options/KOption.h"
#include "storage/objectfile/KPersistance.h"
#include "storage/tables/KEnumTables.h"

#include <cstdint>

namespace {
// The rate suffix of each time-scale enumerator (the unit texts are the
// enumeration's triples).
struct RateSuffix {
  long unit;
  const char* suffix;
};
const RateSuffix kRateSuffixes[] = {
    {1, "/second"}, {60, "/minute"}, {3600, "/hour"}, {86400, "/day"}, {0, "/increment"}};
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
  for (const RateSuffix& row : kRateSuffixes)
    if (row.unit == m_timescaleUnit) return KString(row.suffix);
  return KString("unset");
}

bool KTimescaleUnits::setFromText(const char* text) {
  using Timescale = KSharedEnums::KSharedEnum::timescale;
  KEnumTrpl<Timescale>* table = nullptr;
  long count = 0;
  getTripleArray(table, count);
  for (long i = 0; i < count; ++i) {
    if (compareOptionNames(table[i].getHardStr(), text) == 0) {
      m_timescaleUnit = static_cast<long>(table[i].getEnumVal());
      return false;
    }
  }
  return true;
}
