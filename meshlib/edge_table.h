// EdgeTable: the edges of a mesh's indexed form, each stored once. (a, b) and (b, a) are one
// edge, which keeps the end order it was first added with. Each edge records up to two faces:
// the first in f1, the latest other one in f2 (a third face overwrites the second).
//
// Open hash table with chaining keyed on the sorted index pair: capacity 3n, 3n buckets but at
// least 2048 (n = 0 counts as 1, n < 0 ends the process with exit status 1); never rehashed;
// the arrays double when full.
#pragma once

#include <cstdint>

class EdgeTable {
 public:
  explicit EdgeTable(int32_t size_hint);
  ~EdgeTable();
  EdgeTable(const EdgeTable&) = delete;
  EdgeTable& operator=(const EdgeTable&) = delete;

  // Index of the edge {a, b}, stored as (a, b) when new. -1 only for an unusable table.
  int32_t add(int32_t a, int32_t b);

  // 0 and out = (a, b) of edge e; -1 when e is out of range or the table is unusable.
  int32_t ends(int32_t e, int32_t out[2]) const;
  // 0 and out = (f1, f2) of edge e, -1 where no face is recorded; -1 when out of range.
  int32_t faces_of_edge(int32_t e, int32_t out[2]) const;

  // f1 = f when f1 is still -1, otherwise f2 = f: 1, or -1 when e is out of range.
  int32_t add_face_to_edge(int32_t f, int32_t e);

  int32_t count() const { return count_; }
  int32_t capacity() const { return capacity_; }
  int32_t bucket_count() const { return bucket_count_; }
  // The byte-hash bucket of the edge {a, b} among bucket_count() buckets.
  uint32_t bucket_of(int32_t a, int32_t b) const;
  // The chain the table keeps the edge {a, b} in: one of the same bucket_count() chains,
  // chosen by a well-spread mix (the keys are exact, so this changes no result).
  uint32_t chain_of(int32_t a, int32_t b) const;

 private:
  // Mesh3d::add_triangle computes the face and edge buckets together and prefetches them.
  friend class Mesh3d;
  void prefetch_bucket(uint32_t h) const { __builtin_prefetch(buckets_ + h); }
  int32_t add_in_bucket(int32_t a, int32_t b, uint32_t h);

  void grow();

  // An edge's ends and its chain link share one entry, so a chain walk touches one cache
  // line per edge instead of two.
  struct Entry {
    int32_t a;
    int32_t b;
    int32_t next;  // next (older) edge of the same bucket, -1 at the end
  };

  Entry* edges_;
  int32_t* edge_faces_;  // 2 per edge
  int32_t count_;
  int32_t capacity_;
  int32_t* buckets_;
  int32_t bucket_count_;
  uint64_t bucket_magic_;
};
