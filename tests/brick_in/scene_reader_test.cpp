#include "plugins/brick_in/scene_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <memory>

#include "meshlib/mesh3d.h"
#include "plugins/brick_in/scene_mesh.h"
#include "settings/log_file.h"
#include "tests/brick_in/ldraw_lines.h"

namespace {

const char kSquareQuad[] = "4 16 0 0 0 1 0 0 1 0 1 0 0 1\n";  // one quad: two triangles

struct Read {
  bool ok = false;
  LDrawScene scene;
  std::string log;
  uint32_t last_position = 0;
  uint32_t total = 0;
};

std::unique_ptr<Read> read_scene(const TempFolder& t, const std::string& model,
                                 const std::string& search_path,
                                 const LDrawLimits& limits = LDrawLimits()) {
  auto r = std::make_unique<Read>();
  std::string log_name = t / "scene.log";
  {
    LogFile log(log_name.c_str());
    FileProgress progress = [&r](uint32_t position, uint32_t total) {
      r->last_position = position;
      r->total = total;
    };
    r->ok = read_ldraw_scene(model, search_path, log, progress, r->scene, limits);
  }
  r->log = TempFolder::read_file(log_name);
  return r;
}

std::vector<std::string> names(const LDrawScene& scene) {
  std::vector<std::string> n;
  for (const SceneElement& e : scene.elements) n.push_back(e.name);
  return n;
}

int count_of(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

}  // namespace

TEST(SceneReader, TwoPlacementsAreNumberedPerPartWithTheirColours) {
  TempFolder t;
  t.write("parts/3001.dat", kSquareQuad);
  t.write("parts/3003.dat", kSquareQuad);
  std::string model =
      t.write("m.ldr", ref_line(4, 0, 0, 0, "3001.dat") + ref_line(2, 0, 0, 0, "3003.dat") +
                           ref_line(1, 0, 0, 0, "3001.dat"));
  auto r = read_scene(t, model, t / "parts;");
  ASSERT_TRUE(r->ok);
  EXPECT_EQ(names(r->scene),
            (std::vector<std::string>{"3001_0_C4", "3003_0_C2", "3001_1_C1", "_default"}));
  ASSERT_EQ(r->scene.cache.entries().size(), 2u);
  EXPECT_EQ(r->scene.cache.entries()[0]->name, "3001.dat");
  EXPECT_EQ(r->scene.elements[2].colour, 1);
  EXPECT_EQ(r->total, r->scene.elements.size() ? r->total : 0u);
  EXPECT_GT(r->total, 0u);
}

TEST(SceneReader, ModelTrianglesAndQuadsBecomeDefaultLast) {
  TempFolder t;
  t.write("parts/3001.dat", kSquareQuad);
  std::string model = t.write("m.ldr", std::string("3 16 0 0 0 1 0 0 0 1 0\n") +
                                           ref_line(4, 0, 0, 0, "3001.dat") + kSquareQuad);
  auto r = read_scene(t, model, t / "parts;");
  ASSERT_EQ(r->scene.elements.size(), 2u);
  EXPECT_EQ(r->scene.elements.back().name, "_default");
  EXPECT_EQ(r->scene.elements.back().part->geometry.triangle_count(), 3);
  std::unique_ptr<Mesh3d> mesh(build_scene_mesh(r->scene.elements.back()));
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->face_count(), 3);
}

TEST(SceneReader, QuadSplitsAlongTheFirstToThirdCornerDiagonal) {
  TempFolder t;
  std::string model = t.write("m.ldr", "4 16 0 0 0 2 0 0 2 0 2 0 0 2\n");
  auto r = read_scene(t, model, "");
  const std::vector<Vec3d>& c = r->scene.model->geometry.corners;
  ASSERT_EQ(c.size(), 6u);
  // (p1, p2, p3) then (p1, p3, p4)
  EXPECT_DOUBLE_EQ(c[0].x, 0);
  EXPECT_DOUBLE_EQ(c[1].x, 2);
  EXPECT_DOUBLE_EQ(c[2].z, 2);
  EXPECT_DOUBLE_EQ(c[2].x, 2);
  EXPECT_DOUBLE_EQ(c[3].x, 0);
  EXPECT_DOUBLE_EQ(c[3].z, 0);
  EXPECT_DOUBLE_EQ(c[4].x, 2);
  EXPECT_DOUBLE_EQ(c[4].z, 2);
  EXPECT_DOUBLE_EQ(c[5].x, 0);
  EXPECT_DOUBLE_EQ(c[5].z, 2);
}

