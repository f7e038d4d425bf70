#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "meshlib/mesh3d.h"
#include "tests/meshlib/face_normal_of.h"

namespace {

using Triangle = std::vector<Vec3d>;  // three corners in winding order
using Calls = std::vector<std::pair<int32_t, int32_t>>;

// Progress reports go to a plain function, as in the plug-ins; the test collects them here.
Calls* g_calls = nullptr;
void record_progress(int32_t done, int32_t total) {
  if (g_calls != nullptr) g_calls->push_back({done, total});
}

struct Recording {
  Calls calls;
  Recording() { g_calls = &calls; }
  ~Recording() { g_calls = nullptr; }
};

Vec3d v(double x, double y, double z) { return Vec3d{x, y, z}; }

std::unique_ptr<Mesh3d> build(const std::vector<Triangle>& tris) {
  auto m = std::make_unique<Mesh3d>(static_cast<int32_t>(tris.size()), "mesh");
  for (const Triangle& t : tris) m->add_triangle(t[0], t[1], t[2]);
  return m;
}

std::vector<std::vector<int32_t>> windings(const Mesh3d& m) {
  std::vector<std::vector<int32_t>> out;
  for (int32_t f = 0; f < m.face_count(); ++f) {
    int32_t c[3];
    m.faces->face(f, c);
    out.push_back({c[0], c[1], c[2]});
  }
  return out;
}

// ---- The orientation procedure as first written: passes over all edges until nothing ------
// ---- changes, and a forward scan for every seed. Quadratic, kept as the reference. ---------

void ref_rotate(int32_t t[3]) {
  int32_t x = t[0];
  t[0] = t[1];
  t[1] = t[2];
  t[2] = x;
}

void ref_orient_like(Mesh3d& m, int32_t a, int32_t r, int32_t t) {
  int32_t rr[3];
  int32_t tt[3];
  m.faces->face(r, rr);
  m.faces->face(t, tt);
  for (int32_t* x : {rr, tt}) {
    if (x[1] == a) ref_rotate(x);
    if (x[2] == a) {
      ref_rotate(x);
      ref_rotate(x);
    }
  }
  if (rr[1] == tt[1] || rr[2] == tt[2]) m.faces->flip(t);
}

void reference_unify(Mesh3d& m, void (*progress)(int32_t, int32_t)) {
  if (m.faces == nullptr || m.edges == nullptr) return;
  const int32_t nf = m.face_count();
  const int32_t ne = m.edge_count();
  std::vector<int32_t> visited(nf, 0);
  for (;;) {
    progress(static_cast<int32_t>(std::count(visited.begin(), visited.end(), 1)), nf);
    int32_t s = 0;
    while (s < nf && visited[s]) ++s;
    if (s == nf) break;
    Vec3d p[3];
    m.triangle_positions(s, p);
    int32_t best = s;
    double best_z = (p[0].z + p[1].z + p[2].z) / 3.0;
    for (int32_t i = s; i < nf; ++i) {
      if (visited[i]) continue;
      m.triangle_positions(i, p);
      double z = (p[0].z + p[1].z + p[2].z) / 3.0;
      if (z > best_z && std::fabs(normal_of(m, i).z) > 0) {
        best = i;
        best_z = z;
      }
    }
    if (normal_of(m, best).z > 0) m.faces->flip(best);
    visited[best] = 1;
    bool changed;
    do {
      changed = false;
      for (int32_t e = 0; e < ne; ++e) {
        int32_t ab[2];
        int32_t f[2];
        m.edges->ends(e, ab);
        m.edges->faces_of_edge(e, f);
        if (f[0] == -1 || f[1] == -1) continue;
        if (!visited[f[0]] && visited[f[1]]) {
          ref_orient_like(m, ab[0], f[1], f[0]);
          visited[f[0]] = 1;
          changed = true;
        }
        if (!visited[f[1]] && visited[f[0]]) {
          ref_orient_like(m, ab[0], f[0], f[1]);
          visited[f[1]] = 1;
          changed = true;
        }
      }
    } while (changed);
  }
}

// ---- Random meshes ---------------------------------------------------------------------------

class MeshMaker {
 public:
  explicit MeshMaker(uint32_t seed) : rng_(seed) {}

  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  double real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }

