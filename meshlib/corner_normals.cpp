#include "meshlib/corner_normals.h"

#include <cmath>

#include "meshlib/mesh3d.h"

void corner_normals(const Mesh3d& mesh, int32_t face, double smooth_angle, Vec3d out[3]) {
  for (int k = 0; k < 3; ++k) vec_set(out[k], 0.0, 0.0, 0.0);
  if (mesh.vertices == nullptr || mesh.faces == nullptr) return;
  int32_t corner[3];
  if (face < 0 || mesh.faces->face(face, corner) != 0) return;

  Vec3d p[3];
  mesh.triangle_positions(face, p);
  Vec3d own;
  face_normal(p[0], p[1], p[2], own);
  if (std::fabs(smooth_angle) < 1e-6) {
    for (int k = 0; k < 3; ++k) out[k] = own;
    return;
  }

  // Neighbour normals are recomputed per corner rather than cached: the mesh may change
  // between calls, and a caller's pass over all faces still costs only the sum of the corner
  // degrees. The sum runs over the vertex's faces newest first, which fixes its rounding.
  for (int k = 0; k < 3; ++k) {
    Vec3d sum;
    vec_set(sum, 0.0, 0.0, 0.0);
    for (int32_t g : mesh.vertices->faces_of(corner[k])) {
      Vec3d q[3];
      mesh.triangle_positions(g, q);
      Vec3d n;
      face_normal(q[0], q[1], q[2], n);
      if (std::fabs(angle_between(own, n)) < smooth_angle) vec_add(sum, sum, n);
    }
    vec_normalize(sum);
    out[k] = sum;
  }
}
