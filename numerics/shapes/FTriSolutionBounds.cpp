#include "numerics/shapes/FTriSolutionBounds.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <memory>

#include "core/system/KTextFile.h"

namespace {

std::unique_ptr<KTextFile>& traceFile() {
  static std::unique_ptr<KTextFile> file;
  return file;
}

double planarDistanceSq(const K4dCoords& a, const K4dCoords& b) {
  double dx = a.x() - b.x(), dy = a.y() - b.y();
  return dx * dx + dy * dy;
}
double planarDistance(const K4dCoords& a, const K4dCoords& b) { return std::sqrt(planarDistanceSq(a, b)); }

// A midpoint of two vertices with F and G evaluated there.
K4dCoords midpoint(const K4dCoords& a, const K4dCoords& b, const FBivariantPolynomial<double>& F,
                   const FBivariantPolynomial<double>& G) {
  K4dCoords m((a.x() + b.x()) / 2.0, (a.y() + b.y()) / 2.0, 0.0, 0.0);
  m.z() = F.evaluate(m.x(), m.y());
  m.w() = G.evaluate(m.x(), m.y());
  return m;
}

double power(double x, long n) {
  double r = 1.0;
  while (n-- > 0) r *= x;
  return r;
}

// A bound on the second derivative of p along any direction over the box
// |x| <= xMax, |y| <= yMax: |p_xx| + 2 |p_xy| + |p_yy| bounded term by term.
double curvatureBound(const FBivariantPolynomial<double>& p, double xMax, double yMax) {
  double bound = 0.0;
  for (long i = 0; i < p.getRows(); ++i)
    for (long j = 0; j < p.getColumns(); ++j) {
      double a = i + j >= 2 ? std::fabs(p.at(i, j)) : 0.0;
      if (a == 0.0) continue;
      // x^i y^j: i(i-1) x^(i-2) y^j + 2 i j x^(i-1) y^(j-1) + j(j-1) x^i y^(j-2), each power bounded.
      double xi2 = i >= 2 ? power(xMax, i - 2) : 0.0, xi1 = i >= 1 ? power(xMax, i - 1) : 0.0;
      double xi0 = power(xMax, i), yj0 = power(yMax, j);
      double yj2 = j >= 2 ? power(yMax, j - 2) : 0.0, yj1 = j >= 1 ? power(yMax, j - 1) : 0.0;
      bound += a * (i * (i - 1) * xi2 * yj0 + 2.0 * i * j * xi1 * yj1 + j * (j - 1) * xi0 * yj2);
    }
  return bound;
}

// The curvature bound of p over the box around the vertices of t; 0 for a
// polynomial of degree 1 or less.
double curvatureOver(const FBivariantPolynomial<double>& p, const FTriSolutionBounds& t) {
  if (p.getRows() + p.getColumns() <= 3) return 0.0;
  double xMax = 0.0, yMax = 0.0;
  for (int v = 0; v < 3; ++v) {
    xMax = std::max(xMax, std::fabs(t.vertex(v).x()));
    yMax = std::max(yMax, std::fabs(t.vertex(v).y()));
  }
  return curvatureBound(p, xMax, yMax);
}

// How far a polynomial of the given curvature bound may fall below (or rise
// above) the plane through its values at the vertices of a triangle whose
// longest edge is sqrt(longestEdgeSq): half the bound times the longest edge
// squared, four times the interpolation error bound of such triangles.
double bendMargin(double curvature, double longestEdgeSq) { return curvature * longestEdgeSq / 2.0; }

// Every vertex value beyond margin on one side.
bool allAbove(const FTriSolutionBounds& t, int component, double margin) {
  for (int v = 0; v < 3; ++v)
    if (!(t.vertex(v)[component] > margin)) return false;
  return true;
}
bool allBelow(const FTriSolutionBounds& t, int component, double margin) {
  for (int v = 0; v < 3; ++v)
    if (!(t.vertex(v)[component] < -margin)) return false;
  return true;
}

}  // namespace

bool FTriSolutionBounds::startTrace(const char* folder) {
  stopTrace();
  auto file = std::make_unique<KTextFile>();
  if (file->openDiagnostic("FTriSolutionBounds", folder)) return true;
  traceFile() = std::move(file);
  return false;
}

void FTriSolutionBounds::stopTrace() {
  std::unique_ptr<KTextFile>& file = traceFile();
  if (!file) return;
  file->flush();
  file->close();
  file.reset();
}

bool FTriSolutionBounds::isTracing() { return traceFile() != nullptr; }

KString FTriSolutionBounds::tracePath() { return isTracing() ? traceFile()->getPath() : KString(); }

void FTriSolutionBounds::trace(const char* text, int flag) {
  std::unique_ptr<KTextFile>& file = traceFile();
  if (file && file->writeLine(text, flag)) file.reset();  // the file has closed itself
}

