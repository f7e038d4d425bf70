// The face and edge tables keep their chains by their own spread of the sorted indices; every
// add must still return exactly the index a plain lookup by sorted key gives (first come,
// first numbered), and the tables' bucket numbers stay those of the byte hash.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <random>
#include <utility>

#include "meshlib/edge_table.h"
#include "meshlib/face_table.h"
#include "meshlib/hash_bytes.h"

namespace {

TEST(TableChains, FaceAddsGiveTheIndicesOfALookupBySortedTriple) {
  for (int32_t hint : {0, 100, 5000}) {
    FaceTable table(hint);
    std::map<std::array<int32_t, 3>, int32_t> reference;
    std::mt19937 random(hint + 1);
    // Few vertices, so that many triples come back in other orders; a hint of 0 leaves 2048
    // chains for 30,000 faces, so chains are long as well.
    std::uniform_int_distribution<int32_t> vertex(0, 60);
    for (int i = 0; i < 30000; ++i) {
      int32_t a = vertex(random), b = vertex(random), c = vertex(random);
      std::array<int32_t, 3> key{a, b, c};
      std::sort(key.begin(), key.end());
      auto found = reference.emplace(key, static_cast<int32_t>(reference.size())).first;
      ASSERT_EQ(table.add(a, b, c), found->second);
    }
    EXPECT_EQ(table.count(), static_cast<int32_t>(reference.size()));
  }
}

TEST(TableChains, EdgeAddsGiveTheIndicesOfALookupBySortedPair) {
  EdgeTable table(10);
  std::map<std::pair<int32_t, int32_t>, int32_t> reference;
  std::mt19937 random(9);
  std::uniform_int_distribution<int32_t> vertex(0, 400);
  for (int i = 0; i < 60000; ++i) {
    int32_t a = vertex(random), b = vertex(random);
    auto found = reference
                     .emplace(std::make_pair(std::min(a, b), std::max(a, b)),
                              static_cast<int32_t>(reference.size()))
                     .first;
    ASSERT_EQ(table.add(a, b), found->second);
    int32_t ends[2];
    table.ends(found->second, ends);
    EXPECT_EQ(std::min(ends[0], ends[1]), found->first.first);
  }
}

TEST(TableChains, LargeIndicesAndAFanAroundOneVertexStayExact) {
  // 200,000 faces around vertex 0 share their smallest index, and indices near the int32
  // limit must not overflow the chain arithmetic.
  FaceTable faces(200000);
  EdgeTable edges(200000);
  for (int32_t i = 0; i < 200000; ++i) {
    ASSERT_EQ(faces.add(0, i + 1, i + 2), i);
    ASSERT_EQ(edges.add(i + 1, 0), i);
  }
  ASSERT_EQ(faces.add(2, 0, 1), 0);
  ASSERT_EQ(edges.add(0, 200000), 199999);
  const int32_t big = 2147483647;
  EXPECT_EQ(faces.add(big, big - 1, big - 2), 200000);
  EXPECT_EQ(faces.add(big - 2, big, big - 1), 200000);
  EXPECT_EQ(edges.add(big, big - 1), 200000);
  EXPECT_EQ(edges.add(big - 1, big), 200000);
}

TEST(TableChains, ChainsStayWithinTheBucketCount) {
  FaceTable faces(0);
  EdgeTable edges(0);
  for (int32_t lo : {0, 1, 511, 512, 100000, 2147483000})
    for (int32_t k = 0; k < 50; ++k) {
      EXPECT_LT(faces.chain_of(lo, lo + k, lo + 2 * k),
                static_cast<uint32_t>(faces.bucket_count()));
      EXPECT_LT(edges.chain_of(lo + k, lo), static_cast<uint32_t>(edges.bucket_count()));
    }
  // The bucket numbers are still the byte hash's.
  EXPECT_EQ(faces.bucket_of(2, 0, 1), 1437u);
  EXPECT_EQ(edges.bucket_of(1, 0), 1119u);
}

}  // namespace
