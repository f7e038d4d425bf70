#include "meshlib/face_table.h"

#include "meshlib/hash_bytes.h"
#include "meshlib/table_storage.h"

using namespace table_storage;

FaceTable::FaceTable(int32_t size_hint) : FaceTable(size_hint, true) {}

FaceTable::FaceTable(int32_t size_hint, bool with_edges) {
  capacity_ = scaled_hint(size_hint, 1, 1, 1);
  bucket_count_ = scaled_hint(size_hint, 2, 1, 2048);
  bucket_magic_ = bucket_magic(static_cast<uint32_t>(bucket_count_));
  faces_ = allocate<Entry>(capacity_);
  face_edges_ = with_edges ? allocate<int32_t>(3 * static_cast<int64_t>(capacity_)) : nullptr;
  buckets_ = empty_buckets(bucket_count_);
  count_ = 0;
}

FaceTable::~FaceTable() {
  release(faces_);
  release(face_edges_);
  release(buckets_);
  count_ = -1;
  capacity_ = 0;
}

uint32_t FaceTable::bucket_of(int32_t a, int32_t b, int32_t c) const {
  sort3(a, b, c);
  return sorted_face_key(a, b, c, bucket_magic_, static_cast<uint32_t>(bucket_count_));
}

void FaceTable::grow() {
  capacity_ = doubled(capacity_);
  resize(faces_, capacity_);
  if (face_edges_) resize(face_edges_, 3 * static_cast<int64_t>(capacity_));
}

uint32_t FaceTable::chain_of(int32_t a, int32_t b, int32_t c) const {
  sort3(a, b, c);
  return sorted_face_chain(a, b, c, static_cast<uint32_t>(bucket_count_));
}

int32_t FaceTable::add(int32_t a, int32_t b, int32_t c) {
  return add_in_bucket(a, b, c, chain_of(a, b, c));
}

int32_t FaceTable::add_in_bucket(int32_t a, int32_t b, int32_t c, uint32_t h) {
  if (count_ < 0) return -1;
  int32_t lo = a, mid = b, hi = c;
  sort3(lo, mid, hi);
  for (int32_t i = buckets_[h]; i >= 0; i = faces_[i].next) {
    int32_t x = faces_[i].v[0], y = faces_[i].v[1], z = faces_[i].v[2];
    sort3(x, y, z);
    if (x == lo && y == mid && z == hi) return i;
  }
  if (count_ == capacity_) grow();
  int32_t i = count_++;
  int32_t* f = faces_[i].v;
  f[0] = a;
  f[1] = b;
  f[2] = c;
  if (face_edges_) {
    int32_t* e = face_edges_ + 3 * static_cast<int64_t>(i);
    e[0] = e[1] = e[2] = -1;
  }
  faces_[i].next = buckets_[h];
  buckets_[h] = i;
  return i;
}

int32_t FaceTable::face(int32_t f, int32_t out[3]) const {
  if (f < 0 || f >= count_) return -1;
  const int32_t* p = faces_[f].v;
  out[0] = p[0];
  out[1] = p[1];
  out[2] = p[2];
  return 0;
}

int32_t FaceTable::set_face_edges(int32_t e1, int32_t e2, int32_t e3, int32_t f) {
  if (f < 0 || f >= count_ || !face_edges_) return -1;
  int32_t* p = face_edges_ + 3 * static_cast<int64_t>(f);
  p[0] = e1;
  p[1] = e2;
  p[2] = e3;
  return 1;
}

int32_t FaceTable::face_edges(int32_t f, int32_t out[3]) const {
  if (f < 0 || f >= count_) return -1;
  if (!face_edges_) {
    out[0] = out[1] = out[2] = -1;
    return 0;
  }
  const int32_t* p = face_edges_ + 3 * static_cast<int64_t>(f);
  out[0] = p[0];
  out[1] = p[1];
  out[2] = p[2];
  return 0;
}

int32_t FaceTable::flip(int32_t f) {
  if (f < 0 || f >= count_) return -1;
  int32_t* p = faces_[f].v;
  int32_t t = p[0];
  p[0] = p[1];
  p[1] = t;
  return 0;
}