void FTriSolutionBounds::traceFormat(const char* format, ...) {
  if (!isTracing()) return;
  char line[256];
  va_list args;
  va_start(args, format);
  vsnprintf(line, sizeof line, format, args);
  va_end(args);
  trace(line, 0);
}

double FTriSolutionBounds::edgeLength(int i, int j) const {
  int a = wrap(i), b = wrap(j);
  return a == b ? 0.0 : planarDistance(m_v[a], m_v[b]);
}

K4dCoords FTriSolutionBounds::centroid() const { return (m_v[0] + m_v[1] + m_v[2]) / 3.0; }

void FTriSolutionBounds::dumpCoords() const {
  if (!isTracing()) return;
  trace("coords :         x               y           F(x,y)          G(x,y) \n", 0);
  for (int v = 0; v < 3; ++v)
    traceFormat("%8d : %14.5e  %14.5e  %14.5e  %14.5e \n", v + 1, m_v[v].x(), m_v[v].y(), m_v[v].z(), m_v[v].w());
}

bool FTriSolutionBounds::subdivide(const FBivariantPolynomial<double>& F, const FBivariantPolynomial<double>& G,
                                   double convTol, double minSize, double solTol, int maxIterations,
                                   int maxSolutions, FSolutionList& list) {
  trace(". \n", 0);
  trace("subdivide on entry \n", 0);
  int counter = 0;
  bool stop = subdivideWrapped(F, G, convTol, minSize, solTol, maxIterations, maxSolutions, counter, list);
  trace("subdivide on exit \n", 0);
  trace(". \n", 0);
  return stop;
}

bool FTriSolutionBounds::subdivideWrapped(const FBivariantPolynomial<double>& F,
                                          const FBivariantPolynomial<double>& G, double convTol, double minSize,
                                          double solTol, int maxIterations, int maxSolutions, int& counter,
                                          FSolutionList& list) {
  // Checked once: formatting and writing trace lines is the slow path.
  bool tracing = isTracing();
  auto note = [tracing](const char* text) {
    if (tracing) trace(text, 0);
  };
  if (tracing) {
    note("subdivideWrapped on entry \n");
    dumpCoords();
  }
  if (counter > maxIterations || counter > kDepthLimit) {
    note("maxIterations exceeded \n");
    return false;
  }
  // Children see this call's own counter, which grows with every child that recurses.
  int own = ++counter;

  K4dCoords mid[3];
  for (int i = 0; i < 3; ++i) mid[i] = midpoint(m_v[i], m_v[(i + 1) % 3], F, G);
  // Bounds over this triangle hold for the sub-triangles inside it.
  double curvatureF = curvatureOver(F, *this), curvatureG = curvatureOver(G, *this);

  bool stop = false, tooMany = false;
  FTriSolutionBounds corner;
  for (int k = 0; k < 4 && !stop && !tooMany; ++k) {
    FTriSolutionBounds* s = &corner;
    if (k < 3) {
      corner.m_v[0] = m_v[k];
      corner.m_v[1] = mid[k];
      corner.m_v[2] = mid[(k + 2) % 3];
    } else {  // the middle triangle takes over this one's storage
      m_v[0] = mid[0];
      m_v[1] = mid[1];
      m_v[2] = mid[2];
      s = this;
    }
    if (tracing) {
      traceFormat(" new subtriangle %d \n", k + 1);
      s->dumpCoords();
    }
    if (s->isNearSolution(solTol, list)) {
      note(" ignoring triangle too close to existing solution \n");
      continue;
    }

    int posF = 0, negF = 0, convF = 0, posG = 0, negG = 0, convG = 0;
    double sumSq[3];
    for (int v = 0; v < 3; ++v) {
      double f = s->m_v[v].z(), g = s->m_v[v].w();
      posF += f > 0.0;
      negF += f < 0.0;
      convF += std::fabs(f) < convTol;
      posG += g > 0.0;
      negG += g < 0.0;
      convG += std::fabs(g) < convTol;
      sumSq[v] = f * f + g * g;
    }
    double edgeSq[3];
    for (int v = 0; v < 3; ++v) edgeSq[v] = planarDistanceSq(s->m_v[v], s->m_v[(v + 1) % 3]);
    // minSize > edge length, compared in squares (a negative minSize never holds).
    bool tooSmall = false;
    for (int v = 0; v < 3 && !tooSmall; ++v) tooSmall = minSize > 0.0 && minSize * minSize > edgeSq[v];
    double longestSq = std::max({edgeSq[0], edgeSq[1], edgeSq[2]});
    int common = -1;
    if (convF >= 1 && convG >= 1) {
      int best = 0;
      if (sumSq[2] < sumSq[best]) best = 2;
      if (sumSq[1] < sumSq[best]) best = 1;
      if (std::fabs(s->m_v[best].z()) <= convTol && std::fabs(s->m_v[best].w()) <= convTol) common = best;
    }
    if (tracing) {
      traceFormat(" number positive  F %d   G %d \n", posF, posG);
      traceFormat(" number negative  F %d   G %d \n", negF, negG);
      traceFormat(" number convergd  F %d   G %d \n", convF, convG);
      traceFormat(" common convergd index %d \n", common);
      traceFormat(" tooSmall to subdivide = %s \n", tooSmall ? "T" : "F");
      traceFormat(" (F^2+G^2)  %14.5e  %14.5e  %14.5e  \n", sumSq[0], sumSq[1], sumSq[2]);
    }

    // A polynomial of one sign at the vertices may still vanish inside when
    // it bends (its zero line can cut one edge twice): such a triangle is
    // excluded only when the values clear the bend margin; otherwise that
    // polynomial counts as changing sign.
    bool oneSignF = (posF == 3 || negF == 3) && convF == 0, oneSignG = (posG == 3 || negG == 3) && convG == 0;
    bool bentF = false, bentG = false;
    if (oneSignF) {
      double margin = bendMargin(curvatureF, longestSq);
      bentF = !(posF == 3 ? allAbove(*s, 2, margin) : allBelow(*s, 2, margin));
    }
    if (oneSignG) {
      double margin = bendMargin(curvatureG, longestSq);
      bentG = !(posG == 3 ? allAbove(*s, 3, margin) : allBelow(*s, 3, margin));
    }

    bool counted = false;
    if (convF == 3 && convG == 3) {
      note(" all converged \n");
      addSolution(solTol, s->centroid(), list);
      counted = true;
    } else if (common >= 0) {
      note(" single converged \n");
      addSolution(solTol, s->m_v[common], list);
      counted = true;
    } else if (tooSmall) {
      note(" too small to subdivide \n");
    } else if (posF == 3 && convF == 0 && !bentF) {
      note(" F all positive, ignore triangle \n");
    } else if (negF == 3 && convF == 0 && !bentF) {
      note(" F all negative, ignore triangle \n");
    } else if (posG == 3 && convG == 0 && !bentG) {
      note(" G all positive, ignore triangle \n");
    } else if (negG == 3 && convG == 0 && !bentG) {
      note(" G all negative, ignore triangle \n");
    } else if ((posF + negF == 3 && posF >= 1 && negF >= 1) || (posG + negG == 3 && posG >= 1 && negG >= 1) ||
               bentF || bentG) {
      note(" subdividing triangle \n");
      if (s->subdivideWrapped(F, G, convTol, minSize, solTol, maxIterations, maxSolutions, own, list)) stop = true;
      counted = true;
    } else {
      note(" drop through ignoring triangle \n");
    }
    if (counted)
      tooMany = (maxSolutions > 0 && list.getCount() > maxSolutions) || list.getCount() >= kCandidateLimit;
  }
  note("subdivideWrapped on exit \n");
  return stop;
}

