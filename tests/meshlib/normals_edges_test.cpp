#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "meshlib/corner_normals.h"
#include "meshlib/mesh3d.h"
#include "tests/meshlib/face_normal_of.h"

namespace {

Vec3d v(double x, double y, double z) { return Vec3d{x, y, z}; }

// Unit cube of 12 triangles wound so that every face normal points into the cube: the
// winding unify_orientation gives a closed surface (its top faces down). Corner k is
// (k & 1, k >> 1 & 1, k >> 2 & 1).
const int kCubeTris[12][3] = {
    {1, 0, 3}, {3, 0, 2},  // z = 0
    {6, 4, 7}, {7, 4, 5},  // z = 1
    {4, 0, 5}, {5, 0, 1},  // y = 0
    {3, 2, 7}, {7, 2, 6},  // y = 1
    {2, 0, 6}, {6, 0, 4},  // x = 0
    {5, 1, 7}, {7, 1, 3},  // x = 1
};

Vec3d cube_corner(int k) { return v(k & 1, (k >> 1) & 1, (k >> 2) & 1); }

std::unique_ptr<Mesh3d> cube(int reversed = -1) {
  auto m = std::make_unique<Mesh3d>(8, "cube");
  for (int t = 0; t < 12; ++t) {
    const int* c = kCubeTris[t];
    if (t == reversed)
      m->add_triangle(cube_corner(c[1]), cube_corner(c[0]), cube_corner(c[2]));
    else
      m->add_triangle(cube_corner(c[0]), cube_corner(c[1]), cube_corner(c[2]));
  }
  return m;
}

// Flat grid of nx x ny unit squares in the plane z = 0, two triangles each, wound alike.
std::unique_ptr<Mesh3d> flat_grid(int nx, int ny) {
  auto m = std::make_unique<Mesh3d>((nx + 1) * (ny + 1), "grid");
  for (int j = 0; j < ny; ++j) {
    for (int i = 0; i < nx; ++i) {
      m->add_triangle(v(i, j, 0), v(i + 1, j, 0), v(i + 1, j + 1, 0));
      m->add_triangle(v(i, j, 0), v(i + 1, j + 1, 0), v(i, j + 1, 0));
    }
  }
  return m;
}

void expect_vec(const Vec3d& got, const Vec3d& want, double tol = 0.0) {
  EXPECT_NEAR(got.x, want.x, tol);
  EXPECT_NEAR(got.y, want.y, tol);
  EXPECT_NEAR(got.z, want.z, tol);
}

struct Segment {
  Vec3d a;
  Vec3d b;
};

std::vector<Segment> segments(const Mesh3d& m) {
  std::vector<Segment> out;
  for (int32_t e = 0; e < m.edge_count(); ++e) {
    int32_t ab[2];
    m.edges->ends(e, ab);
    Segment s;
    m.vertices->position(ab[0], s.a);
    m.vertices->position(ab[1], s.b);
    out.push_back(s);
  }
  return out;
}

double length(const Segment& s) {
  Vec3d d;
  vec_sub(d, s.b, s.a);
  return vec_length(d);
}

TEST(CubeFixture, FacesPointInwardAsUnifyLeavesThem) {
  auto m = cube();
  for (int32_t f = 0; f < 12; ++f) {
    Vec3d p[3];
    m->triangle_positions(f, p);
    Vec3d to_centre = v(0.5 - p[0].x, 0.5 - p[0].y, 0.5 - p[0].z);
    EXPECT_GT(vec_dot(normal_of(*m, f), to_centre), 0.0) << f;
  }
  std::vector<int32_t> before(36);
  for (int32_t f = 0; f < 12; ++f) m->faces->face(f, &before[3 * f]);
  m->unify_orientation(nullptr);
  std::vector<int32_t> after(36);
  for (int32_t f = 0; f < 12; ++f) m->faces->face(f, &after[3 * f]);
  EXPECT_EQ(after, before);
}

// ---- corner_normals ----------------------------------------------------------------------------

TEST(CornerNormals, ZeroSmoothAngleGivesTheFaceNormalThrice) {
  auto m = cube();
  Vec3d out[3];
  corner_normals(*m, 2, 0.0, out);
  for (const Vec3d& n : out) expect_vec(n, v(0, 0, -1));
  corner_normals(*m, 2, 5e-7, out);  // below the 1e-6 threshold counts as zero
  for (const Vec3d& n : out) expect_vec(n, v(0, 0, -1));
}

TEST(CornerNormals, NeighboursAtExactlyTheAngleAreLeftOut) {
  auto m = cube();
  Vec3d out[3];
  // Every other side of the cube meets the top at exactly 90 degrees.
  corner_normals(*m, 2, 90.0, out);
  for (const Vec3d& n : out) expect_vec(n, v(0, 0, -1));
}

TEST(CornerNormals, WiderAngleAveragesEveryTriangleAroundTheCorner) {
  auto m = cube();
  int32_t idx[3];
  m->faces->face(2, idx);
  Vec3d out[3];
  corner_normals(*m, 2, 91.0, out);
  for (int k = 0; k < 3; ++k) {
    // Expected: the normalised sum over all triangles that contain the corner, found by
    // scanning every face rather than through the adjacency lists.
    Vec3d sum = v(0, 0, 0);
    for (int32_t f = 0; f < m->face_count(); ++f) {
      int32_t c[3];
      m->faces->face(f, c);
      if (c[0] == idx[k] || c[1] == idx[k] || c[2] == idx[k]) vec_add(sum, sum, normal_of(*m, f));
    }
    vec_normalize(sum);
    expect_vec(out[k], sum, 1e-12);
    // Every corner of the cube lies on three sides, so the result tilts off the top normal.
    EXPECT_GT(std::fabs(out[k].x) + std::fabs(out[k].y), 0.1);
  }
}

TEST(CornerNormals, OppositelyWoundNeighbourIsLeftOut) {
  auto m = flat_grid(2, 2);
  // Reverse face 1 (shares vertices with face 0).
  m->faces->flip(1);
  Vec3d out[3];
  corner_normals(*m, 0, 30.0, out);
  for (const Vec3d& n : out) expect_vec(n, normal_of(*m, 0));
  // The reversed face alone faces its way: its corners keep its own normal.
  corner_normals(*m, 1, 30.0, out);
  for (const Vec3d& n : out) expect_vec(n, normal_of(*m, 1));
  EXPECT_EQ(normal_of(*m, 1).z, -normal_of(*m, 0).z);
}

TEST(CornerNormals, SmoothsAcrossAShallowRidgeOnly) {
  // Two triangles folded 20 degrees along the x axis: smoothed at 30, kept apart at 10.
  const double t = 20.0 * M_PI / 180.0;
  Mesh3d m(4, "ridge");
  m.add_triangle(v(0, 0, 0), v(1, 0, 0), v(0, 1, 0));
  m.add_triangle(v(1, 0, 0), v(0, 0, 0), v(0, -std::cos(t), std::sin(t)));
  Vec3d n0 = normal_of(m, 0);
  Vec3d n1 = normal_of(m, 1);
  Vec3d mid;
  vec_add(mid, n0, n1);
  vec_normalize(mid);
  Vec3d out[3];
  corner_normals(m, 0, 30.0, out);
  expect_vec(out[0], mid, 1e-12);  // (0,0,0) is on both faces
  expect_vec(out[1], mid, 1e-12);  // (1,0,0) too
  expect_vec(out[2], n0, 1e-12);   // (0,1,0) only on face 0
  corner_normals(m, 0, 10.0, out);
  for (const Vec3d& n : out) expect_vec(n, n0, 1e-12);
}

TEST(CornerNormals, NegativeAngleAveragesNothing) {
  auto m = cube();
  Vec3d out[3];
  corner_normals(*m, 0, -10.0, out);
  for (const Vec3d& n : out) expect_vec(n, v(0, 0, 0));
}

TEST(CornerNormals, FaceOutOfRangeOrMissingTablesGivesZero) {
  auto m = cube();
  Vec3d out[3] = {v(7, 7, 7), v(7, 7, 7), v(7, 7, 7)};
  corner_normals(*m, 12, 45.0, out);
  for (const Vec3d& n : out) expect_vec(n, v(0, 0, 0));
  out[0] = v(7, 7, 7);
  corner_normals(*m, -1, 45.0, out);
  expect_vec(out[0], v(0, 0, 0));
  m->to_flat();
  m->drop_tables();
  out[0] = v(7, 7, 7);
  corner_normals(*m, 0, 45.0, out);
  expect_vec(out[0], v(0, 0, 0));
}

// ---- extract_edges -----------------------------------------------------------------------------

TEST(ExtractEdges, ZeroAngleKeepsEveryEdge) {
  auto m = cube();
  std::unique_ptr<Mesh3d> r(m->extract_edges(0.0));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->edge_count(), m->edge_count());
  EXPECT_EQ(r->edge_count(), 18);
  EXPECT_EQ(r->vertex_count(), 8);  // shared ends weld
  EXPECT_EQ(r->face_count(), 0);
  EXPECT_EQ(r->bbox_empty, 1);
  EXPECT_STREQ(r->name(), "cube");
  std::vector<Segment> want = segments(*m);
  std::vector<Segment> got = segments(*r);
  for (size_t i = 0; i < want.size(); ++i) {
    expect_vec(got[i].a, want[i].a);
    expect_vec(got[i].b, want[i].b);
  }
}