  // Any of the six corner orders: both windings, any starting corner.
  void add(const Vec3d& a, const Vec3d& b, const Vec3d& c) {
    Triangle t{a, b, c};
    std::rotate(t.begin(), t.begin() + pick(0, 2), t.end());
    if (pick(0, 1)) std::swap(t[0], t[1]);
    tris_.push_back(t);
  }

  // A height field over a grid with random diagonals, some cells left out (holes and separate
  // islands). Integer heights give many faces of equal height.
  void grid(double ox, double oy, int nx, int ny, bool integer_heights, int hole_percent) {
    std::vector<double> h((nx + 1) * (ny + 1));
    for (double& z : h) z = integer_heights ? pick(0, 2) : real(-1.0, 1.0);
    auto at = [&](int i, int j) { return v(ox + i, oy + j, h[j * (nx + 1) + i]); };
    for (int j = 0; j < ny; ++j) {
      for (int i = 0; i < nx; ++i) {
        Vec3d a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
        if (pick(0, 1)) {
          if (pick(1, 100) > hole_percent) add(a, b, c);
          if (pick(1, 100) > hole_percent) add(a, c, d);
        } else {
          if (pick(1, 100) > hole_percent) add(a, b, d);
          if (pick(1, 100) > hole_percent) add(b, c, d);
        }
      }
    }
  }

  // Closed box of 12 triangles.
  void box(double ox, double oy, double oz) {
    Vec3d c[8];
    for (int k = 0; k < 8; ++k) c[k] = v(ox + (k & 1), oy + ((k >> 1) & 1), oz + ((k >> 2) & 1));
    const int quads[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4},
                             {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5}};
    for (const auto& q : quads) {
      add(c[q[0]], c[q[1]], c[q[2]]);
      add(c[q[0]], c[q[2]], c[q[3]]);
    }
  }

  // Moebius strip of n segments: the last segment joins the first with the sides exchanged,
  // so no consistent winding exists.
  void moebius(double oz, int n) {
    auto at = [&](int i, int side) {
      if (i == n) {
        i = 0;
        side = 1 - side;
      }
      double a = 2.0 * M_PI * i / n;
      double w = side ? 0.5 : -0.5;
      double r = 3.0 + w * std::cos(a / 2.0);
      return v(r * std::cos(a), r * std::sin(a), oz + w * std::sin(a / 2.0));
    };
    for (int i = 0; i < n; ++i) {
      add(at(i, 0), at(i + 1, 0), at(i + 1, 1));
      add(at(i, 0), at(i + 1, 1), at(i, 1));
    }
  }

  // k triangles around one edge: the edge records only the first and the last of them.
  void book(double ox, int k) {
    Vec3d a = v(ox, 0, 0), b = v(ox, 0, 1);
    for (int i = 0; i < k; ++i) {
      double t = 2.0 * M_PI * i / k + 0.1;
      add(a, b, v(ox + std::cos(t), std::sin(t), real(0.0, 1.0)));
    }
  }

  // Vertical faces (normal z exactly 0) in the plane y = oy, strung along shared edges.
  void wall(double oy, int n) {
    for (int i = 0; i < n; ++i) {
      add(v(i, oy, 0), v(i + 1, oy, 0), v(i, oy, 1));
      add(v(i + 1, oy, 0), v(i + 1, oy, 1), v(i, oy, 1));
    }
  }

  // Triangles between random points of a tiny lattice: repeated and degenerate triangles,
  // edges of many faces, equal heights.
  void lattice_soup(int n) {
    auto p = [&]() { return v(pick(0, 2), pick(0, 2), pick(0, 1)); };
    for (int i = 0; i < n; ++i) add(p(), p(), p());
  }

  // Unconnected triangles at random heights, some vertical.
  void scatter(int n) {
    for (int i = 0; i < n; ++i) {
      double x = real(-50, 50), y = real(-50, 50), z = pick(0, 3);
      if (pick(0, 3) == 0)
        add(v(x, y, z), v(x + 1, y, z), v(x, y, z + 1));
      else
        add(v(x, y, z), v(x + 1, y, z + real(-1, 1)), v(x, y + 1, z));
    }
  }

  void shuffle() { std::shuffle(tris_.begin(), tris_.end(), rng_); }
  const std::vector<Triangle>& triangles() const { return tris_; }

 private:
  std::mt19937 rng_;
  std::vector<Triangle> tris_;
};

