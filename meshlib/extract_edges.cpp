// Visible edges: the wire-frame copy of a mesh that the wire exporters and the viewer's edge
// mode draw. An edge between two faces is kept when they meet at the edge angle or more
// (creases and silhouettes of a faceted model), a border edge always.
#include <cmath>

#include "meshlib/corner_normal_pass.h"
#include "meshlib/mesh3d.h"

Mesh3d* Mesh3d::extract_edges(double edge_angle) const {
  if (vertices == nullptr || faces == nullptr || edges == nullptr) return nullptr;
  Mesh3d* result = new Mesh3d(vertex_count(), name());
  // The wire copy is drawn and written in the colour of its mesh.
  result->has_appearance = has_appearance;
  result->appearance = appearance;
  const int32_t edge_total = edges->count();
  // Face normals come from a cache (an edge's faces are near in number to the last edges'),
  // and "less than the edge angle" from the cosine threshold, as angle_between decides it.
  FaceNormalCache normals(*this);
  AngleBelow below(edge_angle);
  for (int32_t e = 0; e < edge_total; ++e) {
    int32_t ends_of_edge[2];
    int32_t ef[2];
    edges->ends(e, ends_of_edge);
    edges->faces_of_edge(e, ef);
    // An edge recorded by more than two faces is judged by its first and last one.
    if (edge_angle > 0 && ef[0] != -1 && ef[1] != -1) {
      const FaceNormalCache::Entry n1 = normals.get(ef[0]);
      const FaceNormalCache::Entry& n2 = normals.get(ef[1]);
      const double d = n1.length * n2.length;
      // A zero normal counts as angle 0, below any positive edge angle; a cosine that is not
      // a number gives an angle that is not, which is never at least the edge angle.
      if (d == 0.0) continue;
      const double k = vec_dot(n1.normal, n2.normal) / d;
      if (k != k || below(k)) continue;
    }
    Vec3d a;
    Vec3d b;
    vertices->position(ends_of_edge[0], a);
    vertices->position(ends_of_edge[1], b);
    // Kept edges that share an end share its vertex in the copy through welding.
    const int32_t a2 = result->vertices->add(a);
    const int32_t b2 = result->vertices->add(b);
    result->edges->add(a2, b2);
  }
  return result;
}
