// K3dVolume: an axis-aligned box, empty (min 1, max 0) by default. See
// KndBounds.h.
#pragma once
#include "geometry/coords/K3dCoords.h"
#include "geometry/coords/KndBounds.h"

class K3dVolume : public KndBounds<K3dVolume, K3dCoords, double, 2> {
 public:
  K3dVolume() = default;
  // Both corners at p.
  explicit K3dVolume(const K3dCoords& p) : KndBounds(p, p) {}
  K3dVolume(double x, double y, double z) : K3dVolume(K3dCoords(x, y, z)) {}
  // Componentwise minimum and maximum of a and b.
  K3dVolume(const K3dCoords& a, const K3dCoords& b) : KndBounds(a, b) {}
  K3dVolume(double x1, double y1, double z1, double x2, double y2, double z2)
      : KndBounds(K3dCoords(x1, y1, z1), K3dCoords(x2, y2, z2)) {}
  K3dVolume(const K3dVolume&) = default;
  K3dVolume& operator=(const K3dVolume&) = default;

  K3dCoords centre() const { return (m_max + m_min) / 2.0; }
  // Corner i (0 ... 7) of a valid volume: bit 0 of i takes max (1) or min (0)
  // for x, bit 1 for y, bit 2 for z. Only the low three bits of i are used.
  K3dCoords corner(int i) const {
    return K3dCoords((i & 1) ? m_max.x() : m_min.x(), (i & 2) ? m_max.y() : m_min.y(),
                     (i & 4) ? m_max.z() : m_min.z());
  }
  // Grows the volume to hold p. An invalid (for example empty) volume
  // becomes the single point p.
  void include(const K3dCoords& p) {
    if (!isValid()) {
      m_min = p;
      m_max = p;
      return;
    }
    for (int i = 0; i < kCount; ++i) {
      if (p[i] < m_min[i])
        m_min[i] = p[i];
      else if (p[i] > m_max[i])
        m_max[i] = p[i];
    }
  }
};
