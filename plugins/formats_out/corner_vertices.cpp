#include "plugins/formats_out/corner_vertices.h"

#include <cmath>
#include <cstring>

#include "meshlib/corner_normal_pass.h"
#include "meshlib/mesh3d.h"
#include "plugins/formats_out/mesh_source.h"

namespace {

// The written normal of a corner: the opposite of the stored one (which points away from the
// side where the winding runs counter-clockwise), as float, of unit length.
void written_normal(const Vec3d& n, float out[3]) {
  const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  if (!(length > 0.0) || !std::isfinite(length)) {
    out[0] = 0.0f;
    out[1] = 0.0f;
    out[2] = 1.0f;
    return;
  }
  // + 0.0f turns -0 into 0, so equal directions compare equal byte for byte.
  out[0] = static_cast<float>(-n.x / length) + 0.0f;
  out[1] = static_cast<float>(-n.y / length) + 0.0f;
  out[2] = static_cast<float>(-n.z / length) + 0.0f;
}

}  // namespace

void split_corner_vertices(const Mesh3d& mesh, double smooth_angle, CornerVertices* out,
                           ExportReport* report) {
  out->source.clear();
  out->normals.clear();
  out->corners.clear();
  const int32_t face_count = mesh.face_count();
  const int32_t vertex_count = mesh.vertex_count();
  if (face_count <= 0 || vertex_count <= 0) return;
  out->corners.resize(static_cast<size_t>(face_count) * 3);
  out->source.reserve(static_cast<size_t>(vertex_count));
  out->normals.reserve(static_cast<size_t>(vertex_count) * 3);

  // Written vertices of each mesh vertex as a chain: first[v], then next[w].
  std::vector<int32_t> first(static_cast<size_t>(vertex_count), -1);
  std::vector<int32_t> next;
  next.reserve(static_cast<size_t>(vertex_count));

  CornerNormalPass normals(mesh, smooth_angle > 0.0 ? smooth_angle : 0.0);
  const int32_t step = face_count / 100 + 1;
  for (int32_t f = 0; f < face_count; ++f) {
    if (report != nullptr && f % step == 0) report->progress(f, face_count);
    int32_t v[3];
    mesh.faces->face(f, v);
    Vec3d n[3];
    normals.get(f, n);
    for (int k = 0; k < 3; ++k) {
      float normal[3];
      written_normal(n[k], normal);
      int32_t w = first[static_cast<size_t>(v[k])];
      while (w >= 0 &&
             std::memcmp(&out->normals[static_cast<size_t>(w) * 3], normal, sizeof normal) != 0)
        w = next[static_cast<size_t>(w)];
      if (w < 0) {
        w = static_cast<int32_t>(out->source.size());
        out->source.push_back(v[k]);
        out->normals.insert(out->normals.end(), normal, normal + 3);
        next.push_back(first[static_cast<size_t>(v[k])]);
        first[static_cast<size_t>(v[k])] = w;
      }
      out->corners[static_cast<size_t>(f) * 3 + static_cast<size_t>(k)] = static_cast<uint32_t>(w);
    }
  }
  if (report != nullptr) report->progress(face_count, face_count);
}
