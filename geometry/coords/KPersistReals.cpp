#include "geometry/coords/KPersistReals.h"

#include "containers/memory/KSimpleArray.h"
#include "storage/objectfile/KPersistance.h"

bool readRealGroup(KPersistance& stream, int tag, int count, double* out) {
  KPersistName name = geometryTagName(tag);
  if (stream.findAttribute('R', name) != count) return true;
  KSSimpleArray<double> values;
  if (stream.readReals(name, values) != count) return true;
  for (int i = 0; i < count; ++i) out[i] = values[i];
  return false;
}

void writeRealGroup(KPersistance& stream, int tag, int count, const double* values) {
  stream.writeR(geometryTagName(tag), count, values);
}
