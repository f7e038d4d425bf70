#include "meshlib/hash_bytes.h"

#include <gtest/gtest.h>

#include <cstring>

#include "meshlib/edge_table.h"
#include "meshlib/face_table.h"
#include "meshlib/vertex_table.h"

namespace {

// The chained definition, written out from the byte hash: one reduction after each part.
uint32_t reference_vertex_key(const Vec3d& v, uint32_t m) {
  uint32_t h = hash_bytes(0, &v.x, 8, m);
  h = hash_bytes(h, &v.y, 8, m);
  return hash_bytes(h, &v.z, 8, m);
}

}  // namespace

TEST(HashBytes, BytesCountAsSigned) {
  const unsigned char high[1] = {0xFF};  // -1, not 255
  EXPECT_EQ(hash_bytes(10, high, 1, 1u << 31), 10u * 31u - 1u);
  const unsigned char ab[2] = {'a', 'b'};
  EXPECT_EQ(hash_bytes(0, ab, 2, 1000000), (97u * 31u + 98u) % 1000000u);
}

TEST(HashBytes, WrapsAroundInUnsigned32Bits) {
  const unsigned char b[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  uint64_t expected = 0xFFFFFFFFu;
  for (unsigned char x : b) expected = (expected * 31u + x) & 0xFFFFFFFFu;
  EXPECT_EQ(hash_bytes(0xFFFFFFFFu, b, 8, 4294967295u), expected % 4294967295u);
}

TEST(HashBytes, KnownBucketsWith2048Buckets) {
  VertexTable v(0);
  FaceTable f(0);
  EdgeTable e(0);
  ASSERT_EQ(v.bucket_count(), 2048);
  EXPECT_EQ(v.bucket_of({0.0, 0.0, 0.0}), 0u);
  EXPECT_EQ(v.bucket_of({-0.0, 0.0, 0.0}), 1920u);
  EXPECT_EQ(v.bucket_of({1.0, 2.0, 3.0}), 455u);
  EXPECT_EQ(v.bucket_of({0.0, 0.0, 5e-7}), 1688u);
  EXPECT_EQ(f.bucket_of(0, 1, 2), 1437u);
  EXPECT_EQ(e.bucket_of(0, 1), 1119u);
}

TEST(HashBytes, FaceAndEdgeKeysIgnoreOrder) {
  FaceTable f(0);
  EdgeTable e(0);
  EXPECT_EQ(f.bucket_of(2, 0, 1), f.bucket_of(0, 1, 2));
  EXPECT_EQ(f.bucket_of(1, 2, 0), f.bucket_of(0, 1, 2));
  EXPECT_EQ(e.bucket_of(1, 0), e.bucket_of(0, 1));
}

// The unrolled keys must equal the byte-by-byte definition for any bits and bucket count,
// including negative indices, NaNs and odd bucket counts.
TEST(HashBytes, FastKeysMatchByteDefinition) {
  const uint32_t counts[] = {1, 2, 2048, 14000, 20000, 30000, 1000003, 4294967295u};
  uint64_t seed = 0x9E3779B97F4A7C15ull;
  for (uint32_t m : counts) {
    uint64_t magic = bucket_magic(m);
    for (int i = 0; i < 2000; ++i) {
      seed = seed * 6364136223846793005ull + 1442695040888963407ull;
      Vec3d p;
      uint64_t bits[3] = {seed, seed * 31 + 7, ~seed};
      std::memcpy(&p.x, &bits[0], 8);
      std::memcpy(&p.y, &bits[1], 8);
      std::memcpy(&p.z, &bits[2], 8);
      ASSERT_EQ(vertex_key(p, magic, m), reference_vertex_key(p, m));
      int32_t a = static_cast<int32_t>(seed >> 3), b = static_cast<int32_t>(seed >> 29),
              c = static_cast<int32_t>(seed >> 40);
      uint32_t h = hash_bytes(0, &a, 4, m);
      h = hash_bytes(h, &b, 4, m);
      ASSERT_EQ(sorted_edge_key(a, b, magic, m), h);
      ASSERT_EQ(sorted_face_key(a, b, c, magic, m), hash_bytes(h, &c, 4, m));
      ASSERT_EQ(bucket_mod(static_cast<uint32_t>(seed), magic, m), static_cast<uint32_t>(seed) % m);
    }
  }
}
