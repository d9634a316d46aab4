// Reading and writing fixed-size groups of reals under an integer tag, the
// record form of every geometry value (coordinates, matrices, planes).
//
// An integer tag t is the numeric attribute name (t, 0). A group is read only
// when the stored record holds exactly `count` reals; the count is asked
// before any value is read, so that an oversized record costs no allocation.
#pragma once
#include "storage/objectfile/KPersistName.h"

class KPersistance;

// The attribute name of an integer tag.
inline KPersistName geometryTagName(int tag) { return KPersistName(tag, 0); }

// Fills out[0 .. count-1] and answers false when the record under `tag` holds
// exactly `count` reals; answers true (out untouched) otherwise. count <= 16.
bool readRealGroup(KPersistance& stream, int tag, int count, double* out);
void writeRealGroup(KPersistance& stream, int tag, int count, const double* values);
