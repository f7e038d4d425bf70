#include "plugins/brick_in/scene_mesh.h"

#include <limits>

#include "meshlib/mesh3d.h"

Mesh3d* build_scene_mesh(const SceneElement& element) {
  int64_t triangles = element.part != nullptr ? element.part->geometry.triangle_count() : 0;
  if (triangles <= 0) return nullptr;
  int32_t hint = triangles > std::numeric_limits<int32_t>::max() / 2
                     ? std::numeric_limits<int32_t>::max() / 2
                     : static_cast<int32_t>(triangles);
  Mesh3d* mesh = new Mesh3d(hint, element.name.c_str());
  const std::vector<Vec3d>& corners = element.part->geometry.corners;
  for (int64_t t = 0; t < triangles; ++t) {
    Vec3d q[3];
    for (int k = 0; k < 3; ++k) {
      mat_transform_point(q[k], element.matrix, corners[3 * t + k]);
      q[k] = ldraw_to_system_axes(q[k]);
    }
    mesh->add_triangle(q[0], q[1], q[2]);
  }
  return mesh;
}
