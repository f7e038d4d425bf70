#include "plugins/formats_out/export_geometry.h"

#include "meshlib/mesh3d.h"

void geometry_from_flat(const Mesh3d& mesh, double size, int swap_mode, ExportGeometry* out) {
  out->name = mesh.name() != nullptr ? mesh.name() : "";
  out->has_appearance = mesh.has_appearance != 0;
  out->appearance = mesh.appearance;
  out->positions.clear();
  out->faces.clear();
  if (mesh.flat_vertices == nullptr || mesh.flat_faces == nullptr) return;
  const int32_t vertex_count = mesh.flat_vertex_count > 0 ? mesh.flat_vertex_count : 0;
  out->positions.assign(mesh.flat_vertices, mesh.flat_vertices + vertex_count);
  const bool mirror = swap_mode >= 1 && swap_mode <= 3;
  for (Vec3d& p : out->positions) {
    if (size != 1.0) vec_scale(p, p, size);
    if (swap_mode != 0) vec_swap_axes(p, swap_mode);
  }
  out->faces.reserve(static_cast<size_t>(mesh.flat_face_count > 0 ? mesh.flat_face_count : 0) * 3);
  for (int32_t f = 0; f < mesh.flat_face_count; ++f) {
    const int32_t* v = mesh.flat_faces[f].v;
    if (v[0] < 0 || v[1] < 0 || v[2] < 0 || v[0] >= vertex_count || v[1] >= vertex_count ||
        v[2] >= vertex_count)
      continue;
    out->faces.push_back(mirror ? v[1] : v[0]);
    out->faces.push_back(mirror ? v[0] : v[1]);
    out->faces.push_back(v[2]);
  }
}
