#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "meshlib/cut_ear.h"

namespace {

using Triangle = std::array<int32_t, 3>;

// Cuts the whole polygon and returns the triangles in delivery order.
std::vector<Triangle> CutAll(std::vector<int32_t> polygon, const std::vector<Vec3d>& positions) {
  std::vector<Triangle> triangles;
  int32_t count = static_cast<int32_t>(polygon.size());
  int32_t a, b, c;
  while (CutEar(polygon.data(), count, positions.data(), a, b, c)) triangles.push_back({a, b, c});
  return triangles;
}

double TriangleArea(const std::vector<Vec3d>& p, const Triangle& t) {
  Vec3d u, w, n;
  vec_sub(u, p[t[1]], p[t[0]]);
  vec_sub(w, p[t[2]], p[t[0]]);
  vec_cross(n, u, w);
  return 0.5 * vec_length(n);
}

std::vector<int32_t> Identity(int n) {
  std::vector<int32_t> v(n);
  for (int i = 0; i < n; ++i) v[i] = i;
  return v;
}

}  // namespace

TEST(CutEar, ConvexPentagonFansFromCornerZero) {
  std::vector<Vec3d> p = {
      {1, 0, 0}, {0.309, 0.951, 0}, {-0.809, 0.588, 0}, {-0.809, -0.588, 0}, {0.309, -0.951, 0}};
  auto t = CutAll(Identity(5), p);
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0], (Triangle{0, 1, 2}));
  EXPECT_EQ(t[1], (Triangle{0, 2, 3}));
  EXPECT_EQ(t[2], (Triangle{0, 3, 4}));
}

TEST(CutEar, WorksOnPolygonsTiltedInSpaceAndKeepsIndexValues) {
  // A square in the plane x + y + z = 1 with index values that are not array positions.
  std::vector<Vec3d> p(20);
  p[7] = {1, 0, 0};
  p[11] = {0, 1, 0};
  p[3] = {0, 0, 1};
  p[15] = {0.8, -0.2, 0.4};  // a fourth corner roughly completing a planar quadrilateral
  // Make it exactly planar: p15 = p7 + p3 - p11.
  vec_add(p[15], p[7], p[3]);
  vec_sub(p[15], p[15], p[11]);
  auto t = CutAll({7, 11, 3, 15}, p);
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0], (Triangle{7, 11, 3}));
  EXPECT_EQ(t[1], (Triangle{7, 3, 15}));
}

TEST(CutEar, ConcavePolygonNeverDeliversTriangleOutside) {
  // An arrow head pointing right, with the notch at (1, 0): concave at corner 3.
  std::vector<Vec3d> p = {{0, -2, 0}, {4, 0, 0}, {0, 2, 0}, {1, 0, 0}};
  // Rotating the start shows every candidate order once.
  for (int start = 0; start < 4; ++start) {
    std::vector<int32_t> polygon;
    for (int i = 0; i < 4; ++i) polygon.push_back((start + i) % 4);
    auto t = CutAll(polygon, p);
    ASSERT_EQ(t.size(), 2u) << "start " << start;
    double area = 0;
    for (const Triangle& tri : t) {
      Vec3d centroid = {0, 0, 0};
      for (int k = 0; k < 3; ++k) vec_add(centroid, centroid, p[tri[k]]);
      vec_scale(centroid, centroid, 1.0 / 3.0);
      std::vector<int32_t> all = {0, 1, 2, 3};
      EXPECT_TRUE(InsidePolygon(all.data(), p.data(), 4, centroid)) << "start " << start;
      area += TriangleArea(p, tri);
    }
    EXPECT_NEAR(area, 6.0, 1e-9);  // the arrow: 8 minus the notch of 2
  }
}

