// Visible edges: the wire-frame copy of a mesh that the wire exporters and the viewer's edge
// mode draw. An edge between two faces is kept when they meet at the edge angle or more
// (creases and silhouettes of a faceted model), a border edge always.
#include <cmath>

#include "meshlib/mesh3d.h"

Mesh3d* Mesh3d::extract_edges(double edge_angle) const {
  if (vertices == nullptr || faces == nullptr || edges == nullptr) return nullptr;
  Mesh3d* result = new Mesh3d(vertex_count(), name());
  const int32_t edge_total = edges->count();
  for (int32_t e = 0; e < edge_total; ++e) {
    int32_t ends_of_edge[2];
    int32_t ef[2];
    edges->ends(e, ends_of_edge);
    edges->faces_of_edge(e, ef);
    // An edge recorded by more than two faces is judged by its first and last one.
    if (edge_angle > 0 && ef[0] != -1 && ef[1] != -1) {
      Vec3d p[3];
      Vec3d n1;
      Vec3d n2;
      triangle_positions(ef[0], p);
      face_normal(p[0], p[1], p[2], n1);
      triangle_positions(ef[1], p);
      face_normal(p[0], p[1], p[2], n2);
      if (!(std::fabs(angle_between(n1, n2)) >= edge_angle)) continue;
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