TEST(ExtractEdges, FlatGridKeepsOnlyItsBorder) {
  auto m = flat_grid(4, 3);
  std::unique_ptr<Mesh3d> r(m->extract_edges(30.0));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->edge_count(), 2 * (4 + 3));
  for (const Segment& s : segments(*r)) {
    bool on_border = (s.a.x == s.b.x && (s.a.x == 0 || s.a.x == 4)) ||
                     (s.a.y == s.b.y && (s.a.y == 0 || s.a.y == 3));
    EXPECT_TRUE(on_border) << s.a.x << "," << s.a.y << " - " << s.b.x << "," << s.b.y;
  }
}

TEST(ExtractEdges, CubeGivesItsTwelveEdgesAndNoDiagonal) {
  auto m = cube();
  std::unique_ptr<Mesh3d> r(m->extract_edges(30.0));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->edge_count(), 12);
  EXPECT_EQ(r->vertex_count(), 8);
  for (const Segment& s : segments(*r)) EXPECT_DOUBLE_EQ(length(s), 1.0);
}

TEST(ExtractEdges, ReversedTriangleShowsItsDiagonal) {
  auto m = cube(3);  // second triangle of the top reversed
  std::unique_ptr<Mesh3d> r(m->extract_edges(30.0));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->edge_count(), 13);
  int diagonals = 0;
  for (const Segment& s : segments(*r)) {
    if (length(s) > 1.0) {
      ++diagonals;
      EXPECT_EQ(s.a.z, 1.0);
      EXPECT_EQ(s.b.z, 1.0);
    }
  }
  EXPECT_EQ(diagonals, 1);
}

