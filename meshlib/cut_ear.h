// Ear-cutting triangulation of planar polygons given as index lists into a position array.
// It works on polygons in any orientation in space without projecting them onto a plane
// first: the inside test sums the signed angles the polygon's edges subtend at a point.
// Both import plug-ins cut their faces of five or more corners with it.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

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

// How cutting a whole polygon ended.
enum class CutOutcome {
  kDone,        // CutEar had nothing more to give: the polygon is cut (or stopped as CutEar stops)
  kOverBudget,  // the work allowed ran out first; nothing was delivered
};

// Cuts the polygon indices[0 .. count-1] whole and appends its triangles to triangles, three
// indices each: the same triangles in the same order as calling CutEar until it returns 0,
// including its stop on collinear or non-planar corners. It is much faster on large polygons:
// when the polygon lies in a plane (up to a margin that is checked), the inside test of a
// candidate counts crossings in the plane instead of summing angles, and points far from a
// candidate ear are passed over without a test; both shortcuts are taken only where they
// provably give the answer of the angle sums, which decide everywhere else.
//
// budget is the work the cut may do, in steps of one edge or point looked at (a step of the
// angle sum counts as kAngleStepCost); what the cut spends is taken off it. When it runs
// out, the cut stops and delivers nothing (triangles is left as it was), so that a face is
// never imported in part. pulse, when set, is called about every kPulseSteps steps with the
// triangles cut so far and count - 2, so that a long cut can keep a progress display alive.
CutOutcome CutPolygon(const int32_t* indices, int32_t count, const Vec3d* positions,
                      std::uint64_t* budget,
                      const std::function<void(int32_t done, int32_t total)>& pulse,
                      std::vector<int32_t>* triangles);

constexpr std::uint64_t kAngleStepCost = 8;
constexpr std::uint64_t kPulseSteps = 1u << 22;
