#include "meshlib/mesh3d.h"

#include <memory>
#include <vector>

#include "meshlib/background_weld.h"
#include "settings/log_file.h"
#include "settings/memory.h"

Mesh3d::Mesh3d(int32_t size_hint, const char* name) : Mesh3d(size_hint, name, true) {}

Mesh3d::Mesh3d(int32_t size_hint, const char* name, bool with_edges)
    : Obj3d(name, kMesh),
      bbox_empty(1),
      vertices(new VertexTable(size_hint)),
      faces(new FaceTable(size_hint, with_edges)),
      edges(with_edges ? new EdgeTable(size_hint) : nullptr),
      flat_vertices(nullptr),
      flat_faces(nullptr),
      flat_vertex_count(0),
      flat_face_count(0),
      bbox_min{0.0, 0.0, 0.0},
      bbox_max{0.0, 0.0, 0.0},
      has_appearance(0) {
  mat_identity(transform);
}

Mesh3d::~Mesh3d() {
  drop_tables();
  if (flat_vertices) must_free(flat_vertices);
  if (flat_faces) must_free(flat_faces);
  flat_vertices = nullptr;
  flat_faces = nullptr;
}

int32_t Mesh3d::vertex_count() const { return vertices ? vertices->count() : 0; }
int32_t Mesh3d::face_count() const { return faces ? faces->count() : 0; }
int32_t Mesh3d::edge_count() const { return edges ? edges->count() : 0; }

void Mesh3d::fold_into_box(const Vec3d& p) {
  if (bbox_empty) {
    bbox_min = p;
    bbox_max = p;
    bbox_empty = 0;
  } else {
    vec_min(bbox_min, bbox_min, p);
    vec_max(bbox_max, bbox_max, p);
  }
}

void Mesh3d::add_triangle(const Vec3d& p0, const Vec3d& p1, const Vec3d& p2) {
  if (!vertices || !faces) return;
  // The buckets are computed ahead and prefetched so that their cache misses overlap; the
  // adds themselves run one after the other as always.
  const uint32_t h[3] = {vertices->bucket_of(p0), vertices->bucket_of(p1), vertices->bucket_of(p2)};
  vertices->prefetch_bucket(h[0]);
  vertices->prefetch_bucket(h[1]);
  vertices->prefetch_bucket(h[2]);
  add_hashed_triangle(p0, p1, p2, h);
}

void Mesh3d::add_triangles(const Vec3d* corners, int32_t count) {
  if (!vertices || !faces) return;
  // A ring of the buckets of the next triangles: the buckets of triangle i + kAhead are
  // hashed and fetched, the newest vertex of each bucket of triangle i + kAhead / 2 is
  // fetched, and triangle i is added. Prefetches change nothing the adds find.
  constexpr int32_t kAhead = 8, kRing = 16;
  uint32_t ring[kRing][3];
  auto hash = [&](int32_t t) {
    for (int k = 0; k < 3; ++k) {
      uint32_t h = vertices->bucket_of(corners[3 * t + k]);
      ring[t % kRing][k] = h;
      vertices->prefetch_bucket(h);
    }
  };
  for (int32_t t = 0; t < count && t < kAhead; ++t) hash(t);
  for (int32_t t = 0; t < count; ++t) {
    if (t + kAhead < count) hash(t + kAhead);
    if (t + kAhead / 2 < count)
      for (int k = 0; k < 3; ++k) vertices->prefetch_chain(ring[(t + kAhead / 2) % kRing][k]);
    const Vec3d* p = corners + 3 * t;
    add_hashed_triangle(p[0], p[1], p[2], ring[t % kRing]);
  }
}

void Mesh3d::add_hashed_triangle(const Vec3d& p0, const Vec3d& p1, const Vec3d& p2,
                                 const uint32_t h[3]) {
  // Every step can grow a table; the order fixes the numbering of vertices, faces, edges and
  // adjacency nodes, which the rest of the system sees.
  fold_into_box(p0);
  fold_into_box(p1);
  fold_into_box(p2);
  int32_t a = vertices->add_in_bucket(p0, h[0]);
  int32_t b = vertices->add_in_bucket(p1, h[1]);
  int32_t c = vertices->add_in_bucket(p2, h[2]);
  link_triangle(a, b, c);
}