struct Outcome {
  std::vector<std::vector<int32_t>> faces;
  Calls calls;
};

Outcome run_fast(const std::vector<Triangle>& tris) {
  auto m = build(tris);
  Recording rec;
  m->unify_orientation(record_progress);
  return {windings(*m), rec.calls};
}

Outcome run_reference(const std::vector<Triangle>& tris) {
  auto m = build(tris);
  Recording rec;
  reference_unify(*m, record_progress);
  return {windings(*m), rec.calls};
}

// Builds a random mesh from a mix of the shapes above.
std::vector<Triangle> random_mesh(uint32_t seed) {
  MeshMaker mk(seed);
  const int parts = mk.pick(1, 4);
  for (int p = 0; p < parts; ++p) {
    switch (mk.pick(0, 7)) {
      case 0:
        mk.grid(p * 20.0, 0, mk.pick(1, 8), mk.pick(1, 8), mk.pick(0, 1), mk.pick(0, 30));
        break;
      case 1:
        mk.box(p * 20.0, mk.pick(0, 3), mk.pick(-2, 2));
        break;
      case 2:
        mk.moebius(mk.pick(-2, 2), mk.pick(3, 12));
        break;
      case 3:
        mk.book(p * 20.0, mk.pick(2, 5));
        break;
      case 4:
        mk.wall(p * 20.0, mk.pick(1, 5));
        break;
      case 5:
        mk.lattice_soup(mk.pick(1, 25));
        break;
      case 6:
        mk.scatter(mk.pick(1, 10));
        break;
      default:
        mk.grid(p * 20.0, 5, mk.pick(1, 4), mk.pick(1, 4), true, 0);
        break;
    }
  }
  if (mk.pick(0, 2) != 0) mk.shuffle();
  return mk.triangles();
}

// ---- Agreement with the reference --------------------------------------------------------------

TEST(UnifyOrientation, AgreesWithPassesOnRandomMeshes) {
  int flipped_meshes = 0;
  int multi_sweep_meshes = 0;
  for (uint32_t seed = 1; seed <= 3000; ++seed) {
    const std::vector<Triangle> tris = random_mesh(seed);
    const Outcome ref = run_reference(tris);
    const Outcome fast = run_fast(tris);
    ASSERT_EQ(fast.calls, ref.calls) << "seed " << seed;
    ASSERT_EQ(fast.faces, ref.faces) << "seed " << seed;
    if (ref.faces != windings(*build(tris))) ++flipped_meshes;
    if (ref.calls.size() > 2) ++multi_sweep_meshes;
  }
  // The comparison means something only when the meshes exercise flips and several sweeps.
  EXPECT_GT(flipped_meshes, 2000);
  EXPECT_GT(multi_sweep_meshes, 1000);
}

TEST(UnifyOrientation, AgreesWithPassesOnShuffledGridsNeedingManyPasses) {
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    MeshMaker mk(seed);
    mk.grid(0, 0, 25, 25, seed % 2 == 0, seed < 4 ? 0 : 8);
    mk.moebius(4, 40);
    mk.shuffle();
    const Outcome ref = run_reference(mk.triangles());
    const Outcome fast = run_fast(mk.triangles());
    ASSERT_EQ(fast.calls, ref.calls) << "seed " << seed;
    ASSERT_EQ(fast.faces, ref.faces) << "seed " << seed;
  }
}

TEST(UnifyOrientation, AgreesWithPassesOnDenseNonManifoldSoups) {
  for (uint32_t seed = 1; seed <= 500; ++seed) {
    MeshMaker mk(seed * 7919u);
    mk.lattice_soup(mk.pick(20, 120));
    const Outcome ref = run_reference(mk.triangles());
    const Outcome fast = run_fast(mk.triangles());
    ASSERT_EQ(fast.calls, ref.calls) << "seed " << seed;
    ASSERT_EQ(fast.faces, ref.faces) << "seed " << seed;
  }
}

