// Visible edges: the wire-frame copy of a mesh that the wire exporters and the viewer's edge
// mode draw. An edge between two faces is kept when they meet at the edge angle or more
// (creases and silhouettes of a faceted model), a border edge always.
#include <cmath>
#include <vector>

#include "meshlib/corner_normal_pass.h"
#include "meshlib/mesh3d.h"
#include "meshlib/vertex_table.h"

Mesh3d* Mesh3d::extract_edges(double edge_angle) const {
  if (vertices == nullptr || faces == nullptr || edges == nullptr) return nullptr;
  FaceNormalCache normals(*this);
  return extract_edges(edge_angle, normals);
}

Mesh3d* Mesh3d::extract_edges(double edge_angle, FaceNormalCache& normals) const {
  if (vertices == nullptr || faces == nullptr || edges == nullptr) return nullptr;
  Mesh3d* result = new Mesh3d(vertex_count(), name());
  // The wire copy is drawn and written in the colour of its mesh.
  result->has_appearance = has_appearance;
  result->appearance = appearance;
  const int32_t edge_total = edges->count();
  // Face normals come from a cache (an edge's faces are near in number to the last edges'),
  // and "less than the edge angle" from the cosine threshold, as angle_between decides it.
  AngleBelow below(edge_angle);
  // The copy's vertex of each vertex, remembered when it has exactly the vertex's position:
  // no vertex added later can weld there instead (see add_indexed_triangles), so each
  // vertex is hashed about once instead of once for every kept edge at it.
  std::vector<int32_t> copy_of(static_cast<std::size_t>(vertex_count()), -1);
  // Whether edge e + kAhead is kept is decided ahead, and only the ends of a kept edge (those
  // not copied yet) have their copy's buckets hashed and fetched, so that the cache misses of
  // a large mesh overlap, as when the mesh itself was welded, and an end whose edges are all
  // left out (inside a flat or smooth area) is not hashed at all.
  constexpr int32_t kAhead = 8, kRing = 16;
  constexpr uint32_t kNotHashed = UINT32_MAX;
  struct Ahead {
    bool kept;
    int32_t ends[2];
    uint32_t h[2];
  };
  Ahead ring[kRing];
  VertexTable& copy = *result->vertices;
  auto kept = [&](int32_t e) {
    int32_t ef[2];
    edges->faces_of_edge(e, ef);
    // An edge recorded by more than two faces is judged by its first and last one.
    if (edge_angle <= 0 || ef[0] == -1 || ef[1] == -1) return true;
    const FaceNormalCache::Entry n1 = normals.get(ef[0]);
    const FaceNormalCache::Entry& n2 = normals.get(ef[1]);
    const double d = n1.length * n2.length;
    // A zero normal counts as angle 0, below any positive edge angle; a cosine that is not
    // a number gives an angle that is not, which is never at least the edge angle.
    if (d == 0.0) return false;
    const double k = vec_dot(n1.normal, n2.normal) / d;
    return !(k != k || below(k));
  };
  auto look_ahead = [&](int32_t e) {
    Ahead& a = ring[e % kRing];
    a.kept = kept(e);
    a.ends[0] = a.ends[1] = -1;
    if (a.kept) edges->ends(e, a.ends);
    for (int k = 0; k < 2; ++k) {
      const int32_t v = a.ends[k];
      uint32_t h = kNotHashed;
      Vec3d p;
      if (v >= 0 && v < static_cast<int32_t>(copy_of.size()) && copy_of[v] < 0 &&
          vertices->position(v, p) == 0) {
        h = copy.bucket_of(p);
        copy.prefetch_bucket(h);
      }
      a.h[k] = h;
    }
  };
  auto weld = [&](int32_t v, uint32_t h) {
    const bool known = v >= 0 && v < static_cast<int32_t>(copy_of.size());
    if (known && copy_of[v] >= 0) return copy_of[v];
    Vec3d p = {0.0, 0.0, 0.0}, q;
    vertices->position(v, p);
    // Only an end outside the vertex table (which no mesh built here has) was not hashed.
    const int32_t c = h != kNotHashed ? copy.add_in_bucket(p, h) : copy.add(p);
    if (known && copy.position(c, q) == 0 && q.x == p.x && q.y == p.y && q.z == p.z) copy_of[v] = c;
    return c;
  };
  for (int32_t e = 0; e < edge_total && e < kAhead; ++e) look_ahead(e);
  for (int32_t e = 0; e < edge_total; ++e) {
    if (e + kAhead < edge_total) look_ahead(e + kAhead);
    if (e + kAhead / 2 < edge_total)
      for (uint32_t h : ring[(e + kAhead / 2) % kRing].h)
        if (h != kNotHashed) copy.prefetch_chain(h);
    const Ahead& a = ring[e % kRing];
    if (!a.kept) continue;
    // Kept edges that share an end share its vertex in the copy through welding.
    const int32_t a2 = weld(a.ends[0], a.h[0]);
    const int32_t b2 = weld(a.ends[1], a.h[1]);
    result->edges->add(a2, b2);
  }
  return result;
}
