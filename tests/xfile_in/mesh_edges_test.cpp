// Meshes read without their edge table (orientation unify off) have the same vertices and
// faces as meshes read with it.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "meshlib/mesh3d.h"
#include "plugins/xfile_in/xfile_parser.h"
#include "settings/log_file.h"
#include "tests/xfile_in/xfile_test_support.h"

namespace {

std::vector<std::unique_ptr<Mesh3d>> parse(const std::string& path, bool edges) {
  std::vector<std::unique_ptr<Mesh3d>> meshes;
  LogFile log(0, "unused.log", "test");
  XFileParseHooks hooks;
  hooks.log = &log;
  hooks.finish_mesh = [&meshes](Mesh3d* mesh) { meshes.emplace_back(mesh); };
  hooks.mesh_edges = edges;
  EXPECT_EQ(ParseXFile(path.c_str(), hooks), 1);
  return meshes;
}

TEST(XFileMeshEdges, MeshesWithoutEdgesHaveTheSameVerticesAndFaces) {
  TempDir dir;
  // Quads, a pentagon cut into ears and a repeated corner, in two meshes.
  std::string path =
      dir.Write("two.x",
                "xof 0302txt 0064\n"
                "Mesh a {\n 6;\n 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;, 0.5;1.5;0;, 0;0;0;;\n"
                " 2;\n 4;0,1,2,3;, 5;0,1,2,4,3;;\n}\n"
                "Mesh b {\n 4;\n 0;0;1;, 2;0;1;, 2;2;1;, 0;2;-1;;\n 1;\n 4;3,2,1,0;;\n}\n");
  auto full = parse(path, true);
  auto lean = parse(path, false);
  ASSERT_EQ(full.size(), 2u);
  ASSERT_EQ(lean.size(), 2u);
  for (std::size_t m = 0; m < full.size(); ++m) {
    EXPECT_GT(full[m]->edge_count(), 0);
    EXPECT_EQ(lean[m]->edges, nullptr);
    ASSERT_EQ(lean[m]->vertex_count(), full[m]->vertex_count());
    ASSERT_EQ(lean[m]->face_count(), full[m]->face_count());
    std::vector<std::vector<Vec3d>> a = Triangles(*full[m]), b = Triangles(*lean[m]);
    for (std::size_t f = 0; f < a.size(); ++f)
      for (int k = 0; k < 3; ++k) EXPECT_EQ(std::memcmp(&a[f][k], &b[f][k], sizeof(Vec3d)), 0);
  }
}

}  // namespace