TEST(SceneReader, NoDefaultMeshWithoutOwnGeometry) {
  TempFolder t;
  t.write("parts/3001.dat", kSquareQuad);
  std::string model =
      t.write("m.ldr", "0 comment\n2 24 0 0 0 1 1 1\n" + ref_line(4, 0, 0, 0, "3001.dat"));
  auto r = read_scene(t, model, t / "parts;");
  EXPECT_EQ(build_scene_mesh(r->scene.elements.back()), nullptr);
}

TEST(SceneReader, MalformedLinesAreLoggedAndSkipped) {
  TempFolder t;
  t.write("parts/3001.dat", kSquareQuad);
  std::string model =
      t.write("m.ldr", "1 4 0 0 0 1 0 0 0 1 0 0 1 3001.dat\n3 16 1 2 3\n4 16 0 0 0 1 1 1\n" +
                           ref_line(4, 0, 0, 0, "3001.dat"));
  auto r = read_scene(t, model, t / "parts;");
  EXPECT_NE(r->log.find(" ERROR: Part Reference: 4 0 0 0 1 0 0 0 1 0 0 1 3001.dat\n"),
            std::string::npos);
  EXPECT_NE(r->log.find("ERROR: Triangle: 16 1 2 3\n"), std::string::npos);
  EXPECT_NE(r->log.find("ERROR Quad: 16 0 0 0 1 1 1\n"), std::string::npos);
  EXPECT_EQ(names(r->scene), (std::vector<std::string>{"3001_0_C4", "_default"}));
}

TEST(SceneReader, TabsSeparateFieldsLikeBlanks) {
  TempFolder t;
  t.write("parts/3001.dat", kSquareQuad);
  std::string model = t.write("m.ldr", "\t1\t4\t0\t0\t0\t1\t0\t0\t0\t1\t0\t0\t0\t1\t3001.dat\n");
  auto r = read_scene(t, model, t / "parts;");
  EXPECT_EQ(names(r->scene), (std::vector<std::string>{"3001_0_C4", "_default"}));
}

TEST(SceneReader, SubPartsFlattenAtAnyDepthWithComposedPlacements) {
  TempFolder t;
  t.write("parts/leaf.dat", "3 16 0 0 0 1 0 0 0 0 1\n");
  t.write("parts/s/mid.dat",
          ref_line(16, 10, 0, 0, "leaf.dat") + ref_line(16, 20, 0, 0, "leaf.dat"));
  // top: mid moved by 100 in y, and mid scaled by 2 in x
  t.write("parts/top.dat",
          ref_line(16, 0, 100, 0, "s\\mid.dat") + "1 16 0 0 0 2 0 0 0 1 0 0 0 1 S\\MID.DAT\n");
  std::string model = t.write("m.ldr", ref_line(7, 0, 0, 1000, "top.dat"));
  auto r = read_scene(t, model, t / "parts;");
  ASSERT_EQ(names(r->scene), (std::vector<std::string>{"top_0_C7", "_default"}));
  const PartEntry* top = r->scene.elements[0].part;
  ASSERT_EQ(top->geometry.triangle_count(), 4);
  const std::vector<Vec3d>& c = top->geometry.corners;
  EXPECT_DOUBLE_EQ(c[0].x, 10);
  EXPECT_DOUBLE_EQ(c[0].y, 100);
  EXPECT_DOUBLE_EQ(c[3].x, 20);
  EXPECT_DOUBLE_EQ(c[3].y, 100);
  EXPECT_DOUBLE_EQ(c[6].x, 20);
  EXPECT_DOUBLE_EQ(c[6].y, 0);   // 2 * 10
  EXPECT_DOUBLE_EQ(c[7].x, 22);  // 2 * (10 + 1)
  // each part read once: leaf, mid (one key for both spellings), top
  ASSERT_EQ(r->scene.cache.entries().size(), 3u);
  EXPECT_EQ(r->scene.cache.entries()[0]->name, "leaf.dat");
  EXPECT_EQ(r->scene.cache.entries()[1]->name, "s\\mid.dat");
  EXPECT_EQ(r->scene.cache.entries()[2]->name, "top.dat");
}

TEST(SceneReader, ModelPlacementIsTurnedIntoSystemAxes) {
  TempFolder t;
  t.write("parts/p.dat", "3 16 1 2 3 1 2 3 1 2 3\n");
  std::string model = t.write("m.ldr", ref_line(4, 10, 20, 30, "p.dat"));
  auto r = read_scene(t, model, t / "parts;");
  std::unique_ptr<Mesh3d> mesh(build_scene_mesh(r->scene.elements[0]));
  ASSERT_NE(mesh, nullptr);
  Vec3d p[3];
  mesh->triangle_positions(0, p);
  // LDraw (11, 22, 33) -> (x, z, -y)
  EXPECT_DOUBLE_EQ(p[0].x, 11);
  EXPECT_DOUBLE_EQ(p[0].y, 33);
  EXPECT_DOUBLE_EQ(p[0].z, -22);
  EXPECT_STREQ(mesh->name(), "p_0_C4");
}