TEST(ExtractEdges, AngleTestIsInclusive) {
  auto m = cube();
  std::unique_ptr<Mesh3d> at(m->extract_edges(90.0));
  EXPECT_EQ(at->edge_count(), 12);
  std::unique_ptr<Mesh3d> above(m->extract_edges(90.000001));
  EXPECT_EQ(above->edge_count(), 0);
}

TEST(ExtractEdges, EdgeOfThreeFacesIsJudgedByFirstAndLast) {
  // First and last faces coplanar (0 degrees apart), the middle one upright: the shared edge
  // is dropped. With the upright face last it is kept.
  auto make = [](bool upright_last) {
    auto m = std::make_unique<Mesh3d>(5, "book");
    const Vec3d a = v(0, 0, 0), b = v(1, 0, 0);
    m->add_triangle(a, b, v(0.5, 1, 0));
    if (!upright_last) m->add_triangle(a, b, v(0.5, 0, 1));
    m->add_triangle(b, a, v(0.5, -1, 0));
    if (upright_last) m->add_triangle(a, b, v(0.5, 0, 1));
    return m;
  };
  auto shared_kept = [](Mesh3d& m) {
    std::unique_ptr<Mesh3d> r(m.extract_edges(30.0));
    for (const Segment& s : segments(*r))
      if (s.a.y == 0 && s.b.y == 0 && s.a.z == 0 && s.b.z == 0) return true;
    return false;
  };
  EXPECT_FALSE(shared_kept(*make(false)));
  EXPECT_TRUE(shared_kept(*make(true)));
}

TEST(ExtractEdges, WithoutTablesGivesNull) {
  auto m = cube();
  m->to_flat();
  m->drop_tables();
  EXPECT_EQ(m->extract_edges(0.0), nullptr);
}

}  // namespace