TEST(UnifyOrientation, AgreesWithPassesWhenHeightsAreNotFinite) {
  const double nan = std::nan(""), inf = HUGE_VAL;
  for (uint32_t seed = 1; seed <= 200; ++seed) {
    MeshMaker mk(seed);
    mk.grid(0, 0, 3, 3, true, 0);
    mk.add(v(0, 0, nan), v(1, 0, 0), v(0, 1, 0));    // shares grid corners
    mk.add(v(9, 9, inf), v(10, 9, 0), v(9, 10, 0));  // an infinitely high face
    mk.add(v(9, 9, inf), v(10, 9, 1), v(9, 10, 2));  // another, equally high
    mk.add(v(1, 1, nan), v(2, 2, nan), v(3, 1, nan));
    mk.add(v(0, 0, -inf), v(1, 0, 0), v(1, 1, 0));
    mk.shuffle();
    const Outcome ref = run_reference(mk.triangles());
    const Outcome fast = run_fast(mk.triangles());
    ASSERT_EQ(fast.calls, ref.calls) << "seed " << seed;
    ASSERT_EQ(fast.faces, ref.faces) << "seed " << seed;
  }
}

// ---- Behaviour on small meshes -----------------------------------------------------------------

TEST(UnifyOrientation, CubeEndsConsistentWithTopFacingDown) {
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    MeshMaker mk(seed);
    mk.box(0, 0, 0);
    auto m = build(mk.triangles());
    ASSERT_EQ(m->face_count(), 12);
    m->unify_orientation(nullptr);
    // Every edge is run in opposite directions by its two faces.
    for (int32_t e = 0; e < m->edge_count(); ++e) {
      int32_t ab[2];
      int32_t f[2];
      m->edges->ends(e, ab);
      m->edges->faces_of_edge(e, f);
      ASSERT_NE(f[1], -1);
      int directions = 0;
      for (int32_t g : f) {
        int32_t c[3];
        m->faces->face(g, c);
        for (int k = 0; k < 3; ++k) {
          if (c[k] == ab[0] && c[(k + 1) % 3] == ab[1]) directions += 1;
          if (c[k] == ab[1] && c[(k + 1) % 3] == ab[0]) directions += 10;
        }
      }
      EXPECT_EQ(directions, 11) << "seed " << seed << " edge " << e;
    }
    for (int32_t f = 0; f < 12; ++f) {
      Vec3d p[3];
      m->triangle_positions(f, p);
      if (p[0].z == 1 && p[1].z == 1 && p[2].z == 1) {
        Vec3d n = normal_of(*m, f);
        EXPECT_EQ(n.x, 0.0);
        EXPECT_EQ(n.y, 0.0);
        EXPECT_EQ(n.z, -1.0);
      }
    }
  }
}

TEST(UnifyOrientation, SingleTriangleTurnsToFaceDownUnlessVertical) {
  struct Case {
    Triangle tri;
    bool flipped;
  };
  const Case cases[] = {
      {{v(0, 0, 0), v(0, 1, 0), v(1, 0, 0)}, true},   // normal +z
      {{v(0, 0, 0), v(1, 0, 0), v(0, 1, 0)}, false},  // normal -z
      {{v(0, 0, 0), v(1, 0, 0), v(0, 0, 1)}, false},  // vertical
  };
  for (const Case& c : cases) {
    auto m = build({c.tri});
    Recording rec;
    m->unify_orientation(record_progress);
    int32_t idx[3];
    m->faces->face(0, idx);
    EXPECT_EQ(idx[0] == 1 && idx[1] == 0 && idx[2] == 2, c.flipped);
    EXPECT_EQ(rec.calls, (Calls{{0, 1}, {1, 1}}));
  }
}

TEST(UnifyOrientation, TrianglesSharingOnlyAVertexAreTwoSweeps) {
  auto m = build({{v(0, 0, 0), v(1, 0, 0), v(0, 1, 0)}, {v(0, 0, 0), v(-1, 0, 0), v(0, -1, 0)}});
  Recording rec;
  m->unify_orientation(record_progress);
  EXPECT_EQ(rec.calls, (Calls{{0, 2}, {1, 2}, {2, 2}}));
}