bool FTriSolutionBounds::addSolution(double solTol, const K4dCoords& p, FSolutionList& list) {
  for (long i = 0; i < list.getCount(); ++i) {
    const K4dCoords& e = list[i];
    if (!(planarDistanceSq(e, p) < solTol * solTol)) continue;
    if (std::hypot(e.z(), e.w()) > std::hypot(p.z(), p.w())) {
      list.setAtGrow(i, p, 10);
      traceFormat("better solution %d : x %14.5e  y %14.5e  F %14.5e  G %14.5e \n", static_cast<int>(i + 1), p.x(),
                  p.y(), p.z(), p.w());
    }
    return false;
  }
  traceFormat("new solution %d : x %14.5e  y %14.5e  F %14.5e  G %14.5e \n", static_cast<int>(list.getCount() + 1),
              p.x(), p.y(), p.z(), p.w());
  list.setAtGrow(list.getCount(), p, 20);
  return true;
}

bool FTriSolutionBounds::isNearSolution(double solTol, const FSolutionList& list) const {
  for (long i = list.getCount() - 1; i >= 0; --i) {
    const K4dCoords& e = list[i];
    double limit = solTol * solTol;
    if (planarDistanceSq(m_v[0], e) <= limit && planarDistanceSq(m_v[1], e) <= limit &&
        planarDistanceSq(m_v[2], e) <= limit)
      return true;
  }
  return false;
}

bool FTriSolutionBounds::keepsOneSign(const FBivariantPolynomial<double>& F, const FBivariantPolynomial<double>& G,
                                      double convTol) const {
  double longestSq = std::max({planarDistanceSq(m_v[0], m_v[1]), planarDistanceSq(m_v[1], m_v[2]),
                               planarDistanceSq(m_v[2], m_v[0])});
  for (int k = 2; k <= 3; ++k) {
    double margin = bendMargin(curvatureOver(k == 2 ? F : G, *this), longestSq) + std::fabs(convTol);
    if (allAbove(*this, k, margin) || allBelow(*this, k, margin)) return true;
  }
  return false;
}