TEST(SceneReader, MissingPartsAreLoggedEveryTimeAndTheRestImports) {
  TempFolder t;
  t.write("parts/3001.dat", kSquareQuad);
  t.write("parts/holder.dat", ref_line(16, 0, 0, 0, "gone.dat") + kSquareQuad);
  std::string model =
      t.write("m.ldr", ref_line(4, 0, 0, 0, "gone.dat") + ref_line(4, 0, 0, 0, "holder.dat") +
                           ref_line(4, 0, 0, 0, "gone.dat") + ref_line(4, 0, 0, 0, "3001.dat"));
  auto r = read_scene(t, model, t / "parts;");
  EXPECT_EQ(count_of(r->log, "File gone.dat not found\n"), 3);
  EXPECT_NE(r->log.find("\t\tFile gone.dat not found\n"), std::string::npos);  // depth 1
  EXPECT_EQ(names(r->scene), (std::vector<std::string>{"holder_0_C4", "3001_0_C4", "_default"}));
}

TEST(SceneReader, MissingModelFileIsLoggedAndYieldsNothing) {
  TempFolder t;
  auto r = read_scene(t, t / "nothing.ldr", "");
  EXPECT_FALSE(r->ok);
  EXPECT_NE(r->log.find("File " + t / "nothing.ldr" + " not found\n"), std::string::npos);
  EXPECT_TRUE(r->scene.elements.empty());
  auto folder = read_scene(t, t.path(), "");
  EXPECT_FALSE(folder->ok);
}

TEST(SceneReader, CyclesAreLoggedAndSkipped) {
  TempFolder t;
  t.write("parts/a.dat", ref_line(16, 0, 0, 0, "b.dat") + kSquareQuad);
  t.write("parts/b.dat", ref_line(16, 0, 0, 0, "A.DAT") + "3 16 0 0 0 1 0 0 0 1 0\n");
  t.write("parts/self.dat", ref_line(16, 0, 0, 0, "self.dat") + kSquareQuad);
  std::string model =
      t.write("m.ldr", ref_line(4, 0, 0, 0, "a.dat") + ref_line(4, 0, 0, 0, "self.dat"));
  auto r = read_scene(t, model, t / "parts;");
  EXPECT_NE(r->log.find("ERROR: A.DAT refers to itself, reference skipped\n"), std::string::npos);
  EXPECT_NE(r->log.find("ERROR: self.dat refers to itself, reference skipped\n"),
            std::string::npos);
  ASSERT_EQ(names(r->scene), (std::vector<std::string>{"a_0_C4", "self_0_C4", "_default"}));
  EXPECT_EQ(r->scene.elements[0].part->geometry.triangle_count(), 3);
  EXPECT_EQ(r->scene.elements[1].part->geometry.triangle_count(), 2);
}

TEST(SceneReader, DeepNestingNeitherOverflowsNorRunsOutOfFiles) {
  TempFolder t;
  const int depth = 3000;  // more than a process may hold open at once
  for (int i = 0; i < depth; ++i)
    t.write("parts/n" + std::to_string(i) + ".dat",
            ref_line(16, 1, 0, 0, "n" + std::to_string(i + 1) + ".dat"));
  t.write("parts/n" + std::to_string(depth) + ".dat", "3 16 0 0 0 1 0 0 0 0 1\n");
  std::string model = t.write("m.ldr", ref_line(4, 0, 0, 0, "n0.dat"));
  auto r = read_scene(t, model, t / "parts;");
  ASSERT_EQ(r->scene.elements.size(), 2u);
  ASSERT_EQ(r->scene.elements[0].part->geometry.triangle_count(), 1);
  EXPECT_DOUBLE_EQ(r->scene.elements[0].part->geometry.corners[0].x, depth);
}