TEST(UnifyOrientation, EdgeOfThreeFacesJoinsOnlyItsFirstAndLast) {
  // The middle face is not recorded on the shared edge and has no other neighbour: it is a
  // sweep of its own.
  auto m = build({{v(0, 0, 0), v(1, 0, 0), v(0.5, 1, 0)},
                  {v(0, 0, 0), v(1, 0, 0), v(0.5, 0, 1)},
                  {v(0, 0, 0), v(1, 0, 0), v(0.5, -1, 0)}});
  Recording rec;
  m->unify_orientation(record_progress);
  EXPECT_EQ(rec.calls, (Calls{{0, 3}, {2, 3}, {3, 3}}));
  // The two flat faces end facing down together.
  EXPECT_LT(normal_of(*m, 0).z, 0);
  EXPECT_LT(normal_of(*m, 2).z, 0);
}

TEST(UnifyOrientation, FirstUnvisitedFaceSeedsEvenWhenVertical) {
  // A vertical face above a horizontal one, sharing an edge. Listed first, the vertical face is
  // the seed (nothing lies higher) and keeps its winding; the floor follows it upward.
  const Triangle wall{v(1, 0, 0), v(0, 0, 0), v(0, 0, 1)};
  const Triangle floor_up{v(0, 0, 0), v(1, 0, 0), v(0, -1, 0)};  // normal +z, agrees with wall
  ASSERT_GT(normal_of(*build({floor_up}), 0).z, 0);
  auto m = build({wall, floor_up});
  m->unify_orientation(nullptr);
  EXPECT_GT(normal_of(*m, 1).z, 0);
  // Listed after the floor, the vertical face is never preferred: the floor seeds and turns
  // down, and the wall turns with it.
  auto m2 = build({floor_up, wall});
  m2->unify_orientation(nullptr);
  EXPECT_LT(normal_of(*m2, 0).z, 0);
  int32_t c[3];
  m2->faces->face(1, c);
  EXPECT_EQ(c[0], 0);  // wall stored as (0,0,0), (1,0,0), (0,0,1) now
  EXPECT_EQ(c[1], 1);
}

TEST(UnifyOrientation, SeedIsTheLowestIndexOfTheHighestFaces) {
  // Patch P = faces 0 and 2 (sharing an edge), island I = face 1. The order of the sweeps
  // shows in the progress reports: P first reports 0, 2, 3; I first reports 0, 1, 3.
  auto run = [](double p0_height, double island_height, double p2_peak) {
    auto m = build({{v(0, 0, p0_height), v(1, 0, p0_height), v(0, 1, p0_height)},
                    {v(5, 0, island_height), v(6, 0, island_height), v(5, 1, island_height)},
                    {v(1, 0, p0_height), v(0, 1, p0_height), v(1, 1, p2_peak)}});
    Recording rec;
    m->unify_orientation(record_progress);
    return rec.calls;
  };
  const Calls patch_first{{0, 3}, {2, 3}, {3, 3}};
  const Calls island_first{{0, 3}, {1, 3}, {3, 3}};
  // Faces 1 and 2 both at height 1 above face 0: the lower index (the island) seeds.
  EXPECT_EQ(run(0, 1, 3), island_first);
  // Face 0 itself as high as anything else: it seeds, nothing is strictly higher.
  EXPECT_EQ(run(1, 1, 1), patch_first);
  // The island strictly higher than the first face: it seeds.
  EXPECT_EQ(run(1, 1.5, 1), island_first);
  // Face 2 strictly highest: its patch seeds.
  EXPECT_EQ(run(0, 1, 6), patch_first);
}

TEST(UnifyOrientation, WithoutTablesDoesNothingAndReportsNothing) {
  auto m = build({{v(0, 0, 0), v(0, 1, 0), v(1, 0, 0)}});
  m->to_flat();
  m->drop_tables();
  Recording rec;
  m->unify_orientation(record_progress);
  EXPECT_TRUE(rec.calls.empty());
  EXPECT_EQ(m->flat_faces[0].v[0], 0);
  EXPECT_EQ(m->flat_faces[0].v[1], 1);
}

TEST(UnifyOrientation, EmptyMeshReportsOnceDone) {
  Mesh3d m(0, "empty");
  Recording rec;
  m.unify_orientation(record_progress);
  EXPECT_EQ(rec.calls, (Calls{{0, 0}}));
}

}  // namespace
