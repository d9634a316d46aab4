#include "numerics/shapes/FShape2dCoordsBase.h"

#include <cstdio>

#include "core/system/KTextFile.h"

FShape2dCoordsBase::FShape2dCoordsBase(const FShape2dCoordsBase& other) : KExtensionList(), m_id(other.m_id) {
  for (long i = 0; i < other.getExtensionCount(); ++i)
    addExtension(new KExtension(other.getExtension(i)->getHandle()));
}

const K2dCoords& FShape2dCoordsBase::zeroCoords() {
  static const K2dCoords zero(0.0, 0.0);
  return zero;
}

bool FShape2dCoordsBase::swapCorners(K2dCoords* corners, int n, int i, int j) {
  swap(corners[i], corners[j]);
  return m_pClientData && m_pClientData->cornersSwapped(n, i, j);
}

bool FShape2dCoordsBase::copyCorners(const K2dCoords* corners, int n, KSimpleArray<K2dCoords>& out) const {
  if (!m_bCoordsSet) {
    out.setCount(0);
    return true;
  }
  out.setCount(n);
  if (out.getValidCount() != n) return true;
  for (int i = 0; i < n; ++i) out[i] = corners[i];
  return false;
}

void FShape2dCoordsBase::dumpCorners(KTextFile* file, const char* className, const K2dCoords* corners,
                                     int n) const {
  if (!file) return;
  char line[128];
  snprintf(line, sizeof line, "%s %d nCoords %d \n", className, m_id, numCoords());
  file->writeLine(line, 0);
  if (!m_bCoordsSet) return;
  for (int i = 0; i < n; ++i) {
    snprintf(line, sizeof line, "%d : %14.5e %14.5e \n", i + 1, corners[i].x(), corners[i].y());
    file->writeLine(line, 0);
  }
}

int FShape2dCoordsBase::locatePoint(const K2dCoords& point, double margin, double snapDistance, int& corner) const {
  corner = -1;
  int n = numCoords();
  if (n == 0) return -1;
  if (snapDistance >= 0.0)
    for (int i = 0; i < n; ++i)
      if (distance(coords(i), point) <= snapDistance) {
        corner = i;
        return -2;
      }
  K2dCoords local;
  int where = globalToLocal(point, margin, 1e-12, local);
  return where == 0 || where == -1 ? 0 : -1;
}
