#include "meshlib/mesh3d.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "settings/log_file.h"
#include "settings/memory.h"

namespace {

std::vector<int32_t> items(const LinkedIndices& list) {
  std::vector<int32_t> out;
  for (int32_t x : list) out.push_back(x);
  return out;
}

std::vector<int32_t> face_of(const Mesh3d& m, int32_t f) {
  int32_t v[3] = {-9, -9, -9};
  m.faces->face(f, v);
  return {v[0], v[1], v[2]};
}

std::vector<int32_t> edge_faces(const Mesh3d& m, int32_t e) {
  int32_t f[2] = {-9, -9};
  m.edges->faces_of_edge(e, f);
  return {f[0], f[1]};
}

const Vec3d kP0{0, 0, 0}, kP1{1, 0, 0}, kP2{0, 1, 0}, kP3{1, 1, 0};

// Hands a flat form to a mesh without tables, as an importer's result arrives.
void set_flat(Mesh3d& m, const std::vector<Vec3d>& vs, const std::vector<std::vector<int>>& fs) {
  m.drop_tables();
  m.flat_vertices = static_cast<Vec3d*>(must_alloc(sizeof(Vec3d) * vs.size()));
  m.flat_faces = static_cast<FlatFace*>(must_alloc(sizeof(FlatFace) * fs.size()));
  for (size_t i = 0; i < vs.size(); ++i) m.flat_vertices[i] = vs[i];
  for (size_t i = 0; i < fs.size(); ++i)
    m.flat_faces[i] = FlatFace{{fs[i][0], fs[i][1], fs[i][2], 0}};
  m.flat_vertex_count = static_cast<int32_t>(vs.size());
  m.flat_face_count = static_cast<int32_t>(fs.size());
}

}  // namespace

static_assert(!std::is_copy_constructible<Obj3d>::value, "scene objects are never copied");
static_assert(!std::is_copy_assignable<Mesh3d>::value, "scene objects are never copied");

TEST(Mesh3d, NewMeshHasEmptyTablesAndNoFlatForm) {
  Mesh3d m(0, "box");
  EXPECT_STREQ(m.name(), "box");
  EXPECT_EQ(m.kind(), 0);
  ASSERT_NE(m.vertices, nullptr);
  ASSERT_NE(m.faces, nullptr);
  ASSERT_NE(m.edges, nullptr);
  EXPECT_EQ(m.vertex_count(), 0);
  EXPECT_EQ(m.bbox_empty, 1);
  EXPECT_EQ(m.flat_vertices, nullptr);
  EXPECT_EQ(m.flat_face_count, 0);
  EXPECT_EQ(m.transform.m[3][3], 1.0);
  EXPECT_EQ(m.transform.m[3][0], 0.0);
}

