// Adding triangles in a batch (which fetches ahead) builds exactly the tables that adding them
// one by one builds: positions, faces, edges, both adjacency directions and the box.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "meshlib/background_weld.h"
#include "meshlib/mesh3d.h"
#include "settings/memory.h"

namespace {

std::vector<int32_t> list(LinkedIndices l) {
  std::vector<int32_t> out;
  for (int32_t i : l) out.push_back(i);
  return out;
}

// The tables of batch are those of one, entry for entry and bit for bit.
void ExpectSameTables(const Mesh3d& one, const Mesh3d& batch) {
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
    ExpectSameTables(one, batch);
  }
}

// Corners as indices into positions that weld in every way: bit-equal, within the tolerance
// (in chains where a ~ b and b ~ c but not a ~ c), +0.0 against -0.0, and never (NaN).
TEST(AddTriangles, IndexedCornersBuildTheTablesOfSingleAdds) {
  std::vector<Vec3d> positions;
  for (int i = 0; i < 400; ++i) {
    const double x = (i % 20) * 0.5, y = (i / 20 % 4) * 0.6e-6;
    positions.push_back(Vec3d{x, y, (i / 80) * 0.4e-6});
  }
  positions.push_back(Vec3d{0.0, -0.0, 0.0});
  positions.push_back(Vec3d{-0.0, 0.0, -0.0});
  positions.push_back(Vec3d{std::nan(""), 1.0, 2.0});
  std::mt19937 random(5);
  std::uniform_int_distribution<int32_t> index(0, static_cast<int32_t>(positions.size()) - 1);
  std::vector<int32_t> corners;
  for (int i = 0; i < 3 * 3000; ++i) corners.push_back(index(random));
  for (bool with_edges : {true, false})
    for (int32_t hint : {0, 400, 3000}) {
      Mesh3d one(hint, "one", with_edges), batch(hint, "batch", with_edges);
      const int32_t count = static_cast<int32_t>(corners.size() / 3);
      for (int32_t t = 0; t < count; ++t)
        one.add_triangle(positions[corners[3 * t]], positions[corners[3 * t + 1]],
                         positions[corners[3 * t + 2]]);
      std::vector<int32_t> memo(positions.size(), -1);
      // In calls of 7 triangles: the memo carries over from call to call.
      for (int32_t t = 0; t < count; t += 7)
        batch.add_indexed_triangles(positions.data(), corners.data() + 3 * t,
                                    count - t < 7 ? count - t : 7, memo.data());
      ExpectSameTables(one, batch);
    }
}

// A flat form large enough to be welded on one thread and linked on another, with positions
// that weld in several ways and a face that points past the vertex array: the tables are
// those of adding its good faces one by one.
TEST(AddTriangles, LargeFlatFormRebuildsTheTablesOfSingleAdds) {
  const int32_t face_count = Mesh3d::kTwoThreadFaces + 1000, vertex_count = 40000;
  std::mt19937 random(3);
  std::uniform_int_distribution<int32_t> index(0, vertex_count - 1);
  for (bool with_edges : {true, false}) {
    Mesh3d one(0, "one", with_edges), rebuilt(0, "rebuilt");
    rebuilt.drop_tables();
    rebuilt.flat_vertices = static_cast<Vec3d*>(must_alloc(sizeof(Vec3d) * vertex_count));
    rebuilt.flat_faces = static_cast<FlatFace*>(must_alloc(sizeof(FlatFace) * face_count));
    rebuilt.flat_vertex_count = vertex_count;
    rebuilt.flat_face_count = face_count;
    for (int32_t i = 0; i < vertex_count; ++i)
      rebuilt.flat_vertices[i] = Vec3d{(i % 200) * 0.5, (i / 200 % 50) * 0.5, (i % 3) * 0.4e-6};
    for (int32_t f = 0; f < face_count; ++f) {
      FlatFace& face = rebuilt.flat_faces[f];
      face = FlatFace{{index(random), index(random), index(random), 0}};
      if (f == 5)
        face.v[1] = vertex_count;  // left out
      else
        one.add_triangle(rebuilt.flat_vertices[face.v[0]], rebuilt.flat_vertices[face.v[1]],
                         rebuilt.flat_vertices[face.v[2]]);
    }
    rebuilt.from_flat(with_edges);
    ExpectSameTables(one, rebuilt);
  }
}

// Batches welded beside the caller give the tables of one call on the calling thread, whether
// one helper welds and another links (a vertex table with room for every position) or one
// does both (a table that may grow); a weld dropped before finish (a read that failed) ends
// without waiting for the rest.
TEST(AddTriangles, BackgroundWeldBuildsTheTablesOfOneCall) {
  std::vector<Vec3d> positions;
  for (int i = 0; i < 900; ++i)
    positions.push_back(Vec3d{(i % 30) * 0.5, (i / 30) * 0.5 + (i % 3) * 0.4e-6, (i % 7) * 0.25});
  std::mt19937 random(8);
  std::uniform_int_distribution<int32_t> index(0, static_cast<int32_t>(positions.size()) - 1);
  std::vector<int32_t> corners;
  for (int i = 0; i < 3 * 20000; ++i) corners.push_back(index(random));
  const int32_t count = static_cast<int32_t>(corners.size() / 3);
  const int32_t position_count = static_cast<int32_t>(positions.size());
  for (int32_t hint : {900, 0})
    for (int32_t batch_size : {1, 100, 4096}) {
      Mesh3d one(hint, "one"), background(hint, "background");
      std::vector<int32_t> memo_one(positions.size(), -1), memo(positions.size(), -1);
      one.add_indexed_triangles(positions.data(), corners.data(), count, memo_one.data());
      {
        BackgroundWeld weld(background, positions.data(), position_count, memo.data());
        std::vector<int32_t> batch;
        for (int32_t t = 0; t < count; ++t) {
          batch.insert(batch.end(), corners.begin() + 3 * t, corners.begin() + 3 * t + 3);
          if (static_cast<int32_t>(batch.size()) == 3 * batch_size) weld.add(batch);
        }
        if (!batch.empty()) weld.add(batch);
        weld.finish();
      }
      ExpectSameTables(one, background);
    }
  Mesh3d dropped(900, "dropped");
  std::vector<int32_t> memo(positions.size(), -1);
  {
    BackgroundWeld weld(dropped, positions.data(), position_count, memo.data());
    std::vector<int32_t> batch(corners.begin(), corners.begin() + 300);
    for (int k = 0; k < 20; ++k) {
      std::vector<int32_t> copy = batch;
      weld.add(copy);
    }
  }
  EXPECT_LE(dropped.face_count(), 20 * 100);
}

}  // namespace
