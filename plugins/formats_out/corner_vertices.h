// The vertices a format with one normal per vertex needs (glTF, OBJ normals): a mesh vertex
// whose corners have different smoothed normals (a crease sharper than the smoothing angle)
// becomes one written vertex per distinct normal, and corners with equal normals share one.
#pragma once

#include <cstdint>
#include <vector>

class ExportReport;
class Mesh3d;

struct CornerVertices {
  std::vector<int32_t> source;    // per written vertex: the mesh vertex it is made from
  std::vector<float> normals;     // per written vertex: x, y, z of its unit normal
  std::vector<uint32_t> corners;  // per face: the written vertices of its three corners
};

// Splits the vertices of mesh's indexed form by the corner normals of the smoothing angle (the
// same normals as the ray-tracer writers compute; 0 or less gives every face its own normal),
// turned to the side from which the stored winding runs counter-clockwise, as viewers expect.
// A corner without a normal (a degenerate face) gets (0, 0, 1), so every normal is of unit
// length. Reports face progress when report is not null. Costs O(F) with the corner normal
// pass, and O(V + F) memory.
void split_corner_vertices(const Mesh3d& mesh, double smooth_angle, CornerVertices* out,
                           ExportReport* report);
