// The normal of one face of a mesh, as the tests of normals and orientation compare them.
#pragma once

#include <cstdint>

#include "meshlib/mesh3d.h"

inline Vec3d normal_of(const Mesh3d& m, int32_t f) {
  Vec3d p[3];
  Vec3d n;
  m.triangle_positions(f, p);
  face_normal(p[0], p[1], p[2], n);
  return n;
}
