// The concrete element faces: their node counts and shape functions.
//
//   FBeam2Face  N0 = (1 - xi)/2, N1 = 1 - N0
//   FBeam3Face  N0 = (xi - 1) xi/2, N1 = 1 - xi^2 (the middle node), N2 = (xi + 1) xi/2
//   FTri3Face   N0 = xi, N1 = eta, N2 = 1 - xi - eta: node 0 at (1, 0), node 1 at
//               (0, 1), node 2 at the origin
//   FQuad4Face  Ni = (1 + xi xi_i)(1 + eta eta_i)/4, nodes anticlockwise from
//               (-1, -1)
//   FTri6Face   corners as FTri3Face with Li (2 Li - 1), then the mid-side nodes
//               of edges 0-1, 1-2, 2-0: 4 L0 L1, 4 L1 L2, 4 L2 L0
//   FQuad8Face  corners as FQuad4Face with (1 + xi xi_i)(1 + eta eta_i)
//               (xi xi_i + eta eta_i - 1)/4, then the mid-side nodes of edges
//               0-1, 1-2, 2-3, 3-0
#pragma once
#include "numerics/shapes/FFace.h"

class FTri3Face : public FTriFace {
 public:
  int nodeCount() const override { return 3; }
  bool shapeFunctions(const K2dCoords& local, double* values) const override {
    values[0] = local.x();
    values[1] = local.y();
    values[2] = 1.0 - local.x() - local.y();
    return false;
  }
};

class FTri6Face : public FTriFace {
 public:
  int nodeCount() const override { return 6; }
  bool shapeFunctions(const K2dCoords& local, double* values) const override {
    double l0 = local.x(), l1 = local.y(), l2 = 1.0 - l0 - l1;
    values[0] = l0 * (2.0 * l0 - 1.0);
    values[1] = l1 * (2.0 * l1 - 1.0);
    values[2] = l2 * (2.0 * l2 - 1.0);
    values[3] = 4.0 * l0 * l1;
    values[4] = 4.0 * l1 * l2;
    values[5] = 4.0 * l2 * l0;
    return false;
  }
};

class FQuad4Face : public FQuadFace {
 public:
  int nodeCount() const override { return 4; }
  bool shapeFunctions(const K2dCoords& local, double* values) const override {
    double xi = local.x(), eta = local.y();
    values[0] = (1.0 - xi) * (1.0 - eta) / 4.0;
    values[1] = (1.0 + xi) * (1.0 - eta) / 4.0;
    values[2] = (1.0 + xi) * (1.0 + eta) / 4.0;
    values[3] = (1.0 - xi) * (1.0 + eta) / 4.0;
    return false;
  }
};

class FQuad8Face : public FQuadFace {
 public:
  int nodeCount() const override { return 8; }
  bool shapeFunctions(const K2dCoords& local, double* values) const override {
    static const double corners[4][2] = {{-1.0, -1.0}, {1.0, -1.0}, {1.0, 1.0}, {-1.0, 1.0}};
    double xi = local.x(), eta = local.y();
    for (int i = 0; i < 4; ++i) {
      double a = xi * corners[i][0], b = eta * corners[i][1];
      values[i] = (1.0 + a) * (1.0 + b) * (a + b - 1.0) / 4.0;
    }
    values[4] = (1.0 - xi * xi) * (1.0 - eta) / 2.0;
    values[5] = (1.0 + xi) * (1.0 - eta * eta) / 2.0;
    values[6] = (1.0 - xi * xi) * (1.0 + eta) / 2.0;
    values[7] = (1.0 - xi) * (1.0 - eta * eta) / 2.0;
    return false;
  }
};

class FBeam2Face : public FBeamFace {
 public:
  int nodeCount() const override { return 2; }
  bool shapeFunctions(const K2dCoords& local, double* values) const override {
    values[0] = (1.0 - local.x()) / 2.0;
    values[1] = 1.0 - values[0];
    return false;
  }
};

class FBeam3Face : public FBeamFace {
 public:
  int nodeCount() const override { return 3; }
  bool shapeFunctions(const K2dCoords& local, double* values) const override {
    double xi = local.x();
    values[0] = (xi - 1.0) * xi / 2.0;
    values[1] = 1.0 - xi * xi;
    values[2] = (xi + 1.0) * xi / 2.0;
    return false;
  }
};
