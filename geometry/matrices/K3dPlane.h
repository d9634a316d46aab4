// K3dPlane: the plane a x + b y + c z = d in space. After a normalising
// construction the normal (a, b, c) has unit length, so signedDistance() is a
// true distance. A plane is valid when |(a, b, c)| > "minPerpTolDist"
// (default 1e-8); every failed construction leaves the invalid plane, all
// four values zero. Plain value.
//
// Virtual-table order: 0 readPersistent, 1 writePersistent, 2 getSizeOfThis,
// 3 planeQuery.
#pragma once
#include "geometry/coords/K3dCoords.h"

class KPersistance;

class K3dPlane {
 public:
  // The invalid plane.
  K3dPlane() = default;
  K3dPlane(const K3dPlane&) = default;
  K3dPlane& operator=(const K3dPlane&) = default;
  virtual ~K3dPlane() = default;
  // Normal and offset both divided by |normal|; the invalid plane when
  // |normal| <= "minPerpTolDist".
  K3dPlane(const K3dCoords& normal, double d);
  // The four values as given, not normalised.
  K3dPlane(double a, double b, double c, double d) : m_a(a), m_b(b), m_c(c), m_d(d) {}
  // The plane through `point` with the unit normal normal/|normal|; the
  // invalid plane when |normal| <= "minPerpTolDist".
  K3dPlane(const K3dCoords& normal, const K3dCoords& point) { set(normal, point); }
  // Through three points; the invalid plane when they are (nearly)
  // coincident or collinear. The normal is (p1 - p0) x (p2 - p0), normalised.
  K3dPlane(const K3dCoords& p0, const K3dCoords& p1, const K3dCoords& p2) { setThroughPoints(p0, p1, p2); }
  // The plane through `start` whose normal is end - start (normalised).
  static K3dPlane fromSegment(const K3dCoords& start, const K3dCoords& end) { return K3dPlane(end - start, start); }

  // As the constructors of the same arguments; true (error) when the result
  // is the invalid plane.
  bool set(const K3dCoords& normal, const K3dCoords& point);
  bool setThroughPoints(const K3dCoords& p0, const K3dCoords& p1, const K3dCoords& p2);

  // |(a, b, c)| > "minPerpTolDist" (false for NaN values).
  bool isValid() const;
  K3dCoords normal() const { return K3dCoords(m_a, m_b, m_c); }
  double offset() const { return m_d; }
  // a x + b y + c z - d.
  double signedDistance(const K3dCoords& p) const { return m_a * p.x() + m_b * p.y() + m_c * p.z() - m_d; }
  // The point where the line through p1 and p2 meets the plane, with its line
  // parameter t (point = p1 + t (p2 - p1), t not limited to [0, 1]). True
  // (error) with t = 0 and point (0, 0, 0) when the line is parallel to the
  // plane within "minPerpTolDist", the plane is invalid or the values are
  // not numbers.
  bool intersectLine(const K3dCoords& p1, const K3dCoords& p2, double& t, K3dCoords& point) const;

  // The four values (a, b, c, d) when the record under `tag` holds exactly 4
  // reals; otherwise a copy of `fallback`.
  virtual void readPersistent(KPersistance& stream, int tag, const K3dPlane& fallback);
  virtual void writePersistent(KPersistance& stream, int tag) const;
  virtual long getSizeOfThis() const { return static_cast<long>(sizeof(*this)); }
  // A three-argument query kept for the virtual-table layout; answers 0.
  virtual long planeQuery(long a, long b, long c) const {
    (void)a; (void)b; (void)c;
    return 0;
  }

 private:
  void clear() { m_a = m_b = m_c = m_d = 0.0; }

  double m_a = 0.0;
  double m_b = 0.0;
  double m_c = 0.0;
  double m_d = 0.0;
};
