#include "meshlib/edge_table.h"

#include "meshlib/hash_bytes.h"
#include "meshlib/table_storage.h"

using namespace table_storage;

EdgeTable::EdgeTable(int32_t size_hint) {
  capacity_ = scaled_hint(size_hint, 3, 1, 1);
  bucket_count_ = scaled_hint(size_hint, 3, 1, 2048);
  bucket_magic_ = bucket_magic(static_cast<uint32_t>(bucket_count_));
  edges_ = allocate<Entry>(capacity_);
  edge_faces_ = allocate<int32_t>(2 * static_cast<int64_t>(capacity_));
  buckets_ = empty_buckets(bucket_count_);
  count_ = 0;
}

EdgeTable::~EdgeTable() {
  release(edges_);
  release(edge_faces_);
  release(buckets_);
  count_ = -1;
  capacity_ = 0;
}

uint32_t EdgeTable::bucket_of(int32_t a, int32_t b) const {
  if (b < a) {
    int32_t t = a;
    a = b;
    b = t;
  }
  return sorted_edge_key(a, b, bucket_magic_, static_cast<uint32_t>(bucket_count_));
}

uint32_t EdgeTable::chain_of(int32_t a, int32_t b) const {
  return a < b ? sorted_edge_chain(a, b, static_cast<uint32_t>(bucket_count_))
               : sorted_edge_chain(b, a, static_cast<uint32_t>(bucket_count_));
}

void EdgeTable::grow() {
  capacity_ = doubled(capacity_);
  resize(edges_, capacity_);
  resize(edge_faces_, 2 * static_cast<int64_t>(capacity_));
}

int32_t EdgeTable::add(int32_t a, int32_t b) { return add_in_bucket(a, b, chain_of(a, b)); }

int32_t EdgeTable::add_in_bucket(int32_t a, int32_t b, uint32_t h) {
  if (count_ < 0) return -1;
  int32_t lo = a < b ? a : b, hi = a < b ? b : a;
  for (int32_t i = buckets_[h]; i >= 0; i = edges_[i].next) {
    int32_t x = edges_[i].a, y = edges_[i].b;
    if ((x == lo && y == hi) || (x == hi && y == lo)) return i;
  }
  if (count_ == capacity_) grow();
  int32_t i = count_++;
  edges_[i].a = a;
  edges_[i].b = b;
  edge_faces_[2 * static_cast<int64_t>(i)] = -1;
  edge_faces_[2 * static_cast<int64_t>(i) + 1] = -1;
  edges_[i].next = buckets_[h];
  buckets_[h] = i;
  return i;
}

int32_t EdgeTable::ends(int32_t e, int32_t out[2]) const {
  if (e < 0 || e >= count_) return -1;
  out[0] = edges_[e].a;
  out[1] = edges_[e].b;
  return 0;
}

int32_t EdgeTable::faces_of_edge(int32_t e, int32_t out[2]) const {
  if (e < 0 || e >= count_) return -1;
  out[0] = edge_faces_[2 * static_cast<int64_t>(e)];
  out[1] = edge_faces_[2 * static_cast<int64_t>(e) + 1];
  return 0;
}

int32_t EdgeTable::add_face_to_edge(int32_t f, int32_t e) {
  if (e < 0 || e >= count_) return -1;
  int32_t* p = edge_faces_ + 2 * static_cast<int64_t>(e);
  if (p[0] == -1)
    p[0] = f;
  else
    p[1] = f;
  return 1;
}
