#include "meshlib/vertex_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::vector<int32_t> items(const LinkedIndices& list) {
  std::vector<int32_t> out;
  for (int32_t x : list) out.push_back(x);
  return out;
}

// A position within 1e-6 of base (searched in steps of 1e-11 in z) that lands in the given
// bucket but differs from base in its bits.
Vec3d near_in_bucket(const VertexTable& t, const Vec3d& base, double from, double to,
                     uint32_t bucket) {
  for (double d = from; d < to; d += 1e-11) {
    Vec3d q{base.x, base.y, base.z + d};
    if (q.z != base.z && t.bucket_of(q) == bucket) return q;
  }
  ADD_FAILURE() << "no position found in bucket " << bucket;
  return base;
}

}  // namespace

TEST(VertexTable, NegativeZeroWeldsApart) {
  VertexTable t(0);
  EXPECT_EQ(t.add({0.0, 0.0, 0.0}), 0);
  EXPECT_EQ(t.add({-0.0, 0.0, 0.0}), 1);
  EXPECT_EQ(t.count(), 2);
}

TEST(VertexTable, BitIdenticalPositionsWeld) {
  VertexTable t(0);
  EXPECT_EQ(t.add({1.0, 2.0, 3.0}), 0);
  EXPECT_EQ(t.add({4.0, 5.0, 6.0}), 1);
  EXPECT_EQ(t.add({1.0, 2.0, 3.0}), 0);
  EXPECT_EQ(t.count(), 2);
}

TEST(VertexTable, ToleranceDoesNotCrossBuckets) {
  VertexTable t(0);
  ASSERT_NE(t.bucket_of({0, 0, 0}), t.bucket_of({0, 0, 5e-7}));
  EXPECT_EQ(t.add({0.0, 0.0, 0.0}), 0);
  EXPECT_EQ(t.add({0.0, 0.0, 5e-7}), 1);
}

TEST(VertexTable, ToleranceWeldsInsideOneBucket) {
  VertexTable t(0);
  Vec3d p{1.0, 2.0, 3.0};
  Vec3d q = near_in_bucket(t, p, 1e-8, 9e-7, t.bucket_of(p));
  EXPECT_EQ(t.add(p), 0);
  EXPECT_EQ(t.add(q), 0);
  Vec3d stored;
  ASSERT_EQ(t.position(0, stored), 0);
  EXPECT_EQ(stored.z, 3.0);  // the first position is kept
  EXPECT_EQ(t.count(), 1);
}

TEST(VertexTable, NewestVertexWinsAmongSeveralWithinTolerance) {
  VertexTable t(0);
  Vec3d centre{7.0, 8.0, 9.0};
  uint32_t bucket = t.bucket_of(centre);
  // Two stored vertices 1.2e-6 apart (so both stay), each within 1e-6 of centre.
  Vec3d lower = near_in_bucket(t, centre, -8e-7, -5e-7, bucket);
  Vec3d upper = near_in_bucket(t, centre, 4e-7, 7e-7, bucket);
  ASSERT_GE(upper.z - lower.z, 1e-6);
  EXPECT_EQ(t.add(lower), 0);
  EXPECT_EQ(t.add(upper), 1);
  EXPECT_EQ(t.add(centre), 1);
}

TEST(VertexTable, SizingFromHint) {
  VertexTable zero(0);
  EXPECT_EQ(zero.capacity(), 2);
  EXPECT_EQ(zero.bucket_count(), 2048);
  VertexTable big(10000);
  EXPECT_EQ(big.capacity(), 20000);
  EXPECT_EQ(big.bucket_count(), 14000);
  VertexTable just_below(1463);  // 14 * 1463 / 10 = 2048.2
  EXPECT_EQ(just_below.bucket_count(), 2048);
  VertexTable floor_hit(1000);
  EXPECT_EQ(floor_hit.bucket_count(), 2048);
}

TEST(VertexTableDeathTest, NegativeHintEndsProcess) {
  EXPECT_EXIT(VertexTable(-1), testing::ExitedWithCode(1), "");
}

TEST(VertexTable, GrowthDoublesAndKeepsWelding) {
  VertexTable t(0);
  for (int i = 0; i < 3; ++i) t.add({double(i), 0, 0});
  EXPECT_EQ(t.capacity(), 4);
  for (int i = 3; i < 1000; ++i) t.add({double(i), 0.5, 0});
  EXPECT_EQ(t.capacity(), 1024);
  EXPECT_EQ(t.count(), 1000);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(t.add({double(i), 0, 0}), i);
  for (int i = 3; i < 1000; ++i) ASSERT_EQ(t.add({double(i), 0.5, 0}), i);
  Vec3d p;
  ASSERT_EQ(t.position(999, p), 0);
  EXPECT_EQ(p.x, 999.0);
}

