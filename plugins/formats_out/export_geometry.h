// One mesh as the writers of this library read it: its positions and triangles taken straight
// from the host's flat form, scaled and swapped as the class's options say. Rebuilding the
// welded tables (as the ray-tracer writers do) would cost about a fifth of a large export and
// give the same vertices and faces, since the flat form is already welded.
#pragma once

#include <cstdint>
#include <vector>

#include "meshlib/appearance.h"
#include "meshlib/vec3d.h"

class Mesh3d;

struct ExportGeometry {
  const char* name = "";
  bool has_appearance = false;
  Appearance appearance;
  std::vector<Vec3d> positions;
  std::vector<int32_t> faces;  // three vertex indices per triangle, in winding order

  int32_t face_count() const { return static_cast<int32_t>(faces.size() / 3); }
  int32_t vertex_count() const { return static_cast<int32_t>(positions.size()); }
};

// The flat form of mesh with every position multiplied by size (1.0 leaves them as they are)
// and then two axes exchanged by swap_mode (1 x/y, 2 x/z, 3 y/z; 0 none), which mirrors the
// mesh, so every face is then flipped to keep facing the same side, as Mesh3d::swap_axes does.
// Faces with an index outside the vertex array are left out. The mesh is not changed.
void geometry_from_flat(const Mesh3d& mesh, double size, int swap_mode, ExportGeometry* out);
