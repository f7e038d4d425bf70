// FaceTable: the faces of a mesh's indexed form, each stored once. A face is three vertex
// indices in winding order; two faces with the same three indices in any order are the same
// face, which keeps the winding it was first added with. Each face also records its three
// edges (a,b), (b,c), (c,a).
//
// Open hash table with chaining keyed on the sorted index triple: capacity n, 2n buckets but
// at least 2048 (n = 0 counts as 1, n < 0 ends the process with exit status 1); never
// rehashed; the arrays double when full.
#pragma once

#include <cstdint>

class FaceTable {
 public:
  explicit FaceTable(int32_t size_hint);
  // Without with_edges the table keeps no edges per face (for a mesh without an edge table):
  // face_edges gives (-1, -1, -1) and set_face_edges records nothing and returns -1.
  FaceTable(int32_t size_hint, bool with_edges);
  ~FaceTable();
  FaceTable(const FaceTable&) = delete;
  FaceTable& operator=(const FaceTable&) = delete;

  // Index of the face with the indices {a, b, c} in any order, stored as (a, b, c) when new.
  // -1 only for an unusable table.
  int32_t add(int32_t a, int32_t b, int32_t c);

  // 0 and out = (a, b, c) of face f; -1 when f is out of range or the table is unusable.
  int32_t face(int32_t f, int32_t out[3]) const;

  // Record (e1, e2, e3) as the edges of face f: 1, or -1 when f is out of range.
  int32_t set_face_edges(int32_t e1, int32_t e2, int32_t e3, int32_t f);
  // 0 and out = the recorded edges of face f (-1 before any are recorded); -1 when out of range.
  int32_t face_edges(int32_t f, int32_t out[3]) const;

  // Exchange a and b of face f, reversing its winding (its key, the sorted triple, stays):
  // 0, or -1 when f is out of range or the table is unusable.
  int32_t flip(int32_t f);

  int32_t count() const { return count_; }
  int32_t capacity() const { return capacity_; }
  int32_t bucket_count() const { return bucket_count_; }
  // The byte-hash bucket of the face {a, b, c} among bucket_count() buckets.
  uint32_t bucket_of(int32_t a, int32_t b, int32_t c) const;
  // The chain the table keeps the face {a, b, c} in: one of the same bucket_count() chains,
  // chosen by a well-spread mix (the keys are exact, so this changes no result).
  uint32_t chain_of(int32_t a, int32_t b, int32_t c) const;

 private:
  // Mesh3d::add_triangle computes the face and edge buckets together and prefetches them.
  friend class Mesh3d;
  void prefetch_bucket(uint32_t h) const { __builtin_prefetch(buckets_ + h); }
  // Add with the face's chain (chain_of) already known.
  int32_t add_in_bucket(int32_t a, int32_t b, int32_t c, uint32_t h);

  void grow();

  // A face's corners and its chain link share one 16-byte entry, so a chain walk touches one
  // cache line per face instead of two.
  struct Entry {
    int32_t v[3];
    int32_t next;  // next (older) face of the same bucket, -1 at the end
  };

  Entry* faces_;
  int32_t* face_edges_;  // 3 per face
  int32_t count_;
  int32_t capacity_;
  int32_t* buckets_;
  int32_t bucket_count_;
  uint64_t bucket_magic_;
};
