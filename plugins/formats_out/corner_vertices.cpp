#include "plugins/formats_out/corner_vertices.h"

#include <cmath>
#include <cstring>

#include "meshlib/corner_normal_pass.h"
#include "plugins/formats_out/export_geometry.h"
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

struct FaceNormal {
  Vec3d normal;
  double length;  // 1, or 0 for a degenerate face
};

}  // namespace

void split_corner_vertices(const ExportGeometry& mesh, double smooth_angle, CornerVertices* out,
                           ExportReport* report) {
  out->source.clear();
  out->normals.clear();
  out->corners.clear();
  const int32_t face_count = mesh.face_count();
  const int32_t vertex_count = mesh.vertex_count();
  if (face_count <= 0 || vertex_count <= 0) return;
  if (!(smooth_angle > 0.0)) smooth_angle = 0.0;
  const int32_t* faces = mesh.faces.data();
  const Vec3d* p = mesh.positions.data();

  std::vector<FaceNormal> normals(static_cast<size_t>(face_count));
  for (int32_t f = 0; f < face_count; ++f) {
    const int32_t* v = faces + 3 * f;
    FaceNormal& n = normals[static_cast<size_t>(f)];
    face_normal(p[v[0]], p[v[1]], p[v[2]], n.normal);
    n.length = vec_length(n.normal);
  }

  // The faces around each vertex, each once, newest (highest number) first, as the welded
  // form lists them: the sums then add in the same order and give the same bits.
  std::vector<int32_t> first(static_cast<size_t>(vertex_count) + 1, 0);
  const auto each_vertex_once = [&](int32_t f, auto visit) {
    const int32_t* v = faces + 3 * f;
    visit(v[0]);
    if (v[1] != v[0]) visit(v[1]);
    if (v[2] != v[0] && v[2] != v[1]) visit(v[2]);
  };
  for (int32_t f = 0; f < face_count; ++f)
    each_vertex_once(f, [&](int32_t v) { ++first[static_cast<size_t>(v) + 1]; });
  for (int32_t v = 0; v < vertex_count; ++v)
    first[static_cast<size_t>(v) + 1] += first[static_cast<size_t>(v)];
  std::vector<int32_t> around(static_cast<size_t>(first.back()));
  {
    std::vector<int32_t> fill(first.begin(), first.end() - 1);
    for (int32_t f = face_count - 1; f >= 0; --f)
      each_vertex_once(f, [&](int32_t v) { around[static_cast<size_t>(fill[v]++)] = f; });
  }

  out->corners.resize(static_cast<size_t>(face_count) * 3);
  out->source.reserve(static_cast<size_t>(vertex_count));
  out->normals.reserve(static_cast<size_t>(vertex_count) * 3);
  // Written vertices of each mesh vertex as a chain: head[v], then next[w].
  std::vector<int32_t> head(static_cast<size_t>(vertex_count), -1);
  std::vector<int32_t> next;
  next.reserve(static_cast<size_t>(vertex_count));

  const AngleBelow below(smooth_angle);
  const bool flat = std::fabs(smooth_angle) < 1e-6;
  // The zero-length case of the angle test: the angle counts as 0.
  const bool zero_passes = 0.0 < smooth_angle;
  const int32_t step = face_count / 100 + 1;
  for (int32_t f = 0; f < face_count; ++f) {
    if (report != nullptr && f % step == 0) report->progress(f, face_count);
    const int32_t* v = faces + 3 * f;
    const FaceNormal& own = normals[static_cast<size_t>(f)];
    for (int k = 0; k < 3; ++k) {
      Vec3d sum = own.normal;
      if (!flat) {
        vec_set(sum, 0.0, 0.0, 0.0);
        const int32_t* g = around.data() + first[static_cast<size_t>(v[k])];
        const int32_t* end = around.data() + first[static_cast<size_t>(v[k]) + 1];
        for (; g != end; ++g) {
          const FaceNormal& n = normals[static_cast<size_t>(*g)];
          const double d = own.length * n.length;
          if (d == 0.0 ? zero_passes : below(vec_dot(own.normal, n.normal) / d))
            vec_add(sum, sum, n.normal);
        }
        vec_normalize(sum);
      }
      float normal[3];
      written_normal(sum, normal);
      int32_t w = head[static_cast<size_t>(v[k])];
      while (w >= 0 &&
             std::memcmp(&out->normals[static_cast<size_t>(w) * 3], normal, sizeof normal) != 0)
        w = next[static_cast<size_t>(w)];
      if (w < 0) {
        w = static_cast<int32_t>(out->source.size());
        out->source.push_back(v[k]);
        out->normals.insert(out->normals.end(), normal, normal + 3);
        next.push_back(head[static_cast<size_t>(v[k])]);
        head[static_cast<size_t>(v[k])] = w;
      }
      out->corners[static_cast<size_t>(f) * 3 + static_cast<size_t>(k)] = static_cast<uint32_t>(w);
    }
  }
  if (report != nullptr) report->progress(face_count, face_count);
}