TEST(CutEar, ConcaveCombCoversItsAreaWithWindingKept) {
  // A comb: three teeth up from a base, ten corners, counter-clockwise in the x-y plane.
  std::vector<Vec3d> p = {{0, 0, 0}, {5, 0, 0}, {5, 3, 0}, {4, 3, 0}, {4, 1, 0},
                          {3, 1, 0}, {3, 3, 0}, {2, 3, 0}, {2, 1, 0}, {0, 1, 0}};
  auto t = CutAll(Identity(10), p);
  ASSERT_EQ(t.size(), 8u);
  double area = 0;
  for (const Triangle& tri : t) {
    Vec3d u, w, n;
    vec_sub(u, p[tri[1]], p[tri[0]]);
    vec_sub(w, p[tri[2]], p[tri[0]]);
    vec_cross(n, u, w);
    EXPECT_GT(n.z, 0) << "triangle keeps the polygon's counter-clockwise winding";
    area += TriangleArea(p, tri);
  }
  EXPECT_NEAR(area, 5 + 2 + 2, 1e-9);
}

TEST(CutEar, CollinearCornersYieldNothing) {
  std::vector<Vec3d> p = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}};
  EXPECT_TRUE(CutAll(Identity(5), p).empty());
  EXPECT_TRUE(CutAll(Identity(3), p).empty());
}

TEST(CutEar, LastTriangleDegenerateIsNotDelivered) {
  std::vector<Vec3d> p = {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}};
  std::vector<int32_t> polygon = Identity(3);
  int32_t count = 3, a = -1, b = -1, c = -1;
  EXPECT_EQ(CutEar(polygon.data(), count, p.data(), a, b, c), 0);
  EXPECT_EQ(count, 0);
}

TEST(CutEar, FewerThanThreeCornersFail) {
  std::vector<Vec3d> p = {{0, 0, 0}, {1, 0, 0}};
  std::vector<int32_t> polygon = Identity(2);
  int32_t count = 2, a, b, c;
  EXPECT_EQ(CutEar(polygon.data(), count, p.data(), a, b, c), 0);
  EXPECT_EQ(count, 2);
}

TEST(CutEar, SquareWithMidpointOnOneSideIsCoveredWithoutSlivers) {
  std::vector<Vec3d> p = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}};
  auto t = CutAll(Identity(5), p);
  ASSERT_EQ(t.size(), 3u);
  double area = 0;
  for (const Triangle& tri : t) {
    EXPECT_GT(TriangleArea(p, tri), 1e-9) << "collinear candidates are skipped";
    area += TriangleArea(p, tri);
  }
  EXPECT_NEAR(area, 4.0, 1e-12);
}

TEST(InsidePolygon, CentreInsideAndFarPointOutside) {
  std::vector<Vec3d> p = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}};
  std::vector<int32_t> sq = Identity(4);
  EXPECT_TRUE(InsidePolygon(sq.data(), p.data(), 4, Vec3d{1, 1, 0}));
  EXPECT_FALSE(InsidePolygon(sq.data(), p.data(), 4, Vec3d{3, 1, 0}));
  EXPECT_FALSE(InsidePolygon(sq.data(), p.data(), 4, Vec3d{-0.5, -0.5, 0}));
  // Works the same for the opposite winding.
  std::vector<int32_t> reversed = {3, 2, 1, 0};
  EXPECT_TRUE(InsidePolygon(reversed.data(), p.data(), 4, Vec3d{1, 1, 0}));
  EXPECT_FALSE(InsidePolygon(reversed.data(), p.data(), 4, Vec3d{3, 1, 0}));
}

namespace {

// The triangles of CutEar called until it returns 0, three indices each.
std::vector<int32_t> CutEarByEar(std::vector<int32_t> polygon, const std::vector<Vec3d>& p) {
  std::vector<int32_t> out;
  for (const Triangle& t : CutAll(std::move(polygon), p)) out.insert(out.end(), t.begin(), t.end());
  return out;
}

std::vector<int32_t> CutWhole(const std::vector<int32_t>& polygon, const std::vector<Vec3d>& p) {
  std::uint64_t budget = ~0ull;
  std::vector<int32_t> out;
  EXPECT_EQ(CutPolygon(polygon.data(), static_cast<int32_t>(polygon.size()), p.data(), &budget,
                       nullptr, &out),
            CutOutcome::kDone);
  return out;
}

}  // namespace

