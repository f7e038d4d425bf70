// Whole-mesh transformations of the indexed form: axis swap and uniform scaling. Only the
// tables and the bounding box change; a flat form, if present, keeps the loaded positions.
#include "meshlib/mesh3d.h"

void Mesh3d::swap_axes(int32_t mode) {
  if (mode == 0 || vertices == nullptr) return;
  const int32_t vertex_total = vertices->count();
  for (int32_t i = 0; i < vertex_total; ++i) vertices->swap_vertex_axes(i, mode);
  // Exchanging two axes mirrors the mesh; flipping every face keeps each one facing the same
  // side of the surface.
  if (mode >= 1 && mode <= 3 && faces != nullptr) {
    const int32_t face_total = faces->count();
    for (int32_t f = 0; f < face_total; ++f) faces->flip(f);
  }
  vec_swap_axes(bbox_min, mode);
  vec_swap_axes(bbox_max, mode);
}

void Mesh3d::scale_mesh(double s) {
  if (s == 1.0 || vertices == nullptr) return;
  const int32_t vertex_total = vertices->count();
  for (int32_t i = 0; i < vertex_total; ++i) vertices->scale_vertex(i, s);
  // A negative factor leaves bbox_min holding the larger values; callers expect the corners
  // scaled as they are, not reordered.
  vec_scale(bbox_min, bbox_min, s);
  vec_scale(bbox_max, bbox_max, s);
}
