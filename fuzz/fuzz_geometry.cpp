// Feeds arbitrary bytes to the geometry values' persistence reads: the input
// is an object file (text form when the first byte is 'Q', binary
// otherwise); every top-level object is entered and coordinates, a matrix and
// a plane are read under the tags 1 to 4. A value must come back either read
// whole or as its fallback; a refusal must be the file layer's exception.
#include <cstdlib>

#include "KFuzzObjectFile.h"
#include "geometry/coords/K2dCoords.h"
#include "geometry/coords/K3dCoords.h"
#include "geometry/matrices/K3dMatrix.h"
#include "geometry/matrices/K3dPlane.h"

namespace {
template <class P>
void readAll() {
  try {
    P reader(kFuzzFile().c_str(), false);
    reader.open();
    for (long i = 0; i < reader.getObjectCount() && i < 50; ++i) {
      const FObjectEntry& e = reader.getObject(i);
      if (e.m_parent != -1) continue;
      reader.enterObject(e.m_type, e.m_name);
      for (int tag = 1; tag <= 4; ++tag) {
        const K3dCoords fallback(7, 8, 9);
        K3dCoords p(fallback);
        p.readPersistent(reader, tag, fallback);
        K2dCoords q;
        q.readPersistent(reader, tag, K2dCoords(1, 2));
        K3dMatrix m;
        m.readPersistent(reader, tag, K3dMatrix(1, 0, 0, 0, 1, 0, 0, 0, 1));
        K3dPlane plane;
        plane.readPersistent(reader, tag, K3dPlane(0, 0, 1, 0));
        if (reader.findAttribute('R', KPersistName(tag, 0)) != 3 && !(p == fallback)) abort();
      }
      reader.leaveObject();
    }
  } catch (const CFileException&) {
  } catch (const CMemoryException&) {
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kFuzzStore(data, size);
  if (size > 0 && data[0] == 'Q')
    readAll<KTextPersistance>();
  else
    readAll<KBinaryPersistance>();
  return 0;
}