TEST(SceneReader, TriangleLimitStopsMultiplyingParts) {
  TempFolder t;
  std::string ten;
  for (int i = 0; i < 10; ++i) ten += ref_line(16, i, 0, 0, "x.dat");
  t.write("parts/x.dat", "3 16 0 0 0 1 0 0 0 0 1\n");
  t.write("parts/y.dat", ten);
  std::string ten_y;
  for (int i = 0; i < 10; ++i) ten_y += ref_line(16, i, 0, 0, "y.dat");
  t.write("parts/z.dat", ten_y);
  std::string model = t.write("m.ldr", ref_line(4, 0, 0, 0, "y.dat"));
  LDrawLimits limits;
  limits.max_part_triangles = 5;
  auto r = read_scene(t, model, t / "parts;", limits);
  EXPECT_EQ(r->scene.elements[0].part->geometry.triangle_count(), 5);
  EXPECT_EQ(count_of(r->log, "ERROR: y.dat holds more than 5 triangles"), 1);

  // z nests ten y: the import's budget stops it, once, whatever the parts' own limit.
  model = t.write("m2.ldr", ref_line(4, 0, 0, 0, "z.dat") + ref_line(4, 0, 0, 0, "x.dat"));
  limits.max_part_triangles = 1000;
  limits.max_total_triangles = 25;
  r = read_scene(t, model, t / "parts;", limits);
  ASSERT_EQ(names(r->scene), (std::vector<std::string>{"z_0_C4", "x_0_C4", "_default"}));
  // x (1) and y (10) fit; z takes one more y (10), then the budget of 25 is spent
  EXPECT_EQ(r->scene.elements[0].part->geometry.triangle_count(), 10);
  EXPECT_EQ(count_of(r->log, "ERROR: the parts hold more than 25 triangles"), 1);
}

TEST(SceneReader, HexColoursKeepTheirGeometry) {
  TempFolder t;
  t.write("parts/p.dat", "3 0x2FF0000 0 0 0 1 0 0 0 1 0\n4 0x2000000 0 0 0 1 0 0 1 1 0 0 1 0\n");
  std::string model = t.write("m.ldr", "1 0x2FF8000 0 0 0 1 0 0 0 1 0 0 0 1 p.dat\n");
  auto r = read_scene(t, model, t / "parts;");
  ASSERT_EQ(r->scene.elements.size(), 2u);
  EXPECT_EQ(r->scene.elements[0].name, "p_0_C" + std::to_string(0x2FF8000));
  EXPECT_EQ(r->scene.elements[0].part->geometry.triangle_count(), 3);
}

TEST(SceneReader, ModelFolderIsSearchedAfterTheSearchPath) {
  TempFolder t;
  t.write("parts/both.dat", "3 16 0 0 0 1 0 0 0 1 0\n");
  t.write("models/both.dat", kSquareQuad);
  t.write("models/Sub Model.ldr", kSquareQuad);
  std::string model = t.write(
      "models/m.ldr", ref_line(4, 0, 0, 0, "both.dat") + ref_line(4, 0, 0, 0, "sub model.LDR"));
  auto r = read_scene(t, model, t / "parts;");
  ASSERT_EQ(names(r->scene), (std::vector<std::string>{"both_0_C4", "sub model_0_C4", "_default"}));
  EXPECT_EQ(r->scene.elements[0].part->geometry.triangle_count(), 1);  // from parts/
  EXPECT_EQ(r->scene.elements[1].part->geometry.triangle_count(), 2);
}

TEST(SceneReader, MultiPartDocumentSectionsResolveBeforeTheDisk) {
  TempFolder t;
  t.write("parts/3001.dat", kSquareQuad);
  t.write("parts/wheel.ldr", "3 16 0 0 0 1 0 0 0 1 0\n");  // shadowed by the section
  std::string model = t.write(
      "car.mpd", "0 FILE car.ldr\n" + ref_line(4, 0, 0, 0, "Wheel.LDR") +
                     ref_line(1, 0, 0, 0, "wheel.ldr") + ref_line(2, 0, 0, 0, "3001.dat") +
                     ref_line(3, 0, 0, 0, "my body.ldr") + "0 FILE wheel.ldr\n" + kSquareQuad +
                     kSquareQuad + "0 NOFILE\n" +
                     "3 16 9 9 9 9 9 9 9 9 9\n" +  // outside every section: not part of anything
                     "0 FILE my body.ldr\n" + ref_line(16, 0, 0, 0, "3001.dat") +
                     ref_line(16, 0, 0, 0, "car.ldr"));
  auto r = read_scene(t, model, t / "parts;");
  ASSERT_EQ(names(r->scene), (std::vector<std::string>{"Wheel_0_C4", "wheel_1_C1", "3001_0_C2",
                                                       "my body_0_C3", "_default"}));
  EXPECT_EQ(r->scene.elements[0].part->geometry.triangle_count(), 4);
  EXPECT_EQ(r->scene.elements[3].part->geometry.triangle_count(), 2);
  EXPECT_EQ(r->scene.elements[4].part->geometry.triangle_count(), 0);
  EXPECT_NE(r->log.find("ERROR: car.ldr refers to itself"), std::string::npos);
}

