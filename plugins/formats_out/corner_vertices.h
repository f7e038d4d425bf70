// The vertices a format with one normal per vertex needs (glTF, OBJ normals): a mesh vertex
// whose corners have different smoothed normals (a crease sharper than the smoothing angle)
// becomes one written vertex per distinct normal, and corners with equal normals share one.
#pragma once

#include <cstdint>
#include <vector>

class ExportReport;
struct ExportGeometry;

struct CornerVertices {
  std::vector<int32_t> source;    // per written vertex: the mesh vertex it is made from
  std::vector<float> normals;     // per written vertex: x, y, z of its unit normal
  std::vector<uint32_t> corners;  // per face: the written vertices of its three corners
};

// Splits the vertices of mesh by its corner normals of the smoothing angle: the same vectors
// as corner_normals gives for the mesh's welded form (the normalised sum of the unit normals of
// the faces around the corner's vertex, newest first, that meet the face at less than the
// angle; all three the face's own normal for an angle of 0), so the ray-tracer writers and
// these agree. They are turned to the side from which the stored winding runs
// counter-clockwise, as viewers expect; a corner without a normal (a degenerate face) gets
// (0, 0, 1), so every normal is of unit length. Reports face progress when report is not
// null. Costs O(F + V) time and memory: each face normal is computed once.
void split_corner_vertices(const ExportGeometry& mesh, double smooth_angle, CornerVertices* out,
                           ExportReport* report);
