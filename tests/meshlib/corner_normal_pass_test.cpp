// The whole-mesh corner normal pass must give bit for bit the vectors of corner_normals, for
// every face, smoothing angle and kind of mesh (folded, degenerate, mixed windings, large).

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "meshlib/corner_normal_pass.h"
#include "meshlib/corner_normals.h"
#include "meshlib/mesh3d.h"

namespace {

bool same_bits(const Vec3d& a, const Vec3d& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void expect_same_as_corner_normals(const Mesh3d& mesh, double angle) {
  CornerNormalPass pass(mesh, angle);
  for (int32_t f = -1; f <= mesh.face_count(); ++f) {
    Vec3d expected[3], got[3];
    corner_normals(mesh, f, angle, expected);
    pass.get(f, got);
    for (int k = 0; k < 3; ++k)
      ASSERT_TRUE(same_bits(got[k], expected[k]))
          << "face " << f << " corner " << k << " angle " << angle;
  }
}

// A bumpy grid of side x side quads with some faces of the other winding and a few degenerate
// ones, so that neighbours meet at every angle.
Mesh3d* rough_grid(int side, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> height(-0.6, 0.6);
  std::vector<double> z((side + 1) * (side + 1));
  for (double& h : z) h = height(random);
  auto at = [&](int x, int y) { return Vec3d{double(x), double(y), z[y * (side + 1) + x]}; };
  Mesh3d* mesh = new Mesh3d(side * side * 2, "grid");
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      Vec3d a = at(x, y), b = at(x + 1, y), c = at(x + 1, y + 1), d = at(x, y + 1);
      if (random() % 17 == 0)
        mesh->add_triangle(a, c, b);
      else
        mesh->add_triangle(a, b, c);
      if (random() % 23 == 0)
        mesh->add_triangle(a, a, d);  // degenerate: zero normal
      else
        mesh->add_triangle(a, c, d);
    }
  return mesh;
}

TEST(CornerNormalPass, SameVectorsAsCornerNormalsOnRoughGridsAtEveryAngle) {
  Mesh3d* mesh = rough_grid(40, 1);
  for (double angle : {0.0, 5e-7, -5e-7, -1.0, 1.0, 10.0, 30.0, 45.0, 70.0, 89.999, 90.0, 120.0,
                       179.9, 180.0, 181.0, 1e9})
    expect_same_as_corner_normals(*mesh, angle);
  delete mesh;
}

TEST(CornerNormalPass, SameVectorsOnACubeWhereNeighboursMeetAtExactlyTheAngle) {
  Mesh3d mesh(12, "cube");
  Vec3d p[8];
  for (int i = 0; i < 8; ++i)
    p[i] = Vec3d{double(i & 1), double((i >> 1) & 1), double((i >> 2) & 1)};
  const int quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                           {2, 6, 7, 3}, {1, 3, 7, 5}, {0, 4, 6, 2}};
  for (const auto& q : quads) {
    mesh.add_triangle(p[q[0]], p[q[1]], p[q[2]]);
    mesh.add_triangle(p[q[0]], p[q[2]], p[q[3]]);
  }
  for (double angle : {89.0, 90.0, std::nextafter(90.0, 100.0), 91.0, 180.0})
    expect_same_as_corner_normals(mesh, angle);
}

TEST(CornerNormalPass, SameVectorsWhenFacesOutnumberItsCache) {
  // Faces 65536 apart share cache slots; a 200 x 200 grid has 80,000 faces.
  Mesh3d* mesh = rough_grid(200, 2);
  expect_same_as_corner_normals(*mesh, 70.0);
  delete mesh;
}

// Fans of 400 faces around one centre, from flat to steep, with a degenerate face: the centre's
// faces meet all below the angle, some below it, or none.
TEST(CornerNormalPass, SameVectorsAroundTheCentreOfAFan) {
  for (double wave : {0.0, 0.02, 0.3, 3.0}) {
    Mesh3d mesh(400, "fan");
    const int n = 400;
    auto rim = [&](int i) {
      const double a = 6.283185307179586 * i / n;
      return Vec3d{std::cos(a), std::sin(a), wave * std::sin(7 * a)};
    };
    for (int i = 0; i < n; ++i)
      mesh.add_triangle(Vec3d{0, 0, 0}, rim(i), i == 17 ? rim(i) : rim((i + 1) % n));
    for (double angle : {1.0, 10.0, 70.0, 120.0, 180.0}) expect_same_as_corner_normals(mesh, angle);
  }
}

