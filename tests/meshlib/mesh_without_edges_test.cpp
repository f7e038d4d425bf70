// A mesh made or rebuilt without its edge table welds, numbers and links vertices and faces
// exactly as the full indexed form does; only the edges are missing.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "meshlib/mesh3d.h"

namespace {

void add_rough_triangles(Mesh3d& mesh, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> coordinate(0, 12);
  auto point = [&] {
    return Vec3d{coordinate(random) * 0.5, coordinate(random) * 0.25, coordinate(random) * 1.0};
  };
  for (int i = 0; i < 3000; ++i) {
    Vec3d a = point(), b = point(), c = point();
    if (i % 50 == 0) c = a;  // degenerate
    mesh.add_triangle(a, b, c);
  }
}

void expect_same_vertices_and_faces(const Mesh3d& full, const Mesh3d& lean) {
  ASSERT_EQ(lean.vertex_count(), full.vertex_count());
  ASSERT_EQ(lean.face_count(), full.face_count());
  for (int32_t v = 0; v < full.vertex_count(); ++v) {
    Vec3d p, q;
    full.vertices->position(v, p);
    lean.vertices->position(v, q);
    ASSERT_EQ(std::memcmp(&p, &q, sizeof p), 0);
    std::vector<int32_t> a, b;
    for (int32_t f : full.vertices->faces_of(v)) a.push_back(f);
    for (int32_t f : lean.vertices->faces_of(v)) b.push_back(f);
    ASSERT_EQ(a, b) << "faces of vertex " << v;
  }
  for (int32_t f = 0; f < full.face_count(); ++f) {
    int32_t x[3], y[3];
    full.faces->face(f, x);
    lean.faces->face(f, y);
    ASSERT_TRUE(x[0] == y[0] && x[1] == y[1] && x[2] == y[2]);
  }
}

TEST(MeshWithoutEdges, BuildsTheSameVerticesFacesAndVertexFaceLists) {
  Mesh3d full(100, "full");
  Mesh3d lean(100, "lean", false);
  add_rough_triangles(full, 4);
  add_rough_triangles(lean, 4);
  EXPECT_GT(full.edge_count(), 0);
  EXPECT_EQ(lean.edges, nullptr);
  EXPECT_EQ(lean.edge_count(), 0);
  expect_same_vertices_and_faces(full, lean);
  int32_t recorded[3];
  ASSERT_EQ(lean.faces->face_edges(0, recorded), 0);
  EXPECT_TRUE(recorded[0] == -1 && recorded[1] == -1 && recorded[2] == -1);
  EXPECT_EQ(lean.faces->set_face_edges(1, 2, 3, 0), -1);
}

TEST(MeshWithoutEdges, RebuiltFromTheFlatFormLikeTheFullForm) {
  Mesh3d full(10, "m");
  add_rough_triangles(full, 8);
  full.to_flat();
  full.drop_tables();
  Mesh3d lean(10, "m");
  add_rough_triangles(lean, 8);
  lean.to_flat();
  lean.drop_tables();
  full.from_flat();
  lean.from_flat(false);
  EXPECT_EQ(lean.edges, nullptr);
  expect_same_vertices_and_faces(full, lean);
  // Operations that need edges do nothing on it.
  EXPECT_EQ(lean.extract_edges(30.0), nullptr);
  lean.unify_orientation(nullptr);
  expect_same_vertices_and_faces(full, lean);
  lean.drop_tables();
  EXPECT_EQ(lean.vertices, nullptr);
}

}  // namespace
