#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "meshlib/mesh3d.h"

namespace {

Vec3d v(double x, double y, double z) { return Vec3d{x, y, z}; }

void expect_vec(const Vec3d& got, double x, double y, double z) {
  EXPECT_EQ(got.x, x);
  EXPECT_EQ(got.y, y);
  EXPECT_EQ(got.z, z);
}

std::unique_ptr<Mesh3d> triangle() {
  auto m = std::make_unique<Mesh3d>(3, "tri");
  m->add_triangle(v(0, 0, 0), v(1, 0, 0), v(0, 2, 0));
  return m;
}

// Box from (1,2,3) to (4,6,8), closed, 12 triangles with outward normals.
std::unique_ptr<Mesh3d> box() {
  auto m = std::make_unique<Mesh3d>(8, "box");
  auto c = [](int k) { return v(k & 1 ? 4 : 1, k & 2 ? 6 : 2, k & 4 ? 8 : 3); };
  const int tris[12][3] = {{0, 1, 3}, {0, 3, 2}, {4, 6, 7}, {4, 7, 5}, {0, 4, 5}, {0, 5, 1},
                           {2, 3, 7}, {2, 7, 6}, {0, 2, 6}, {0, 6, 4}, {1, 5, 7}, {1, 7, 3}};
  for (const auto& t : tris) m->add_triangle(c(t[0]), c(t[1]), c(t[2]));
  return m;
}

struct Snapshot {
  std::vector<double> coords;
  std::vector<int32_t> corners;
  std::vector<double> box;
  bool operator==(const Snapshot& o) const {
    return coords == o.coords && corners == o.corners && box == o.box;
  }
};

Snapshot snapshot(const Mesh3d& m) {
  Snapshot s;
  for (int32_t i = 0; i < m.vertex_count(); ++i) {
    Vec3d p;
    m.vertices->position(i, p);
    s.coords.insert(s.coords.end(), {p.x, p.y, p.z});
  }
  for (int32_t f = 0; f < m.face_count(); ++f) {
    int32_t c[3];
    m.faces->face(f, c);
    s.corners.insert(s.corners.end(), {c[0], c[1], c[2]});
  }
  s.box = {m.bbox_min.x, m.bbox_min.y, m.bbox_min.z, m.bbox_max.x, m.bbox_max.y, m.bbox_max.z};
  return s;
}

// Signed volume of a closed mesh: positive for one orientation of all faces, negative for the
// other; it tells whether faces still face the same side of the surface.
double signed_volume(const Mesh3d& m) {
  double vol = 0;
  for (int32_t f = 0; f < m.face_count(); ++f) {
    Vec3d p[3];
    m.triangle_positions(f, p);
    Vec3d c;
    vec_cross(c, p[1], p[2]);
    vol += vec_dot(p[0], c) / 6.0;
  }
  return vol;
}

TEST(SwapAxes, ExchangesXAndYAndFlipsTheFace) {
  auto m = triangle();
  m->swap_axes(1);
  Vec3d p[3];
  for (int i = 0; i < 3; ++i) m->vertices->position(i, p[i]);
  expect_vec(p[0], 0, 0, 0);
  expect_vec(p[1], 0, 1, 0);
  expect_vec(p[2], 2, 0, 0);
  int32_t c[3];
  m->faces->face(0, c);
  EXPECT_EQ(c[0], 1);
  EXPECT_EQ(c[1], 0);
  EXPECT_EQ(c[2], 2);
  expect_vec(m->bbox_min, 0, 0, 0);
  expect_vec(m->bbox_max, 2, 1, 0);
}

TEST(SwapAxes, ModesTwoAndThreeSwapTheBoxAndKeepFacesFacingOutward) {
  for (int32_t mode : {1, 2, 3}) {
    auto m = box();
    const double before = signed_volume(*m);
    m->swap_axes(mode);
    // The box itself: each swapped pair of axes exchanges its extents.
    Vec3d lo = v(1, 2, 3), hi = v(4, 6, 8);
    vec_swap_axes(lo, mode);
    vec_swap_axes(hi, mode);
    expect_vec(m->bbox_min, lo.x, lo.y, lo.z);
    expect_vec(m->bbox_max, hi.x, hi.y, hi.z);
    // Mirroring alone would reverse the sign; the face flips keep it.
    EXPECT_DOUBLE_EQ(signed_volume(*m), before) << "mode " << mode;
  }
}

TEST(SwapAxes, OtherModesChangeNothing) {
  for (int32_t mode : {0, 4, -1}) {
    auto m = box();
    const Snapshot before = snapshot(*m);
    m->swap_axes(mode);
    EXPECT_TRUE(snapshot(*m) == before) << "mode " << mode;
  }
}

TEST(SwapAxes, LeavesTheFlatFormAlone) {
  auto m = triangle();
  m->to_flat();
  m->swap_axes(2);
  expect_vec(m->flat_vertices[2], 0, 2, 0);
  EXPECT_EQ(m->flat_faces[0].v[0], 0);
  EXPECT_EQ(m->flat_faces[0].v[1], 1);
}

TEST(SwapAxes, WithoutTablesDoesNothing) {
  auto m = triangle();
  m->to_flat();
  m->drop_tables();
  m->swap_axes(1);
  expect_vec(m->bbox_max, 1, 2, 0);
}

TEST(ScaleMesh, ExactlyOneChangesNothing) {
  auto m = box();
  const Snapshot before = snapshot(*m);
  m->scale_mesh(1.0);
  EXPECT_TRUE(snapshot(*m) == before);
}

TEST(ScaleMesh, ScalesEveryVertexAndBothBoxCorners) {
  auto m = box();
  const Snapshot before = snapshot(*m);
  m->scale_mesh(2.0);
  const Snapshot after = snapshot(*m);
  ASSERT_EQ(after.coords.size(), before.coords.size());
  for (size_t i = 0; i < before.coords.size(); ++i)
    EXPECT_EQ(after.coords[i], 2 * before.coords[i]);
  EXPECT_EQ(after.corners, before.corners);
  expect_vec(m->bbox_min, 2, 4, 6);
  expect_vec(m->bbox_max, 8, 12, 16);
}

TEST(ScaleMesh, NegativeFactorDoesNotReorderTheBox) {
  auto m = box();
  m->scale_mesh(-1.0);
  expect_vec(m->bbox_min, -1, -2, -3);
  expect_vec(m->bbox_max, -4, -6, -8);
}

TEST(ScaleMesh, FactorNearOneStillScales) {
  auto m = triangle();
  const double s = 1.0 + 1e-15;
  m->scale_mesh(s);
  EXPECT_EQ(m->bbox_max.y, 2.0 * s);
}

TEST(ScaleMesh, ZeroCollapsesOntoTheOriginWithoutReweld) {
  auto m = box();
  m->scale_mesh(0.0);
  EXPECT_EQ(m->vertex_count(), 8);
  for (int32_t i = 0; i < 8; ++i) {
    Vec3d p;
    m->vertices->position(i, p);
    expect_vec(p, 0, 0, 0);
  }
}

TEST(ScaleMesh, LeavesTheFlatFormAloneAndNeedsTables) {
  auto m = triangle();
  m->to_flat();
  m->scale_mesh(3.0);
  expect_vec(m->flat_vertices[2], 0, 2, 0);
  expect_vec(m->bbox_max, 3, 6, 0);
  m->drop_tables();
  m->scale_mesh(3.0);
  expect_vec(m->bbox_max, 3, 6, 0);
}

}  // namespace
