// Ear-cutting triangulation of planar polygons given as index lists into a position array.
// It works on polygons in any orientation in space without projecting them onto a plane
// first: the inside test sums the signed angles the polygon's edges subtend at a point.
// Both import plug-ins cut their faces of five or more corners with it.
#pragma once

#include <cstdint>

#include "meshlib/vec3d.h"

// Cuts one ear off the polygon indices[0 .. count-1] (indices into positions) and stores its
// corners in a, b, c, in the polygon's winding order. The ear's tip is removed from the array
// and count drops by one; the last three corners are delivered as a whole and set count to 0.
// Returns 1 when a triangle was delivered, 0 when none was: the polygon has fewer than three
// corners, its last triangle is degenerate, or no candidate passes (collinear corners, a
// polygon that is not planar). Callers repeat until it returns 0. Each candidate costs one
// inside test over the whole polygon, so cutting an n-gon costs O(n^3) in the worst case.
int CutEar(int32_t* indices, int32_t& count, const Vec3d* positions, int32_t& a, int32_t& b,
           int32_t& c);

// Whether point lies inside the closed polygon indices[0 .. count-1]: the angles that its
// edges subtend at point, each signed by the normal of the plane through point and the edge,
// add up to about 2*pi inside a planar polygon and about 0 outside; pi is the threshold.
int InsidePolygon(const int32_t* indices, const Vec3d* positions, int32_t count,
                  const Vec3d& point);
