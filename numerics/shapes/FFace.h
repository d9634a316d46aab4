// FFace: the parametric description of an element face or edge: its domain
// in local coordinates (xi, eta), the shape functions of its nodes, and the
// mapping between local coordinates and space, node coordinates given by the
// caller in node order.
//
// The families fix the domain: FQuadFace the square (-1, -1)-(1, 1),
// FTriFace the triangle xi >= 0, eta >= 0, xi + eta <= 1 (its rectangle is
// (0, 0)-(1, 1)), FBeamFace the segment -1 <= xi <= 1 (eta is 0). The
// concrete faces (FElementFaces.h) supply the shape functions.
//
// The inverse mapping forms each spatial coordinate of the mapping as a
// polynomial in (xi, eta), less the target, drops the coordinate whose
// coefficients are smallest and searches the common zeros of the other two
// (findCommonZeros) over the domain enlarged by 5 percent. Each candidate is
// then polished by Newton's method, which takes it from the search's 1e-7 to
// rounding level; candidates that polish to one point are merged, and the
// one lying closest to the domain (then with the smallest residual) is the
// answer. A beam's candidates lie on eta = 0. Faces hold no data and may be shared.
#pragma once
#include "containers/memory/KSimpleArray.h"
#include "geometry/coords/K2dRect.h"
#include "geometry/coords/K3dCoords.h"
#include "numerics/shapes/FBivariantPolynomial.h"

class FFace {
 public:
  // Faces have at most this many nodes.
  static constexpr int kMaxNodes = 8;
  // Search settings of the inverse mapping, in units of the domain.
  static constexpr double kConvergenceTolerance = 1e-07;
  static constexpr int kMaxIterations = 100;
  static constexpr int kGridCount = 8;
  static constexpr double kMinimumSize = 1e-9;
  static constexpr double kMergeDistance = 1e-4;

  virtual ~FFace() = default;

  // Every candidate local point of target, polished, in the order the search
  // found them (none when the mapping is singular at the centre of the
  // domain: zero area, collinear or coincident nodes, invalid numbers). True
  // when the mapping could not be formed or the search failed.
  virtual bool globalToLocalCandidates(const K3dCoords& target, const K3dCoords* nodes,
                                       KSimpleArray<K2dCoords>& candidates) const;
  // The candidate closest to the domain (see above); true when there is none.
  virtual bool globalToLocal(const K3dCoords& target, const K3dCoords* nodes, K2dCoords& local) const;
  virtual int nodeCount() const = 0;
  // One value per node, in node order, into values[0 .. nodeCount()).
  virtual bool shapeFunctions(const K2dCoords& local, double* values) const = 0;
  // Derivatives of the shape functions with respect to xi and eta.
  virtual bool shapeDerivatives(const K2dCoords& local, double* dXi, double* dEta) const;
  // Sum N_i(xi, eta) nodeValues[i] as a polynomial in (xi, eta), exact for
  // shape functions of degree 2 or less in each variable.
  virtual bool coordinatePolynomial(const double* nodeValues, FBivariantPolynomial<double>& out) const;
  // Sum N_i(local) nodes[i].
  virtual bool localToGlobal(const K2dCoords& local, const K3dCoords* nodes, K3dCoords& global) const;
  virtual K2dRect domain() const = 0;
  virtual bool isTriangular() const = 0;
  virtual bool centre(K2dCoords& local) const = 0;
  // Inside the domain widened by margin on every side (bounds included).
  virtual bool isInside(const K2dCoords& local, double margin) const = 0;
  // How far local lies outside the domain (0 inside).
  virtual double distanceOutside(const K2dCoords& local) const = 0;

 protected:
  // The rectangle searched by the inverse mapping.
  K2dRect searchDomain() const;
  // Each spatial coordinate of the mapping less the target's, as a
  // polynomial in (xi, eta); true when the nodes or the target hold invalid
  // numbers or a polynomial could not be formed.
  bool mappedCoordinates(const K3dCoords& target, const K3dCoords* nodes, FBivariantPolynomial<double> mapped[3]) const;
};

class FTriFace : public FFace {
 public:
  K2dRect domain() const override { return K2dRect(0.0, 0.0, 1.0, 1.0); }
  bool isTriangular() const override { return true; }
  bool centre(K2dCoords& local) const override {
    local = K2dCoords(1.0 / 3.0, 1.0 / 3.0);
    return false;
  }
  bool isInside(const K2dCoords& local, double margin) const override {
    double zeta = 1.0 - local.x() - local.y();
    return within(local.x(), margin) && within(local.y(), margin) && within(zeta, margin);
  }
  double distanceOutside(const K2dCoords& local) const override;

 private:
  static bool within(double v, double margin) { return -margin <= v && v <= 1.0 + margin; }
};

class FQuadFace : public FFace {
 public:
  K2dRect domain() const override { return K2dRect(-1.0, -1.0, 1.0, 1.0); }
  bool isTriangular() const override { return false; }
  bool centre(K2dCoords& local) const override {
    local = K2dCoords(0.0, 0.0);
    return false;
  }
  bool isInside(const K2dCoords& local, double margin) const override {
    double lo = -1.0 - margin, hi = 1.0 + margin;
    return lo <= local.x() && local.x() <= hi && lo <= local.y() && local.y() <= hi;
  }
  double distanceOutside(const K2dCoords& local) const override;
};

class FBeamFace : public FFace {
 public:
  K2dRect domain() const override { return K2dRect(-1.0, 0.0, 1.0, 0.0); }
  bool isTriangular() const override { return false; }
  bool centre(K2dCoords& local) const override {
    local = K2dCoords(0.0, 0.0);
    return false;
  }
  bool isInside(const K2dCoords& local, double margin) const override {
    return -1.0 - margin <= local.x() && local.x() <= 1.0 + margin;
  }
  double distanceOutside(const K2dCoords& local) const override;
  // A beam's mapping depends on xi alone, so its two-dimensional search
  // degenerates (the zeros form lines across the search strip). The
  // candidates are instead the real roots, in the enlarged segment, of the
  // coordinate that varies most along the beam at which the other two
  // coordinates agree with the target too (within kConvergenceTolerance of
  // the beam's size); they lie on eta = 0. An error when the nodes coincide.
  bool globalToLocalCandidates(const K3dCoords& target, const K3dCoords* nodes,
                               KSimpleArray<K2dCoords>& candidates) const override;
};
