// Free geometric functions of the two-dimensional shapes: triangle areas and
// angles, line intersections, crossing segments and the point-in-triangle
// test. Tolerances that are not arguments come from the named options
// "intersectTol" and "point3Tol" (both 0.0001 by default).
#pragma once
#include "geometry/coords/K2dCoords.h"

// Heron's formula from the three side lengths; 0 when the product under the
// root is not positive (collinear or coincident corners, invalid numbers).
double triangleArea(const K2dCoords& a, const K2dCoords& b, const K2dCoords& c);

// Interior angles in degrees at p0, p1 and p2. A side shorter than tolerance
// (negative: 1e-12) gives (90, 90, 0), (90, 0, 90) or (0, 90, 90) for the
// sides p0p1, p0p2 and p1p2 in that order of testing. Otherwise two angles
// come from their cosines and the one whose cosine is largest in magnitude
// is the remainder of 180, so the three always sum to 180.
void triangleAngles(const K2dCoords& p0, const K2dCoords& p1, const K2dCoords& p2, double& angle0, double& angle1,
                    double& angle2, double tolerance);

// The intersection of the lines a->b and c->d: point = a + s (b - a) =
// c + t (d - c), s and t not limited to [0, 1]. True (error) when s and t
// are the same variable, a segment has no length, the lines are parallel
// (the 2 x 2 system is singular under "matInvertTol"), or the two points
// disagree by more than 1e-8 and by "intersectTol" relative to the size of
// the figure.
bool lineIntersection(const K2dCoords& a, const K2dCoords& b, const K2dCoords& c, const K2dCoords& d,
                      K2dCoords& point, double& s, double& t);

// For the quadrilateral a b c d: do its opposite edges b->c and d->a cross,
// both parameters strictly between tolerance and 1 - tolerance?
bool segmentsCross(const K2dCoords& a, const K2dCoords& b, const K2dCoords& c, const K2dCoords& d,
                   double tolerance);

// Is p strictly inside triangle a b c, every barycentric coordinate strictly
// between margin and 1 - margin? False for a degenerate triangle.
bool pointInTriangle(const K2dCoords& p, const K2dCoords& a, const K2dCoords& b, const K2dCoords& c,
                     double margin);

// The nearest integer, halves away from zero; 0 for magnitudes above
// 2147483647 and for NaN.
long nearestCount(double v);