void Mesh3d::add_indexed_triangles(const Vec3d* positions, const int32_t* corners, int32_t count,
                                   int32_t* memo) {
  if (!vertices || !faces) return;
  // Welding a vertex never depends on faces or links, so a run of triangles can be welded
  // first and linked after: the same numbering and lists as triangle after triangle.
  constexpr int32_t kRun = 256;
  int32_t welded[3 * kRun];
  for (int32_t first = 0; first < count; first += kRun) {
    const int32_t n = count - first < kRun ? count - first : kRun;
    weld_corners(positions, corners + 3 * first, n, memo, welded);
    link_triangles(welded, n);
  }
}

void Mesh3d::weld_corners(const Vec3d* positions, const int32_t* corners, int32_t count,
                          int32_t* memo, int32_t* welded) {
  // As add_triangles, the buckets of triangle t + kAhead are hashed and fetched ahead, but
  // only for corners not remembered yet; kNotHashed marks the others.
  constexpr int32_t kAhead = 8, kRing = 16;
  constexpr uint32_t kNotHashed = UINT32_MAX;
  uint32_t ring[kRing][3];
  auto hash = [&](int32_t t) {
    for (int k = 0; k < 3; ++k) {
      const int32_t j = corners[3 * t + k];
      uint32_t h = kNotHashed;
      if (memo[j] < 0) {
        h = vertices->bucket_of(positions[j]);
        vertices->prefetch_bucket(h);
      }
      ring[t % kRing][k] = h;
    }
  };
  for (int32_t t = 0; t < count && t < kAhead; ++t) hash(t);
  for (int32_t t = 0; t < count; ++t) {
    if (t + kAhead < count) hash(t + kAhead);
    if (t + kAhead / 2 < count)
      for (int k = 0; k < 3; ++k) {
        const uint32_t h = ring[(t + kAhead / 2) % kRing][k];
        if (h != kNotHashed) vertices->prefetch_chain(h);
      }
    for (int k = 0; k < 3; ++k) {
      const int32_t j = corners[3 * t + k];
      const Vec3d& p = positions[j];
      fold_into_box(p);
      int32_t& v = welded[3 * t + k];
      if (memo[j] >= 0) {
        v = memo[j];
        continue;
      }
      // (A position remembered when its triangle was hashed stays remembered, so h is set.)
      const uint32_t h = ring[t % kRing][k];
      v = vertices->add_in_bucket(p, h != kNotHashed ? h : vertices->bucket_of(p));
      Vec3d stored;
      if (vertices->position(v, stored) == 0 && stored.x == p.x && stored.y == p.y &&
          stored.z == p.z)
        memo[j] = v;
    }
  }
}

void Mesh3d::link_triangles(const int32_t* welded, int32_t count) {
  for (int32_t t = 0; t < count; ++t)
    link_triangle(welded[3 * t], welded[3 * t + 1], welded[3 * t + 2]);
}

void Mesh3d::link_triangle(int32_t a, int32_t b, int32_t c) {
  if (a < 0 || b < 0 || c < 0) return;  // only from a table that is no longer usable
  if (!edges) {
    int32_t f = faces->add(a, b, c);
    vertices->link_face(f, a);
    vertices->link_face(f, b);
    vertices->link_face(f, c);
    return;
  }
  uint32_t hf = faces->chain_of(a, b, c);
  uint32_t he1 = edges->chain_of(a, b), he2 = edges->chain_of(b, c), he3 = edges->chain_of(c, a);
  faces->prefetch_bucket(hf);
  edges->prefetch_bucket(he1);
  edges->prefetch_bucket(he2);
  edges->prefetch_bucket(he3);
  int32_t f = faces->add_in_bucket(a, b, c, hf);
  int32_t e1 = edges->add_in_bucket(a, b, he1);
  int32_t e2 = edges->add_in_bucket(b, c, he2);
  int32_t e3 = edges->add_in_bucket(c, a, he3);
  vertices->link_face(f, a);
  vertices->link_face(f, b);
  vertices->link_face(f, c);
  vertices->link_edge(e1, a);
  vertices->link_edge(e1, b);
  vertices->link_edge(e2, b);
  vertices->link_edge(e2, c);
  vertices->link_edge(e3, a);
  vertices->link_edge(e3, c);
  faces->set_face_edges(e1, e2, e3, f);
  edges->add_face_to_edge(f, e1);
  edges->add_face_to_edge(f, e2);
  edges->add_face_to_edge(f, e3);
}