TEST(Mesh3d, AddTriangleRecordsAdjacencyBothWays) {
  Mesh3d m(2, "quad");
  m.add_triangle(kP0, kP1, kP2);
  m.add_triangle(kP2, kP1, kP3);
  EXPECT_EQ(m.vertex_count(), 4);
  EXPECT_EQ(m.face_count(), 2);
  EXPECT_EQ(m.edge_count(), 5);
  EXPECT_EQ(face_of(m, 1), (std::vector<int32_t>{2, 1, 3}));
  int32_t fe[3];
  m.faces->face_edges(1, fe);
  EXPECT_EQ(fe[0], 1);  // (2,1) is the (1,2) edge of the first face
  EXPECT_EQ(fe[1], 3);
  EXPECT_EQ(fe[2], 4);
  EXPECT_EQ(edge_faces(m, 1), (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(edge_faces(m, 0), (std::vector<int32_t>{0, -1}));
  EXPECT_EQ(items(m.vertices->faces_of(1)), (std::vector<int32_t>{1, 0}));
  EXPECT_EQ(items(m.vertices->faces_of(3)), (std::vector<int32_t>{1}));
  // Vertex 1 is on edges 0 (0,1), 1 (1,2) and 3 (1,3), newest first.
  EXPECT_EQ(items(m.vertices->edges_of(1)), (std::vector<int32_t>{3, 1, 0}));
  EXPECT_EQ(items(m.vertices->edges_of(0)), (std::vector<int32_t>{2, 0}));
}

TEST(Mesh3d, SameTriangleTwiceKeepsOneFaceWithoutRepeats) {
  Mesh3d m(0, "twice");
  m.add_triangle(kP0, kP1, kP2);
  m.add_triangle(kP0, kP1, kP2);
  EXPECT_EQ(m.face_count(), 1);
  EXPECT_EQ(m.edge_count(), 3);
  for (int32_t e = 0; e < 3; ++e) EXPECT_EQ(edge_faces(m, e), (std::vector<int32_t>{0, 0}));
  for (int32_t v = 0; v < 3; ++v) {
    EXPECT_EQ(items(m.vertices->faces_of(v)), (std::vector<int32_t>{0}));
    EXPECT_EQ(m.vertices->edges_of(v).size(), 2);
  }
}

TEST(Mesh3d, ReversedWindingKeepsFirstWinding) {
  Mesh3d m(0, "rev");
  m.add_triangle(kP0, kP1, kP2);
  m.add_triangle(kP0, kP2, kP1);
  EXPECT_EQ(m.face_count(), 1);
  EXPECT_EQ(face_of(m, 0), (std::vector<int32_t>{0, 1, 2}));
}

TEST(Mesh3d, DegenerateTriangleKeepsRepeatedIndex) {
  Mesh3d m(0, "thin");
  m.add_triangle(kP0, kP0, kP1);
  EXPECT_EQ(m.vertex_count(), 2);
  EXPECT_EQ(face_of(m, 0), (std::vector<int32_t>{0, 0, 1}));
  int32_t ends[2];
  m.edges->ends(0, ends);
  EXPECT_EQ(ends[0], 0);
  EXPECT_EQ(ends[1], 0);
  EXPECT_EQ(m.edge_count(), 2);
}

TEST(Mesh3d, BoundingBoxStartsAtFirstCorner) {
  Mesh3d m(0, "box");
  m.add_triangle({5, 5, 5}, {5, 5, 5}, {5, 5, 5});
  EXPECT_EQ(m.bbox_empty, 0);
  EXPECT_EQ(m.bbox_min.x, 5.0);
  EXPECT_EQ(m.bbox_min.z, 5.0);
  EXPECT_EQ(m.bbox_max.y, 5.0);
  m.add_triangle({6, 4, 5}, {5, 5, 7}, {5, -1, 5});
  EXPECT_EQ(m.bbox_min.x, 5.0);
  EXPECT_EQ(m.bbox_min.y, -1.0);
  EXPECT_EQ(m.bbox_max.x, 6.0);
  EXPECT_EQ(m.bbox_max.z, 7.0);
}

TEST(Mesh3d, TrianglePositionsFollowCornerOrder) {
  Mesh3d m(0, "t");
  m.add_triangle(kP2, kP3, kP1);
  Vec3d out[3] = {{9, 9, 9}, {9, 9, 9}, {9, 9, 9}};
  m.triangle_positions(0, out);
  EXPECT_EQ(out[0].y, 1.0);
  EXPECT_EQ(out[1].x, 1.0);
  EXPECT_EQ(out[2].y, 0.0);
  Vec3d untouched[3] = {{9, 9, 9}, {9, 9, 9}, {9, 9, 9}};
  m.triangle_positions(1, untouched);
  EXPECT_EQ(untouched[0].x, 9.0);
}

TEST(Mesh3d, ToFlatCopiesTablesInOrder) {
  Mesh3d m(0, "flat");
  m.add_triangle(kP0, kP1, kP2);
  m.add_triangle(kP2, kP1, kP3);
  m.to_flat();
  ASSERT_EQ(m.flat_vertex_count, 4);
  ASSERT_EQ(m.flat_face_count, 2);
  EXPECT_EQ(m.flat_vertices[3].x, 1.0);
  EXPECT_EQ(m.flat_vertices[3].y, 1.0);
  EXPECT_EQ(m.flat_faces[1].v[0], 2);
  EXPECT_EQ(m.flat_faces[1].v[1], 1);
  EXPECT_EQ(m.flat_faces[1].v[2], 3);
  EXPECT_EQ(m.flat_faces[1].v[3], 0);
  EXPECT_NE(m.vertices, nullptr);  // tables stay
  m.to_flat();                     // a second reduction replaces the first
  EXPECT_EQ(m.flat_face_count, 2);
}

TEST(Mesh3d, FormsChangeOnlyWhenPreconditionsHold) {
  Mesh3d m(0, "pre");
  m.add_triangle(kP0, kP1, kP2);
  m.from_flat();  // tables still there: nothing
  EXPECT_EQ(m.flat_vertices, nullptr);
  EXPECT_EQ(m.face_count(), 1);
  m.drop_tables();
  EXPECT_EQ(m.vertices, nullptr);
  EXPECT_EQ(m.faces, nullptr);
  EXPECT_EQ(m.edges, nullptr);
  m.to_flat();  // no tables: nothing
  EXPECT_EQ(m.flat_vertices, nullptr);
  m.from_flat();  // no flat form: nothing
  EXPECT_EQ(m.vertices, nullptr);
  m.add_triangle(kP0, kP1, kP3);  // no tables: nothing, not even the box
  EXPECT_EQ(m.bbox_max.y, 1.0);
  EXPECT_EQ(m.bbox_max.x, 1.0);
  EXPECT_EQ(m.vertex_count(), 0);
  m.drop_tables();
}

TEST(Mesh3d, FlatRoundTripKeepsMesh) {
  Mesh3d m(4, "grid");
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) {
      Vec3d a{double(x), double(y), 0.25}, b{x + 1.0, double(y), 0.25}, c{double(x), y + 1.0, 0.5},
          d{x + 1.0, y + 1.0, 0.5};
      m.add_triangle(a, b, c);
      m.add_triangle(c, b, d);
    }
  m.to_flat();
  std::vector<Vec3d> vs(m.flat_vertices, m.flat_vertices + m.flat_vertex_count);
  std::vector<FlatFace> fs(m.flat_faces, m.flat_faces + m.flat_face_count);
  int32_t edges = m.edge_count();
  m.drop_tables();
  m.from_flat();
  ASSERT_NE(m.vertices, nullptr);
  EXPECT_EQ(m.edge_count(), edges);
  EXPECT_EQ(m.face_count(), 50);
  m.to_flat();
  ASSERT_EQ(m.flat_vertex_count, static_cast<int32_t>(vs.size()));
  for (size_t i = 0; i < vs.size(); ++i) {
    EXPECT_EQ(m.flat_vertices[i].x, vs[i].x);
    EXPECT_EQ(m.flat_vertices[i].y, vs[i].y);
    EXPECT_EQ(m.flat_vertices[i].z, vs[i].z);
  }
  for (size_t i = 0; i < fs.size(); ++i)
    for (int k = 0; k < 4; ++k) EXPECT_EQ(m.flat_faces[i].v[k], fs[i].v[k]);
}

TEST(Mesh3d, FromFlatRenumbersByFirstUseAndWeldsAgain) {
  Mesh3d m(0, "renumber");
  // Flat vertices 1 and 4 are the same position; vertex 5 is used by no face.
  set_flat(m, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {9, 9, 9}},
           {{3, 2, 4}, {2, 1, 0}, {4, 3, 2}});
  m.from_flat();
  ASSERT_NE(m.vertices, nullptr);
  EXPECT_EQ(m.vertex_count(), 4);
  EXPECT_EQ(m.face_count(), 2);  // the third flat face welds to the first
  EXPECT_EQ(face_of(m, 0), (std::vector<int32_t>{0, 1, 2}));
  EXPECT_EQ(face_of(m, 1), (std::vector<int32_t>{1, 2, 3}));
  Vec3d p;
  m.vertices->position(0, p);
  EXPECT_EQ(p.x, 1.0);
  EXPECT_EQ(p.y, 1.0);
  m.vertices->position(3, p);
  EXPECT_EQ(p.x, 0.0);
  EXPECT_EQ(p.y, 0.0);
  EXPECT_EQ(m.flat_vertex_count, 6);  // the flat form stays as it was
  EXPECT_EQ(m.flat_faces[0].v[0], 3);
  EXPECT_EQ(m.bbox_max.x, 1.0);  // the unused vertex is not in the box
  m.to_flat();
  EXPECT_EQ(m.flat_vertex_count, 4);
  EXPECT_EQ(m.flat_faces[1].v[0], 1);
}

