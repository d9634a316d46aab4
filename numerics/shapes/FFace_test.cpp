#include "numerics/shapes/FFace.h"

#include <cmath>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "containers/memory/KGrowingArray.h"
#include "numerics/shapes/FElementFaces.h"

namespace {

std::vector<double> shapes(const FFace& face, double xi, double eta = 0.0) {
  std::vector<double> v(face.nodeCount());
  EXPECT_FALSE(face.shapeFunctions(K2dCoords(xi, eta), v.data()));
  return v;
}

// Local coordinates of the nodes of each face, in node order.
const std::vector<K2dCoords>& nodesOf(const FFace& face) {
  static const std::vector<K2dCoords> beam2{{-1, 0}, {1, 0}}, beam3{{-1, 0}, {0, 0}, {1, 0}},
      tri3{{1, 0}, {0, 1}, {0, 0}}, tri6{{1, 0}, {0, 1}, {0, 0}, {0.5, 0.5}, {0, 0.5}, {0.5, 0}},
      quad4{{-1, -1}, {1, -1}, {1, 1}, {-1, 1}},
      quad8{{-1, -1}, {1, -1}, {1, 1}, {-1, 1}, {0, -1}, {1, 0}, {0, 1}, {-1, 0}};
  switch (face.nodeCount() * 10 + face.isTriangular()) {
    case 20: return beam2;
    case 30: return beam3;
    case 31: return tri3;
    case 61: return tri6;
    case 40: return quad4;
    default: return quad8;
  }
}

// A random convex quadrilateral (distortion 0) or a mildly distorted one,
// rotated, scaled and moved; corners anticlockwise.
std::vector<K3dCoords> randomQuad(std::mt19937& rng, double distortion) {
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  double size = std::exp(2.0 * u(rng)), angle = 3.2 * u(rng), c = std::cos(angle), s = std::sin(angle);
  K2dCoords move(100.0 * u(rng), 100.0 * u(rng));
  double aspect = 1.0 + 0.8 * u(rng);
  std::vector<K3dCoords> out;
  const double square[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  for (auto& corner : square) {
    double x = (corner[0] + distortion * u(rng)) * aspect * size, y = (corner[1] + distortion * u(rng)) * size;
    out.emplace_back(move.x() + c * x - s * y, move.y() + s * x + c * y, 0.0);
  }
  return out;
}

bool isConvex(const std::vector<K3dCoords>& q) {
  for (int i = 0; i < 4; ++i) {
    K3dCoords a = q[(i + 1) % 4] - q[i], b = q[(i + 2) % 4] - q[(i + 1) % 4];
    if (a.x() * b.y() - a.y() * b.x() <= 0.0) return false;
  }
  return true;
}

// Maps local -> global -> local and checks the point comes back, alone among
// the candidates inside the search domain.
void expectRoundTrip(const FFace& face, const std::vector<K3dCoords>& nodes, const K2dCoords& local, double tol,
                     const char* what) {
  K3dCoords global;
  ASSERT_FALSE(face.localToGlobal(local, nodes.data(), global));
  KSGrowingArray<K2dCoords> candidates;
  ASSERT_FALSE(face.globalToLocalCandidates(global, nodes.data(), candidates)) << what;
  int inside = 0;
  for (long i = 0; i < candidates.getCount(); ++i) inside += face.isInside(candidates[i], 0.05);
  EXPECT_EQ(inside, 1) << what << " at " << local.x() << ", " << local.y();
  K2dCoords back;
  ASSERT_FALSE(face.globalToLocal(global, nodes.data(), back)) << what;
  EXPECT_NEAR(back.x(), local.x(), tol) << what << " at " << local.x() << ", " << local.y();
  EXPECT_NEAR(back.y(), local.y(), tol) << what << " at " << local.x() << ", " << local.y();
}

// Local points spread over the domain, on its edges and just outside them.
std::vector<double> samples() { return {-1.02, -1.0, -1.0 + 1e-9, -0.77, -0.3, 0.0, 0.41, 0.9, 1.0 - 1e-9, 1.0, 1.02}; }

}  // namespace

TEST(FFaceTest, ShapeFunctionsAtNamedPoints) {
  FQuad4Face quad;
  EXPECT_EQ(shapes(quad, 0, 0), (std::vector<double>{0.25, 0.25, 0.25, 0.25}));
  EXPECT_EQ(shapes(quad, 1, 1), (std::vector<double>{0, 0, 1, 0}));
  EXPECT_EQ(shapes(FTri3Face(), 0, 0), (std::vector<double>{0, 0, 1}));
  EXPECT_EQ(shapes(FBeam3Face(), 0), (std::vector<double>{0, 1, 0}));
  EXPECT_EQ(shapes(FBeam3Face(), 1), (std::vector<double>{0, 0, 1}));
  EXPECT_EQ(shapes(FBeam2Face(), 0.5), (std::vector<double>{0.25, 0.75}));
}

TEST(FFaceTest, EveryFaceInterpolatesItsNodesAndItsPolynomialsMatch) {
  FBeam2Face beam2;
  FBeam3Face beam3;
  FTri3Face tri3;
  FTri6Face tri6;
  FQuad4Face quad4;
  FQuad8Face quad8;
  const FFace* faces[] = {&beam2, &beam3, &tri3, &tri6, &quad4, &quad8};
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (const FFace* face : faces) {
    const std::vector<K2dCoords>& nodes = nodesOf(*face);
    ASSERT_EQ(static_cast<int>(nodes.size()), face->nodeCount());
    for (int i = 0; i < face->nodeCount(); ++i) {
      std::vector<double> v = shapes(*face, nodes[i].x(), nodes[i].y());
      for (int j = 0; j < face->nodeCount(); ++j) EXPECT_EQ(v[j], i == j ? 1.0 : 0.0) << face->nodeCount();
    }
    std::vector<double> values(face->nodeCount());
    for (double& v : values) v = 10.0 * u(rng);
    FBivariantPolynomial<double> p;
    ASSERT_FALSE(face->coordinatePolynomial(values.data(), p));
    for (int n = 0; n < 10; ++n) {
      double xi = u(rng), eta = face->domain().size(1) == 0.0 ? 0.0 : u(rng);
      std::vector<double> v = shapes(*face, xi, eta);
      double sum = 0.0, unity = 0.0, dSum = 0.0;
      for (int j = 0; j < face->nodeCount(); ++j) {
        sum += v[j] * values[j];
        unity += v[j];
      }
      EXPECT_NEAR(p.evaluate(xi, eta), sum, 1e-12);
      EXPECT_NEAR(unity, 1.0, 1e-14);
      double dXi[FFace::kMaxNodes], dEta[FFace::kMaxNodes];
      ASSERT_FALSE(face->shapeDerivatives(K2dCoords(xi, eta), dXi, dEta));
      for (int j = 0; j < face->nodeCount(); ++j) dSum += dXi[j] + dEta[j];
      EXPECT_NEAR(dSum, 0.0, 1e-13);
      std::vector<double> ahead = shapes(*face, xi + 1e-6, eta);
      EXPECT_NEAR((ahead[0] - v[0]) / 1e-6, dXi[0], 1e-5);
    }
  }
}

TEST(FFaceTest, DomainsCentresAndInclusiveInsideTests) {
  FTri3Face tri;
  FQuad4Face quad;
  FBeam2Face beam;
  EXPECT_EQ(tri.domain(), K2dRect(0, 0, 1, 1));
  EXPECT_EQ(quad.domain(), K2dRect(-1, -1, 1, 1));
  EXPECT_EQ(beam.domain(), K2dRect(-1, 0, 1, 0));
  EXPECT_TRUE(tri.isTriangular());
  EXPECT_FALSE(quad.isTriangular());
  EXPECT_FALSE(beam.isTriangular());
  K2dCoords c;
  EXPECT_FALSE(tri.centre(c));
  EXPECT_EQ(c, K2dCoords(1.0 / 3.0, 1.0 / 3.0));
  EXPECT_FALSE(quad.centre(c));
  EXPECT_EQ(c, K2dCoords(0, 0));
  EXPECT_TRUE(tri.isInside(K2dCoords(0.5, 0.5), 0.0));  // on the hypotenuse
  EXPECT_FALSE(tri.isInside(K2dCoords(0.5, 0.5 + 1e-12), 0.0));
  EXPECT_TRUE(tri.isInside(K2dCoords(-0.125, 0.5), 0.125));
  EXPECT_FALSE(tri.isInside(K2dCoords(0.75, 0.5), 0.125));  // zeta = -0.25
  EXPECT_TRUE(quad.isInside(K2dCoords(-1.25, 1.25), 0.25));
  EXPECT_FALSE(quad.isInside(K2dCoords(-1.25, 1.3), 0.25));
  EXPECT_TRUE(beam.isInside(K2dCoords(1.5, 7.0), 0.5));
  EXPECT_FALSE(beam.isInside(K2dCoords(-1.5001, 0.0), 0.5));
}

TEST(FFaceTest, QuadrilateralsMapBackEveryPoint) {
  std::mt19937 rng(21);
  FQuad4Face face;
  int tested = 0;
  for (int n = 0; n < 40; ++n) {
    std::vector<K3dCoords> q = randomQuad(rng, n < 20 ? 0.2 : 0.45);
    if (!isConvex(q)) continue;
    ++tested;
    for (double xi : samples())
      for (double eta : samples()) expectRoundTrip(face, q, K2dCoords(xi, eta), 1e-10, "quad4");
  }
  EXPECT_GE(tested, 30);
}

TEST(FFaceTest, TrianglesMapBackEveryPoint) {
  std::mt19937 rng(5);
  FTri3Face face;
  for (int n = 0; n < 30; ++n) {
    std::vector<K3dCoords> q = randomQuad(rng, 0.3);
    std::vector<K3dCoords> t(q.begin(), q.begin() + 3);
    for (double xi : samples())
      for (double eta : samples()) {
        double a = (xi + 1.0) / 2.0, b = (eta + 1.0) / 2.0;
        if (1.0 - a - b < -0.02) continue;
        expectRoundTrip(face, t, K2dCoords(a, b), 1e-10, "tri3");
      }
  }
}

TEST(FFaceTest, QuadraticFacesBeamsAndFacesInSpaceMapBack) {
  // A quadratic quadrilateral with bowed edges, a quadratic triangle, and a
  // four-node face tilted in space.
  std::vector<K3dCoords> quad8{{0, 0, 0}, {4, 0, 0}, {4, 3, 0}, {0, 3, 0},
                               {2, -0.3, 0}, {4.2, 1.5, 0}, {2, 3.1, 0}, {0.1, 1.5, 0}};
  std::vector<K3dCoords> tri6{{3, 0, 0}, {0, 2, 0}, {0, 0, 0}, {1.6, 1.1, 0}, {0, 1, 0}, {1.5, -0.2, 0}};
  std::vector<K3dCoords> tilted{{0, 0, 0}, {2, 0, 1}, {2, 2, 1.5}, {0, 2, 0.2}};
  for (double xi : {-1.0, -0.5, 0.0, 0.3, 1.0})
    for (double eta : {-1.0, -0.2, 0.4, 1.0}) {
      expectRoundTrip(FQuad8Face(), quad8, K2dCoords(xi, eta), 1e-10, "quad8");
      expectRoundTrip(FQuad4Face(), tilted, K2dCoords(xi, eta), 1e-10, "tilted quad4");
      if ((xi + 1) / 2 + (eta + 1) / 2 <= 1.0)
        expectRoundTrip(FTri6Face(), tri6, K2dCoords((xi + 1) / 2, (eta + 1) / 2), 1e-10, "tri6");
    }
  std::vector<K3dCoords> beam{{1, 1, 1}, {3, 2, 0}, {5, 2, -2}};
  for (double xi : {-1.0, -0.4, 0.0, 0.7, 1.0}) {
    expectRoundTrip(FBeam3Face(), beam, K2dCoords(xi, 0.0), 1e-10, "beam3");
    expectRoundTrip(FBeam2Face(), beam, K2dCoords(xi, 0.0), 1e-10, "beam2");
  }
}

TEST(FFaceTest, DegenerateFacesAnswerAnError) {
  FQuad4Face quad;
  FTri3Face tri;
  K2dCoords local(7, 7);
  std::vector<K3dCoords> collinear{{0, 0, 0}, {1, 1, 0}, {2, 2, 0}, {3, 3, 0}};
  std::vector<K3dCoords> point{{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}};
  std::vector<K3dCoords> line{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
  std::vector<K3dCoords> good{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
  EXPECT_TRUE(quad.globalToLocal(K3dCoords(1, 1, 0), collinear.data(), local));
  EXPECT_TRUE(quad.globalToLocal(K3dCoords(1, 1, 1), point.data(), local));
  EXPECT_TRUE(tri.globalToLocal(K3dCoords(1, 0, 0), line.data(), local));
  EXPECT_TRUE(quad.globalToLocal(K3dCoords(NAN, 0.5, 0), good.data(), local));
  EXPECT_TRUE(quad.globalToLocal(K3dCoords(0.5, 0.5, 0), nullptr, local));
  good[2].y() = INFINITY;
  EXPECT_TRUE(quad.globalToLocal(K3dCoords(0.5, 0.5, 0), good.data(), local));
  EXPECT_EQ(local, K2dCoords(7, 7));
  // Two coincident corners make a triangle of a quadrilateral: still mapped.
  std::vector<K3dCoords> folded{{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {2, 2, 0}};
  ASSERT_FALSE(quad.globalToLocal(K3dCoords(1.5, 0.5, 0), folded.data(), local));
  K3dCoords back;
  quad.localToGlobal(local, folded.data(), back);
  EXPECT_NEAR(distance(back, K3dCoords(1.5, 0.5, 0)), 0.0, 1e-10);
  std::vector<K3dCoords> stub{{1, 2, 3}, {1, 2, 3}, {1, 2, 3}};
  EXPECT_TRUE(FBeam3Face().globalToLocal(K3dCoords(1, 2, 3), stub.data(), local));
  std::vector<K3dCoords> beam{{0, 0, 0}, {2, 0, 0}};
  EXPECT_TRUE(FBeam2Face().globalToLocal(K3dCoords(1, 0.01, 0), beam.data(), local));  // off the beam
  ASSERT_FALSE(FBeam2Face().globalToLocal(K3dCoords(2.05, 0, 0), beam.data(), local));  // within 5 percent
  EXPECT_NEAR(local.x(), 1.05, 1e-14);
  EXPECT_TRUE(FBeam2Face().globalToLocal(K3dCoords(2.2, 0, 0), beam.data(), local));
  // A corner where the mapping's zero line meets the search grid's diagonal
  // between two sample points of one sign.
  std::vector<K3dCoords> skew{{-220.13008399880457, -924.50688636249163, 0},
                              {-213.15580738229883, -921.1262052959604, 0},
                              {-217.19003958689439, -908.30008984743358, 0},
                              {-227.10689560841115, -912.71383245212326, 0}};
  K3dCoords corner;
  quad.localToGlobal(K2dCoords(-0.999999, -1.0), skew.data(), corner);
  ASSERT_FALSE(quad.globalToLocal(corner, skew.data(), local));
  EXPECT_NEAR(local.x(), -0.999999, 1e-10);
  EXPECT_NEAR(local.y(), -1.0, 1e-10);
  // A point far away has no local coordinates.
  good[2].y() = 1.0;
  EXPECT_TRUE(quad.globalToLocal(K3dCoords(50, 50, 0), good.data(), local));
}
