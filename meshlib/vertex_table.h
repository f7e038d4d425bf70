// VertexTable: the welding vertex table of a mesh's indexed form. Corners handed in one by one
// are welded to an already stored vertex when one in the same hash bucket lies within 1e-6 in
// every coordinate; the bucket comes from the exact bits of the three doubles, so welding is
// exact-first (+0.0 and -0.0, or two positions 5e-7 apart, normally stay separate vertices).
// Each vertex also keeps the set of faces and the set of edges that use it.
//
// The table is an open hash table with chaining, sized once from a hint and never rehashed:
// capacity 2n, floor(14n / 10) buckets but at least 2048 (n = 0 counts as 1, n < 0 ends the
// process with exit status 1). The chain of each bucket is newest first. Indices are dense
// (0 ... count - 1) and never reused; when full, every per-vertex array doubles.
#pragma once

#include <cstdint>

#include "meshlib/linked_indices.h"
#include "meshlib/vec3d.h"

class VertexTable {
 public:
  explicit VertexTable(int32_t size_hint);
  ~VertexTable();
  VertexTable(const VertexTable&) = delete;
  VertexTable& operator=(const VertexTable&) = delete;

  // Index of the stored vertex equal to v (the newest one of its bucket within tolerance), or
  // of v stored as a new vertex. -1 only for an unusable table.
  int32_t add(const Vec3d& v);

  // 0 and out = position of vertex i; -1 when i is not a vertex index or the table is unusable.
  int32_t position(int32_t i, Vec3d& out) const;

  // Faces (edges) that use vertex i, newest first, each once; empty when i is out of range.
  LinkedIndices faces_of(int32_t i) const;
  LinkedIndices edges_of(int32_t i) const;

  // Put f (e) at the front of vertex i's list unless already there: 1, or -1 when i is out of
  // range. Costs the length of the list.
  int32_t add_face_to_vertex(int32_t f, int32_t i);
  int32_t add_edge_to_vertex(int32_t e, int32_t i);

  // Apply vec_scale / vec_swap_axes to vertex i: 0, or -1 when i is out of range.
  int32_t scale_vertex(int32_t i, double s);
  int32_t swap_vertex_axes(int32_t i, int32_t mode);

  // Number of vertices; -1 for an unusable table.
  int32_t count() const { return count_; }
  int32_t capacity() const { return capacity_; }
  int32_t bucket_count() const { return bucket_count_; }
  // The bucket a position hashes to in this table.
  uint32_t bucket_of(const Vec3d& v) const;

 private:
  // Mesh3d::add_triangle hashes its three corners first and prefetches their buckets, so the
  // three cache misses overlap; the adds then run in the usual order with the same results.
  friend class Mesh3d;
  void prefetch_bucket(uint32_t h) const { __builtin_prefetch(buckets_ + h); }
  // The newest vertex of bucket h, where a lookup starts its walk (its bucket entry should be
  // in the cache by now).
  void prefetch_chain(uint32_t h) const {
    int32_t i = buckets_[h];
    if (i >= 0) __builtin_prefetch(positions_ + i);
  }
  int32_t add_in_bucket(const Vec3d& v, uint32_t h);
  // add_face_to_vertex and add_edge_to_vertex for a vertex index known to be stored. They do
  // not read the vertex count, which the welding thread of a two-thread rebuild changes while
  // another thread links the vertices it stored before.
  void link_face(int32_t f, int32_t i) { add_link(vertex_faces_, &Entry::face_fill, f, i); }
  void link_edge(int32_t e, int32_t i) { add_link(vertex_edges_, &Entry::edge_fill, e, i); }

  void grow();

  // A vertex's position and its chain link share one 32-byte entry, so a chain walk touches
  // one cache line per vertex.
  struct Entry {
    Vec3d p;
    int32_t next;        // next (older) vertex of the same bucket, -1 at the end
    uint16_t face_fill;  // entries in the head chunk of the face list, and kUnordered
    uint16_t edge_fill;  // entries in the head chunk of the edge list, and kUnordered
  };
  static constexpr uint16_t kFillMask = 3;
  // Set in a fill once an item came that was not larger than every item before it.
  static constexpr uint16_t kUnordered = 0x8000;

  // Puts item at the front of vertex i's list unless already there; i must be stored.
  void add_link(int32_t* heads, uint16_t Entry::*fill, int32_t item, int32_t i);

  Entry* positions_;
  int32_t* vertex_faces_;  // head chunk of each vertex's list in pool_, -1 = empty
  int32_t* vertex_edges_;
  int32_t count_;
  int32_t capacity_;
  int32_t* buckets_;  // newest vertex of each bucket, -1 = empty
  int32_t bucket_count_;
  uint64_t bucket_magic_;  // reciprocal of bucket_count_ for the modulo
  LinkChunk* pool_;        // chunks of all adjacency lists
  int32_t pool_count_;
  int32_t pool_capacity_;
};