void Mesh3d::triangle_positions(int32_t f, Vec3d out[3]) const {
  if (!vertices || !faces) return;
  int32_t idx[3];
  if (faces->face(f, idx) != 0) return;
  for (int k = 0; k < 3; ++k) vertices->position(idx[k], out[k]);
}

void Mesh3d::to_flat() {
  if (!vertices || !faces) return;
  int32_t nv = vertices->count();
  int32_t nf = faces->count();
  // A flat form made earlier (an exporter that reduces a rebuilt mesh again) is replaced,
  // not leaked. At least one entry each, so that an empty mesh still has a flat form that
  // from_flat accepts.
  if (flat_vertices) must_free(flat_vertices);
  if (flat_faces) must_free(flat_faces);
  flat_vertices = static_cast<Vec3d*>(must_alloc(sizeof(Vec3d) * (nv > 0 ? nv : 1)));
  flat_faces = static_cast<FlatFace*>(must_alloc(sizeof(FlatFace) * (nf > 0 ? nf : 1)));
  for (int32_t i = 0; i < nv; ++i) vertices->position(i, flat_vertices[i]);
  for (int32_t i = 0; i < nf; ++i) {
    faces->face(i, flat_faces[i].v);
    flat_faces[i].v[3] = 0;
  }
  flat_vertex_count = nv;
  flat_face_count = nf;
}

void Mesh3d::drop_tables() {
  delete vertices;
  delete faces;
  delete edges;
  vertices = nullptr;
  faces = nullptr;
  edges = nullptr;
}

void Mesh3d::from_flat(bool with_edges) {
  if (vertices || faces || edges) return;
  if (!flat_vertices || !flat_faces) return;
  int32_t nf = flat_face_count > 0 ? flat_face_count : 0;
  vertices = new VertexTable(nf);
  faces = new FaceTable(nf, with_edges);
  edges = with_edges ? new EdgeTable(nf) : nullptr;
  // The faces go in batches, so that the welding can fetch ahead; each flat vertex is hashed
  // about once (see add_indexed_triangles). A large mesh's batches are welded and linked on
  // helper threads while this one gathers the next (BackgroundWeld), with the same tables.
  const bool beside = nf >= kTwoThreadFaces;
  const std::size_t batch_size = 3 * static_cast<std::size_t>(beside ? 4096 : 256);
  std::vector<int32_t> batch;
  batch.reserve(batch_size);
  std::vector<int32_t> memo(static_cast<std::size_t>(flat_vertex_count), -1);
  std::unique_ptr<BackgroundWeld> weld;
  if (beside) weld.reset(new BackgroundWeld(*this, flat_vertices, flat_vertex_count, memo.data()));
  auto flush = [&] {
    if (weld) {
      weld->add(batch);
      batch.reserve(batch_size);
    } else {
      add_indexed_triangles(flat_vertices, batch.data(), static_cast<int32_t>(batch.size() / 3),
                            memo.data());
      batch.clear();
    }
  };
  for (int32_t i = 0; i < nf; ++i) {
    const int32_t* v = flat_faces[i].v;
    // A flat form handed in from outside may be inconsistent; its bad faces are left out
    // instead of reading past the vertex array.
    if (v[0] < 0 || v[0] >= flat_vertex_count || v[1] < 0 || v[1] >= flat_vertex_count ||
        v[2] < 0 || v[2] >= flat_vertex_count)
      continue;
    batch.insert(batch.end(), v, v + 3);
    if (batch.size() == batch_size) flush();
  }
  if (!batch.empty()) flush();
  if (weld) weld->finish();
}

void Mesh3d::write_statistics(LogFile& log) const {
  if (!vertices || !faces) return;
  log.LogWrite("Statistic:\n");
  log.LogWrite("Object   : %s\n", name());
  log.LogWrite("Faces    : %d\n", faces->count());
  log.LogWrite("Vertices : %d\n", vertices->count());
  log.LogWrite("Min : <%f,%f,%f>\n", bbox_min.x, bbox_min.y, bbox_min.z);
  log.LogWrite("Max : <%f,%f,%f>\n", bbox_max.x, bbox_max.y, bbox_max.z);
}
