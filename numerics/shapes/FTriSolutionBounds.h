// FTriSolutionBounds: one triangle of the common-zero search, and the search
// itself (findCommonZeros, refineSolution).
//
// A triangle holds three vertices, each a K4dCoords used as (x, y, F(x, y),
// G(x, y)). The search samples a rectangle (or the triangle under its
// anti-diagonal) on a grid, cuts every cell into triangles and subdivides
// each triangle into four, recursively, while both F and G change sign over
// it, until a vertex or the whole triangle satisfies both equations within
// convTol. Candidates closer than solTol to one found earlier replace it
// when they are better; at the end they are polished by a pattern search and
// merged. Polynomials that each depend on one coordinate are solved directly
// by their univariate roots.
//
// The recursion works on fixed-size records on the stack; only appending a
// solution allocates, and only after the first 50.
//
// Trace: startTrace() opens a diagnostic text file ("QUELMM_FTriSolutionBounds_
// ...txt"), to which every step of every search writes its lines until
// stopTrace(). A write that fails ends the trace; the search itself is never
// affected by it. The trace state is process-wide and unguarded.
#pragma once
#include "containers/memory/KGrowingArray.h"
#include "core/application/KObject.h"
#include "geometry/coords/K2dRect.h"
#include "geometry/coords/K4dCoords.h"
#include "numerics/shapes/FBivariantPolynomial.h"

// The candidates of one search, in the order found: (x, y, F, G).
typedef KSGrowingArray<K4dCoords> FSolutionList;

class FTriSolutionBounds : public KObject {
 public:
  // Beyond this many candidates a search stops looking for more, whatever
  // maxSolutions says (as with maxSolutions, each grid triangle visited
  // afterwards may still add one): F and G that vanish together along a
  // curve would otherwise yield a candidate every solTol along it.
  static constexpr long kCandidateLimit = 1000;
  // Counter values above this are refused whatever maxIterations says, so
  // the recursion depth stays bounded; halving an edge this often leaves
  // nothing of a double's precision.
  static constexpr int kDepthLimit = 1100;

  // All components 0.
  FTriSolutionBounds() = default;
  FTriSolutionBounds(const K4dCoords& a, const K4dCoords& b, const K4dCoords& c) : m_v{a, b, c} {}
  FTriSolutionBounds(const FTriSolutionBounds&) = default;
  FTriSolutionBounds& operator=(const FTriSolutionBounds&) = default;
  ~FTriSolutionBounds() override = default;

  // Vertex i mod 3; a negative remainder selects vertex 0.
  K4dCoords& vertex(int i) { return m_v[wrap(i)]; }
  const K4dCoords& vertex(int i) const { return m_v[wrap(i)]; }
  // Distance in x and y between vertices i mod 3 and j mod 3.
  double edgeLength(int i, int j) const;
  // Componentwise mean of the vertices in all four components (F and G are
  // the means of the vertex values, not evaluated).
  K4dCoords centroid() const;
  // Writes the vertices to the trace.
  void dumpCoords() const;

  // Searches this triangle (see subdivideWrapped) with an iteration counter
  // that starts at 0. Answers false (the search never asks its caller to
  // stop).
  bool subdivide(const FBivariantPolynomial<double>& F, const FBivariantPolynomial<double>& G, double convTol,
                 double minSize, double solTol, int maxIterations, int maxSolutions, FSolutionList& list);
  // One level of the subdivision: refused when counter > maxIterations;
  // otherwise counter is incremented and the four sub-triangles are tested
  // and recursed into in turn. The fourth (middle) sub-triangle is built in
  // this object's storage, which therefore holds it afterwards.
  bool subdivideWrapped(const FBivariantPolynomial<double>& F, const FBivariantPolynomial<double>& G,
                        double convTol, double minSize, double solTol, int maxIterations, int maxSolutions,
                        int& counter, FSolutionList& list);

  // True when F or G keeps one sign over the whole triangle, by more than
  // convTol, whatever it does between the vertices (their values are those
  // held by the vertices): then no sub-triangle can hold a solution, and
  // subdividing it would find nothing.
  bool keepsOneSign(const FBivariantPolynomial<double>& F, const FBivariantPolynomial<double>& G,
                    double convTol) const;

  // Appends p unless an entry lies closer than solTol in (x, y); such an entry
  // is replaced by p when p's |(F, G)| is smaller. True when p was appended.
  static bool addSolution(double solTol, const K4dCoords& p, FSolutionList& list);
  // True when all three vertices lie within solTol of one entry's (x, y).
  bool isNearSolution(double solTol, const FSolutionList& list) const;

  // Opens a new trace file in folder (null: the system's temporary folder),
  // closing any open one first. True when it could not be opened (tracing
  // is then off).
  static bool startTrace(const char* folder = nullptr);
  // Writes out, closes and forgets the trace file.
  static void stopTrace();
  static bool isTracing();
  // Writes text to the trace; nothing when tracing is off.
  static void trace(const char* text, int flag = 0);
  // printf-style trace line; formats nothing when tracing is off.
  static void traceFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
  // The path of the open trace file; empty when tracing is off.
  static KString tracePath();

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
  long query(long what) const override {
    (void)what;
    return 0;
  }

 private:
  static int wrap(int i) {
    int k = i % 3;
    return k < 0 ? 0 : k;
  }

  K4dCoords m_v[3];
};

// The points of bounds (or, with triangularDomain, of the triangle under its
// anti-diagonal) where F and G vanish together, written into solutions
// (emptied first). convTol: largest |F| and |G| accepted; minSize: smallest
// triangle edge subdivided (and the width a narrower bounds is widened to);
// solTol: candidates closer than this are one; maxIterations bounds the
// recursion and the polishing; gridCount (at least 5) sampling points per
// direction; maxSolutions > 0 stops the search after that many candidates
// (polishing is then skipped). Answers the number of solutions, 0 when there
// is none, and -1 (solutions empty) for invalid bounds, a polynomial that is
// empty or constant after trimming or has a coefficient that is not finite, a failed root search in the separable
// case or a grid of more than 2^20 points.
int findCommonZeros(const FBivariantPolynomial<double>& F, const FBivariantPolynomial<double>& G,
                    KSimpleArray<K2dCoords>& solutions, const K2dRect& bounds, double convTol, double minSize,
                    double solTol, int maxIterations, int gridCount, bool triangularDomain, int maxSolutions);

// Polishes point in place by a pattern search on |(F, G)| over its eight
// neighbours, the step starting at a thousandth of bounds and halving after
// each sweep without improvement; stops when |F| and |G| are below convTol,
// when the step falls below stepTol, or after maxIterations halvings in a
// row (and in any case after kRefineSweepLimit sweeps).
constexpr long kRefineSweepLimit = 100000;
void refineSolution(const FBivariantPolynomial<double>& F, const FBivariantPolynomial<double>& G, K2dCoords& point,
                    const K2dRect& bounds, double convTol, double stepTol, int maxIterations);