TEST(SceneReader, LdrWithFileSectionsIsAMultiPartDocument) {
  TempFolder t;
  std::string model = t.write("m.ldr", "0 FILE main.ldr\n" + ref_line(4, 0, 0, 0, "sub.ldr") +
                                           "0 FILE sub.ldr\n" + kSquareQuad);
  auto r = read_scene(t, model, "");
  ASSERT_EQ(names(r->scene), (std::vector<std::string>{"sub_0_C4", "_default"}));
  EXPECT_EQ(r->scene.elements[1].part->geometry.triangle_count(), 0);
}

TEST(SceneReader, ByteOrderMarkDoesNotHideTheFirstLine) {
  TempFolder t;
  t.write("parts/p.dat", "\xEF\xBB\xBF" + std::string(kSquareQuad));
  std::string model =
      t.write("m.mpd",
              "\xEF\xBB\xBF"
              "0 FILE main.ldr\n" +
                  ref_line(4, 0, 0, 0, "p.dat") + "0 FILE other.ldr\n" + kSquareQuad);
  auto r = read_scene(t, model, t / "parts;");
  ASSERT_EQ(names(r->scene), (std::vector<std::string>{"p_0_C4", "_default"}));
  EXPECT_EQ(r->scene.elements[0].part->geometry.triangle_count(), 2);
  EXPECT_EQ(r->scene.elements[1].part->geometry.triangle_count(), 0);
}

TEST(SceneReader, BinaryJunkNeverStopsTheReader) {
  TempFolder t;
  std::string junk;
  uint32_t x = 12345;
  for (int i = 0; i < 20000; ++i) {
    x = x * 1103515245u + 12345u;
    junk.push_back(static_cast<char>(x >> 24));
  }
  t.write("parts/junk.dat", junk);
  std::string model = t.write("m.ldr", junk + "\n" + ref_line(4, 0, 0, 0, "junk.dat") + junk);
  auto r = read_scene(t, model, t / "parts;");
  EXPECT_TRUE(r->ok);
  EXPECT_EQ(r->scene.elements.back().name, "_default");
}

// Meshes built from a part whose distinct positions were found once are those built corner by
// corner with add_triangle: the same vertices, in the same order, and faces, also where +0 and
// -0 and nearly equal corners meet and for the triangles of one colour.
TEST(SceneMesh, IndexedPartBuildsTheMeshOfAddTriangle) {
  PartEntry part;
  const Vec3d c[] = {{0, 0, 0},     {1, 0, 0}, {0, 1, 0}, {-0.0, 0, 0}, {1, 0, 0},
                     {1, 1, 1e-13}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}};
  part.geometry.corners.assign(std::begin(c), std::end(c));
  part.geometry.colours = {4, 16, 4};
  SceneElement element;
  element.name = "p";
  element.colour = 1;
  element.part = &part;
  mat_identity(element.matrix);
  element.matrix.m[3][0] = 0.1;  // a translation that rounds
  element.matrix.m[1][1] = -3.0;
  index_points(part.geometry);
  EXPECT_EQ(part.geometry.points.size(), 6u);
  for (int32_t colour : {-1, 1, 4}) {
    Mesh3d expected(3, "p");
    for (int t = 0; t < 3; ++t) {
      if (colour >= 0 && effective_colour(element, part.geometry.colours[t]) != colour) continue;
      Vec3d q[3];
      for (int k = 0; k < 3; ++k) {
        mat_transform_point(q[k], element.matrix, c[3 * t + k]);
        q[k] = ldraw_to_system_axes(q[k]);
      }
      expected.add_triangle(q[0], q[1], q[2]);
    }
    std::unique_ptr<Mesh3d> got(colour < 0 ? build_scene_mesh(element)
                                           : build_scene_mesh_of_colour(element, "p", colour));
    ASSERT_NE(got, nullptr);
    ASSERT_EQ(got->vertex_count(), expected.vertex_count());
    ASSERT_EQ(got->face_count(), expected.face_count());
    for (int32_t v = 0; v < got->vertex_count(); ++v) {
      Vec3d a, b;
      got->vertices->position(v, a);
      expected.vertices->position(v, b);
      EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << v;
    }
    for (int32_t f = 0; f < got->face_count(); ++f) {
      int32_t a[3], b[3];
      got->faces->face(f, a);
      expected.faces->face(f, b);
      EXPECT_TRUE(a[0] == b[0] && a[1] == b[1] && a[2] == b[2]) << f;
    }
  }
}