// Around a centre of more faces than are summed face by face (512 here) the sums come from a
// tree of the normals: the same vectors but for the last bits, and the same bits at the centre for
// faces of one normal (every face of the fan is there again at twice the size; one in 50 is
// degenerate).
TEST(CornerNormalPass, CloseVectorsAroundTheCentreOfAFanOfEightHundredFaces) {
  const int n = 400;
  for (double wave : {0.3, 3.0}) {
    Mesh3d mesh(2 * n, "fan");
    auto rim = [&](int i, double scale) {
      const double a = 6.283185307179586 * i / n;
      return Vec3d{scale * std::cos(a), scale * std::sin(a), scale * wave * std::sin(7 * a)};
    };
    for (int i = 0; i < 2 * n; ++i) {
      const double scale = 1.0 + i % 2;
      mesh.add_triangle(Vec3d{0, 0, 0}, rim(i / 2, scale), rim(i / 2 + (i % 50 != 7), scale));
    }
    for (double angle : {10.0, 70.0, 200.0}) {
      CornerNormalPass pass(mesh, angle, FaceNormalCache::kMostSlots, 512);
      Vec3d centre;
      for (int32_t f = 0; f < mesh.face_count(); ++f) {
        Vec3d expected[3], got[3];
        corner_normals(mesh, f, angle, expected);
        pass.get(f, got);
        for (int k = 0; k < 3; ++k) {
          Vec3d d;
          vec_sub(d, got[k], expected[k]);
          ASSERT_LT(vec_length(d), 1e-12) << f << " " << angle;
        }
        if (f % 2 == 1 && f % 50 != 7) {
          ASSERT_TRUE(same_bits(got[0], centre)) << f << " " << angle;
        }
        centre = got[0];
      }
    }
  }
}

TEST(CornerNormalPass, NoTablesGiveZeroNormals) {
  Mesh3d mesh(1, "empty");
  mesh.add_triangle(Vec3d{0, 0, 0}, Vec3d{1, 0, 0}, Vec3d{0, 1, 0});
  mesh.to_flat();
  mesh.drop_tables();
  CornerNormalPass pass(mesh, 70.0);
  Vec3d out[3];
  out[0] = out[1] = out[2] = Vec3d{1, 1, 1};
  pass.get(0, out);
  for (const Vec3d& n : out) EXPECT_TRUE(n.x == 0.0 && n.y == 0.0 && n.z == 0.0);
}

TEST(AngleBelow, AgreesWithTheArcCosineOnEveryCosineNearAndFarFromTheThreshold) {
  std::mt19937_64 random(5);
  std::uniform_real_distribution<double> cosine(-1.0, 1.0);
  for (double angle : {1.0, 30.0, 60.0, 70.0, 90.0, 135.0, 179.0}) {
    AngleBelow below(angle);
    double threshold = std::cos(angle / 57.29577951308232);
    double k = threshold;
    for (int i = 0; i < 2000; ++i) k = std::nextafter(k, -2.0);
    for (int i = 0; i < 4000; ++i, k = std::nextafter(k, 2.0))
      ASSERT_EQ(below(k), below.exact(k)) << angle << " " << k;
    for (int i = 0; i < 100000; ++i) {
      double c = cosine(random);
      ASSERT_EQ(below(c), below.exact(c)) << angle << " " << c;
    }
    EXPECT_EQ(below(std::nan("")), below.exact(std::nan("")));
  }
}

}  // namespace

namespace {

// The visible edges as the plain definition finds them: every edge in order, kept when it is
// a border or its faces' normals meet at the edge angle or more by angle_between.
std::vector<std::pair<Vec3d, Vec3d>> reference_edges(const Mesh3d& mesh, double edge_angle) {
  std::vector<std::pair<Vec3d, Vec3d>> kept;
  for (int32_t e = 0; e < mesh.edge_count(); ++e) {
    int32_t ends[2], ef[2];
    mesh.edges->ends(e, ends);
    mesh.edges->faces_of_edge(e, ef);
    if (edge_angle > 0 && ef[0] != -1 && ef[1] != -1) {
      Vec3d p[3], n1, n2;
      mesh.triangle_positions(ef[0], p);
      face_normal(p[0], p[1], p[2], n1);
      mesh.triangle_positions(ef[1], p);
      face_normal(p[0], p[1], p[2], n2);
      if (!(std::fabs(angle_between(n1, n2)) >= edge_angle)) continue;
    }
    Vec3d a, b;
    mesh.vertices->position(ends[0], a);
    mesh.vertices->position(ends[1], b);
    kept.emplace_back(a, b);
  }
  return kept;
}

TEST(ExtractEdges, KeepsExactlyTheEdgesOfThePlainAngleTest) {
  Mesh3d* mesh = rough_grid(60, 3);
  for (double angle : {-1.0, 0.0, 1e-9, 1.0, 10.0, 33.3, 90.0, 120.0, 179.9, 180.0, 200.0}) {
    std::vector<std::pair<Vec3d, Vec3d>> expected = reference_edges(*mesh, angle);
    Mesh3d* wire = mesh->extract_edges(angle);
    ASSERT_NE(wire, nullptr);
    ASSERT_EQ(wire->edge_count(), static_cast<int32_t>(expected.size())) << angle;
    for (int32_t e = 0; e < wire->edge_count(); ++e) {
      int32_t ends[2];
      wire->edges->ends(e, ends);
      Vec3d a, b;
      wire->vertices->position(ends[0], a);
      wire->vertices->position(ends[1], b);
      ASSERT_TRUE(same_bits(a, expected[e].first) && same_bits(b, expected[e].second))
          << angle << " " << e;
    }
    delete wire;
  }
  delete mesh;
}

}  // namespace
