// Adding triangles in a batch (which fetches ahead) builds exactly the tables that adding them
// one by one builds: positions, faces, edges, both adjacency directions and the box.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "meshlib/mesh3d.h"

namespace {

std::vector<int32_t> list(LinkedIndices l) {
  std::vector<int32_t> out;
  for (int32_t i : l) out.push_back(i);
  return out;
}

TEST(AddTriangles, BatchBuildsTheTablesOfSingleAdds) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> coordinate(0, 30);
  std::vector<Vec3d> corners;
  for (int i = 0; i < 3 * 5000; ++i)
    corners.push_back(Vec3d{coordinate(random) * 0.5, coordinate(random) * 1.0, (i % 7) * 1e-7});
  for (int32_t count : {0, 1, 5, 9, 5000}) {
    Mesh3d one(0, "one"), batch(0, "batch");
    for (int32_t t = 0; t < count; ++t)
      one.add_triangle(corners[3 * t], corners[3 * t + 1], corners[3 * t + 2]);
    batch.add_triangles(corners.data(), count);
    ASSERT_EQ(batch.vertex_count(), one.vertex_count());
    ASSERT_EQ(batch.face_count(), one.face_count());
    ASSERT_EQ(batch.edge_count(), one.edge_count());
    EXPECT_EQ(batch.bbox_empty, one.bbox_empty);
    EXPECT_EQ(std::memcmp(&batch.bbox_min, &one.bbox_min, sizeof(Vec3d)), 0);
    EXPECT_EQ(std::memcmp(&batch.bbox_max, &one.bbox_max, sizeof(Vec3d)), 0);
    for (int32_t v = 0; v < one.vertex_count(); ++v) {
      Vec3d a, b;
      one.vertices->position(v, a);
      batch.vertices->position(v, b);
      ASSERT_EQ(std::memcmp(&a, &b, sizeof a), 0);
      ASSERT_EQ(list(batch.vertices->faces_of(v)), list(one.vertices->faces_of(v)));
      ASSERT_EQ(list(batch.vertices->edges_of(v)), list(one.vertices->edges_of(v)));
    }
    for (int32_t f = 0; f < one.face_count(); ++f) {
      int32_t a[3], b[3], ea[3], eb[3];
      one.faces->face(f, a);
      batch.faces->face(f, b);
      one.faces->face_edges(f, ea);
      batch.faces->face_edges(f, eb);
      ASSERT_TRUE(std::memcmp(a, b, sizeof a) == 0 && std::memcmp(ea, eb, sizeof ea) == 0);
    }
    for (int32_t e = 0; e < one.edge_count(); ++e) {
      int32_t a[2], b[2], fa[2], fb[2];
      one.edges->ends(e, a);
      batch.edges->ends(e, b);
      one.edges->faces_of_edge(e, fa);
      batch.edges->faces_of_edge(e, fb);
      ASSERT_TRUE(std::memcmp(a, b, sizeof a) == 0 && std::memcmp(fa, fb, sizeof fa) == 0);
    }
  }
}

}  // namespace