TEST(CutPolygon, DeliversTheTrianglesOfCutEarInItsOrder) {
  // Random polygons around a centre: planar, tilted, slightly and clearly out of plane,
  // and corners on a small grid (collinear runs, repeated points).
  std::mt19937 random(11);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int round = 0; round < 4000; ++round) {
    const int n = 4 + static_cast<int>(random() % 40);
    const int kind = round % 5;
    std::vector<Vec3d> p(n);
    for (int i = 0; i < n; ++i) {
      const double angle = 2 * M_PI * (i + (kind == 0 ? 0.0 : 0.45 * unit(random))) / n;
      const double r = 0.2 + unit(random);
      const double height = kind == 2 ? 1e-12 * unit(random) : kind == 3 ? 0.2 * unit(random) : 0;
      p[i] = {r * std::cos(angle), r * std::sin(angle), height};
      if (kind == 4) p[i] = {std::floor(4 * unit(random)), std::floor(4 * unit(random)), 0};
    }
    if (round % 3 == 0)
      for (Vec3d& q : p) q = {q.x, 0.8 * q.y - 0.6 * q.z, 0.6 * q.y + 0.8 * q.z};
    EXPECT_EQ(CutWhole(Identity(n), p), CutEarByEar(Identity(n), p)) << "round " << round;
  }
}

TEST(CutPolygon, LargeConvexAndConcavePolygonsAreCutWhole) {
  for (int n : {500, 1000, 10000}) {
    std::vector<Vec3d> p(n);
    for (int i = 0; i < n; ++i) p[i] = {std::cos(2 * M_PI * i / n), std::sin(2 * M_PI * i / n), 0};
    // A long cut reports how far it is, now and then.
    std::vector<int32_t> done;
    std::uint64_t budget = ~0ull;
    std::vector<int32_t> out;
    EXPECT_EQ(CutPolygon(
                  Identity(n).data(), n, p.data(), &budget,
                  [&done, n](int32_t cut, int32_t total) {
                    EXPECT_EQ(total, n - 2);
                    done.push_back(cut);
                  },
                  &out),
              CutOutcome::kDone);
    EXPECT_EQ(out.size(), 3u * (n - 2)) << "convex " << n;
    if (n == 10000) {
      ASSERT_GE(done.size(), 5u);
    }
    for (std::size_t i = 1; i < done.size(); ++i) EXPECT_GT(done[i], done[i - 1]);
    if (!done.empty()) {
      EXPECT_LT(done.back(), n - 2);
    }
  }
  // A comb of 4000 corners: thin teeth between deep notches.
  std::vector<Vec3d> comb;
  for (int i = 0; i < 2000; ++i) comb.push_back({0.5 * i, i % 2 ? 10.0 : 1.0, 0});
  for (int i = 1999; i >= 0; --i) comb.push_back({0.5 * i, 0, 0});
  const std::vector<int32_t> t = CutWhole(Identity(4000), comb);
  ASSERT_EQ(t.size(), 3u * 3998);
  double area = 0;
  for (std::size_t i = 0; i < t.size(); i += 3)
    area += TriangleArea(comb, {t[i], t[i + 1], t[i + 2]});
  EXPECT_NEAR(area, 999.5 * 5.5, 1e-6);
}

TEST(CutPolygon, RunningOutOfBudgetDeliversNothingAndLeavesEarlierTriangles) {
  const int n = 300;
  std::vector<Vec3d> p(n);
  for (int i = 0; i < n; ++i) p[i] = {std::cos(2 * M_PI * i / n), std::sin(2 * M_PI * i / n), 0};
  std::vector<int32_t> out = {7, 8, 9};
  std::uint64_t budget = 5000;
  EXPECT_EQ(CutPolygon(Identity(n).data(), n, p.data(), &budget, nullptr, &out),
            CutOutcome::kOverBudget);
  EXPECT_EQ(out, (std::vector<int32_t>{7, 8, 9}));
  EXPECT_LT(budget, 5000u);
}