TEST(VertexTable, OutOfRangeIndicesAreRefused) {
  VertexTable t(0);
  t.add({1, 1, 1});
  Vec3d p{5, 5, 5};
  EXPECT_EQ(t.position(1, p), -1);
  EXPECT_EQ(t.position(-1, p), -1);
  EXPECT_EQ(p.x, 5.0);
  EXPECT_EQ(t.add_face_to_vertex(0, 1), -1);
  EXPECT_EQ(t.add_edge_to_vertex(0, -3), -1);
  EXPECT_TRUE(t.faces_of(1).empty());
  EXPECT_TRUE(t.edges_of(-1).empty());
  EXPECT_EQ(t.scale_vertex(1, 2.0), -1);
  EXPECT_EQ(t.swap_vertex_axes(1, 1), -1);
}

TEST(VertexTable, AdjacencyListsAreSetsNewestFirst) {
  VertexTable t(0);
  t.add({0, 0, 0});
  t.add({1, 0, 0});
  EXPECT_EQ(t.add_face_to_vertex(4, 0), 1);
  EXPECT_EQ(t.add_face_to_vertex(7, 0), 1);
  EXPECT_EQ(t.add_face_to_vertex(4, 0), 1);
  EXPECT_EQ(t.add_face_to_vertex(9, 1), 1);
  EXPECT_EQ(t.add_face_to_vertex(2, 0), 1);
  EXPECT_EQ(items(t.faces_of(0)), (std::vector<int32_t>{2, 7, 4}));
  EXPECT_EQ(items(t.faces_of(1)), (std::vector<int32_t>{9}));
  // Edge lists are kept apart from face lists.
  EXPECT_TRUE(t.edges_of(0).empty());
  t.add_edge_to_vertex(4, 0);
  t.add_edge_to_vertex(5, 0);
  t.add_edge_to_vertex(5, 0);
  EXPECT_EQ(items(t.edges_of(0)), (std::vector<int32_t>{5, 4}));
  EXPECT_EQ(t.faces_of(0).size(), 3);
}

TEST(VertexTable, AdjacencySurvivesPoolGrowth) {
  VertexTable t(0);  // the node pool starts small and must double many times
  for (int v = 0; v < 50; ++v) t.add({double(v), 1, 1});
  for (int f = 0; f < 200; ++f)
    for (int v = 0; v < 50; ++v) t.add_face_to_vertex(f, v);
  std::vector<int32_t> expected;
  for (int f = 199; f >= 0; --f) expected.push_back(f);
  EXPECT_EQ(items(t.faces_of(0)), expected);
  EXPECT_EQ(items(t.faces_of(49)), expected);
}

TEST(VertexTable, ScaleAndSwapChangeOnePosition) {
  VertexTable t(0);
  t.add({1, 2, 3});
  t.add({4, 5, 6});
  EXPECT_EQ(t.scale_vertex(0, -2.0), 0);
  EXPECT_EQ(t.swap_vertex_axes(1, 2), 0);
  Vec3d a, b;
  t.position(0, a);
  t.position(1, b);
  EXPECT_EQ(a.x, -2.0);
  EXPECT_EQ(a.z, -6.0);
  EXPECT_EQ(b.x, 6.0);
  EXPECT_EQ(b.y, 5.0);
  EXPECT_EQ(b.z, 4.0);
}

// Random inserts into several vertices' lists against a plain model of a set kept newest
// first: order, duplicates and separation of face and edge lists across chunk boundaries.
TEST(VertexTable, AdjacencyListsMatchNewestFirstSetModel) {
  VertexTable t(0);
  const int kVertices = 7;
  for (int v = 0; v < kVertices; ++v) t.add({double(v), -1, 0});
  std::vector<std::vector<int32_t>> faces(kVertices), edges(kVertices);
  auto model_add = [](std::vector<int32_t>& list, int32_t x) {
    for (int32_t y : list)
      if (y == x) return;
    list.insert(list.begin(), x);
  };
  uint32_t seed = 12345;
  for (int step = 0; step < 4000; ++step) {
    seed = seed * 1103515245u + 12345u;
    int v = (seed >> 8) % kVertices;
    int32_t x = static_cast<int32_t>((seed >> 16) % 40);
    if (seed & 0x80) {
      ASSERT_EQ(t.add_face_to_vertex(x, v), 1);
      model_add(faces[v], x);
    } else {
      ASSERT_EQ(t.add_edge_to_vertex(x, v), 1);
      model_add(edges[v], x);
    }
    if (step % 97 == 0) {
      ASSERT_EQ(items(t.faces_of(v)), faces[v]) << "step " << step;
      ASSERT_EQ(items(t.edges_of(v)), edges[v]) << "step " << step;
    }
  }
  for (int v = 0; v < kVertices; ++v) {
    EXPECT_EQ(items(t.faces_of(v)), faces[v]);
    EXPECT_EQ(items(t.edges_of(v)), edges[v]);
    EXPECT_EQ(t.faces_of(v).size(), static_cast<int32_t>(faces[v].size()));
  }
}