TEST(Mesh3d, FromFlatSkipsFacesOutsideVertexArray) {
  Mesh3d m(0, "bad");
  set_flat(m, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 3}, {0, 1, 2}, {-1, 0, 1}});
  m.from_flat();
  EXPECT_EQ(m.face_count(), 1);
  EXPECT_EQ(m.vertex_count(), 3);
}

TEST(Mesh3d, EmptyMeshSurvivesRoundTrip) {
  Mesh3d m(0, "empty");
  m.to_flat();
  EXPECT_NE(m.flat_vertices, nullptr);
  EXPECT_EQ(m.flat_vertex_count, 0);
  m.drop_tables();
  m.from_flat();
  ASSERT_NE(m.vertices, nullptr);
  EXPECT_EQ(m.face_count(), 0);
}

TEST(Mesh3d, DeletingThroughBaseReleasesEverything) {
  // Leaks show up in the sanitizer build.
  Obj3d* o = new Mesh3d(3, "gone");
  Mesh3d* m = static_cast<Mesh3d*>(o);
  m->add_triangle(kP0, kP1, kP2);
  m->to_flat();
  m->set_name("renamed");
  delete o;
}

TEST(Mesh3d, SetNameKeepsACopy) {
  char buffer[8] = "first";
  Mesh3d m(0, buffer);
  buffer[0] = 'X';
  EXPECT_STREQ(m.name(), "first");
  m.set_name(m.name() + 1);
  EXPECT_STREQ(m.name(), "irst");
  m.set_name(nullptr);
  EXPECT_STREQ(m.name(), "");
}

