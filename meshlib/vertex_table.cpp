#include "meshlib/vertex_table.h"

#include "meshlib/hash_bytes.h"
#include "meshlib/table_storage.h"

using namespace table_storage;

VertexTable::VertexTable(int32_t size_hint) {
  capacity_ = scaled_hint(size_hint, 2, 1, 1);
  bucket_count_ = scaled_hint(size_hint, 14, 10, 2048);
  bucket_magic_ = bucket_magic(static_cast<uint32_t>(bucket_count_));
  positions_ = allocate<Entry>(capacity_);
  vertex_faces_ = allocate<int32_t>(capacity_);
  vertex_edges_ = allocate<int32_t>(capacity_);
  buckets_ = empty_buckets(bucket_count_);
  // A vertex of a closed triangle mesh has about six faces and six edges, two chunks each;
  // the pool starts large enough for that when the hint counts triangles (about half as many
  // vertices) and doubles like the other arrays.
  pool_capacity_ = scaled_hint(size_hint, 2, 1, 64);
  pool_ = allocate<LinkChunk>(pool_capacity_);
  pool_count_ = 0;
  count_ = 0;
}

VertexTable::~VertexTable() {
  release(positions_);
  release(vertex_faces_);
  release(vertex_edges_);
  release(buckets_);
  release(pool_);
  count_ = -1;
  capacity_ = 0;
}

uint32_t VertexTable::bucket_of(const Vec3d& v) const {
  return vertex_key(v, bucket_magic_, static_cast<uint32_t>(bucket_count_));
}

void VertexTable::grow() {
  capacity_ = doubled(capacity_);
  resize(positions_, capacity_);
  resize(vertex_faces_, capacity_);
  resize(vertex_edges_, capacity_);
}

int32_t VertexTable::add(const Vec3d& v) { return add_in_bucket(v, bucket_of(v)); }

int32_t VertexTable::add_in_bucket(const Vec3d& v, uint32_t h) {
  if (count_ < 0) return -1;
  // Newest first: among several stored vertices within tolerance the latest one wins.
  for (int32_t i = buckets_[h]; i >= 0; i = positions_[i].next)
    if (vec_equal(positions_[i].p, v)) return i;
  if (count_ == capacity_) grow();
  int32_t i = count_++;
  positions_[i].p = v;
  positions_[i].next = buckets_[h];
  positions_[i].face_fill = 0;
  positions_[i].edge_fill = 0;
  vertex_faces_[i] = -1;
  vertex_edges_[i] = -1;
  buckets_[h] = i;
  return i;
}

int32_t VertexTable::position(int32_t i, Vec3d& out) const {
  if (i < 0 || i >= count_) return -1;
  out = positions_[i].p;
  return 0;
}

LinkedIndices VertexTable::faces_of(int32_t i) const {
  if (i < 0 || i >= count_) return LinkedIndices();
  return LinkedIndices(pool_, vertex_faces_[i], positions_[i].face_fill & kFillMask);
}

LinkedIndices VertexTable::edges_of(int32_t i) const {
  if (i < 0 || i >= count_) return LinkedIndices();
  return LinkedIndices(pool_, vertex_edges_[i], positions_[i].edge_fill & kFillMask);
}

void VertexTable::add_link(int32_t* heads, uint16_t Entry::*fill, int32_t item, int32_t i) {
  int32_t head = heads[i];
  const uint16_t state = positions_[i].*fill;
  int32_t n = state & kFillMask;
  bool ordered = (state & kUnordered) == 0;
  // Items mostly come in rising order (faces and edges as they are numbered): while a list
  // holds only rising items, its newest is its largest, so a larger item cannot be in it and
  // the walk over the list (which would make a vertex of k faces cost k squared) is skipped.
  const bool rising = head >= 0 && ordered && item > pool_[head].item[n - 1];
  if (!rising && head >= 0) {
    for (int32_t c = head, used = n; c >= 0; c = pool_[c].next, used = 3)
      for (int32_t k = 0; k < used; ++k)
        if (pool_[c].item[k] == item) return;
    ordered = false;
  }
  const uint16_t order = ordered ? 0 : kUnordered;
  if (head >= 0 && n < 3) {
    pool_[head].item[n] = item;
    positions_[i].*fill = static_cast<uint16_t>((n + 1) | order);
    return;
  }
  if (pool_count_ == pool_capacity_) {
    pool_capacity_ = doubled(pool_capacity_);
    resize(pool_, pool_capacity_);
  }
  int32_t c = pool_count_++;
  pool_[c].item[0] = item;
  pool_[c].next = head;
  heads[i] = c;
  positions_[i].*fill = static_cast<uint16_t>(1 | order);
}

int32_t VertexTable::add_face_to_vertex(int32_t f, int32_t i) {
  if (i < 0 || i >= count_) return -1;
  link_face(f, i);
  return 1;
}

int32_t VertexTable::add_edge_to_vertex(int32_t e, int32_t i) {
  if (i < 0 || i >= count_) return -1;
  link_edge(e, i);
  return 1;
}

int32_t VertexTable::scale_vertex(int32_t i, double s) {
  if (i < 0 || i >= count_) return -1;
  vec_scale(positions_[i].p, positions_[i].p, s);
  return 0;
}

int32_t VertexTable::swap_vertex_axes(int32_t i, int32_t mode) {
  if (i < 0 || i >= count_) return -1;
  vec_swap_axes(positions_[i].p, mode);
  return 0;
}