TEST(Mesh3d, WriteStatisticsOfEmptyMesh) {
  std::string path = testing::TempDir() + "mesh3d_statistics.log";
  {
    LogFile log(path.c_str());
    ASSERT_TRUE(log.enabled());
    Mesh3d m(0, "Cube");
    m.write_statistics(log);
    m.drop_tables();
    m.write_statistics(log);  // no tables: nothing
  }
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(),
            "Statistic:\nObject   : Cube\nFaces    : 0\nVertices : 0\n"
            "Min : <0.000000,0.000000,0.000000>\nMax : <0.000000,0.000000,0.000000>\n");
  std::remove(path.c_str());
}

TEST(Mesh3d, WriteStatisticsReportsCountsAndBox) {
  std::string path = testing::TempDir() + "mesh3d_statistics2.log";
  {
    LogFile log(path.c_str());
    Mesh3d m(0, "Quad");
    m.add_triangle(kP0, kP1, kP2);
    m.add_triangle(kP2, kP1, {1.5, 1, -2});
    m.write_statistics(log);
  }
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(),
            "Statistic:\nObject   : Quad\nFaces    : 2\nVertices : 4\n"
            "Min : <0.000000,0.000000,-2.000000>\nMax : <1.500000,1.000000,0.000000>\n");
  std::remove(path.c_str());
}
