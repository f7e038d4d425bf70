// The exchange-format import classes on real files by other programs and on small glTF scenes
// written here: meshes per placement, names, transforms, the up axis, appearances.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "support/file_text.h"
#include "support/plugin_under_test.h"
#include "support/temp_folder.h"

namespace {

const char kGltfClass[] = "glTF 2.0 (*.gltf, *.glb)";

std::string Corpus(const char* name) {
  return std::string(MORVANE_CORPUS_DIR) + "/formats/" + name;
}

class ExchangeImport : public ::testing::Test {
 protected:
  ExchangeImport() : plugin("formats_in.so") {}
  void SetUp() override { ASSERT_TRUE(plugin.loaded()) << plugin.error(); }
  void TearDown() override {
    if (importer != nullptr) importer->DeleteThis();
  }

  // Imports path with the named class; the list lives until the test ends.
  const ObjectList& Import(const char* class_name, const std::string& path) {
    if (importer != nullptr) importer->DeleteThis();
    importer = plugin.NewImporter(class_name);
    EXPECT_NE(importer, nullptr) << class_name;
    static ObjectList empty;
    return importer != nullptr ? *importer->ImportFile(path.c_str()) : empty;
  }
  static const Mesh3d& MeshAt(const ObjectList& list, int i) {
    return *static_cast<const Mesh3d*>(list.get(i));
  }

  PluginUnderTest plugin;
  MeshImporter* importer = nullptr;
  TempFolder temp_{"exchange_import"};
  const std::string folder = temp_.path();
};

// One triangle (0,0,0), (1,0,0), (0,1,0) as a glTF buffer, drawn as triangles and as points.
std::string GltfScene(const std::string& nodes, const std::string& scene_nodes,
                      const std::string& material) {
  return R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":)" + scene_nodes +
         R"(}],"nodes":)" + nodes +
         R"(,"meshes":[{"primitives":[{"attributes":{"POSITION":0},"material":0},)"
         R"({"attributes":{"POSITION":0},"mode":0}]}],"materials":[)" +
         material +
         R"(],"accessors":[{"bufferView":0,"componentType":5126,"count":3,"type":"VEC3",)"
         R"("min":[0,0,0],"max":[1,1,0]}],"bufferViews":[{"buffer":0,"byteLength":36}],)"
         R"("buffers":[{"byteLength":36,"uri":"data:application/octet-stream;base64,)"
         R"(AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAA"}]})";
}

}  // namespace

// Files of other programs: the meshes, triangles and extent each must give.
TEST_F(ExchangeImport, ReadsTheCorpusFilesOfEveryFormat) {
  struct Case {
    const char* file;
    const char* class_name;
    int meshes;
    int triangles;
    double max_z;  // extent along z after import, which shows the up-axis turn
  } cases[] = {
      {"box.obj", "Wavefront OBJ (*.obj)", 1, 12, 0.5},
      {"cube_usemtl.obj", "Wavefront OBJ (*.obj)", 4, 12, 1.0},
      {"cube.ply", "Stanford PLY (*.ply)", 1, 12, 1.0},
      {"cube_binary.ply", "Stanford PLY (*.ply)", 1, 12, 1.0},
      {"triangle_with_two_solids.stl", "STL (*.stl)", 2, 2, 0.0},
      {"sphereWithHole.stl", "STL (*.stl)", 1, 285, 3.0},
      {"BoxTextured.glb", kGltfClass, 1, 12, 0.5},
      {"cube_triangulate.dae", "COLLADA (*.dae)", 1, 12, 0.5},
  };
  for (const Case& c : cases) {
    if (access(Corpus(c.file).c_str(), R_OK) != 0) {
      std::printf("skipped: %s is missing\n", c.file);
      continue;
    }
    const ObjectList& list = Import(c.class_name, Corpus(c.file));
    ASSERT_EQ(list.count(), c.meshes) << c.file;
    int triangles = 0;
    double max_z = -1e300;
    for (int i = 0; i < list.count(); ++i) {
      triangles += MeshAt(list, i).flat_face_count;
      max_z = std::fmax(max_z, MeshAt(list, i).bbox_max.z);
    }
    EXPECT_EQ(triangles, c.triangles) << c.file;
    EXPECT_NEAR(max_z, c.max_z, 1e-6) << c.file;
  }
}

TEST_F(ExchangeImport, CubeCornersAreWeldedByOurTables) {
  if (access(Corpus("box.obj").c_str(), R_OK) != 0) GTEST_SKIP() << "corpus missing";
  const ObjectList& list = Import("Wavefront OBJ (*.obj)", Corpus("box.obj"));
  ASSERT_EQ(list.count(), 1);
  EXPECT_EQ(MeshAt(list, 0).flat_vertex_count, 8) << "36 corners weld into the cube's 8";
}

TEST_F(ExchangeImport, ObjMaterialsBecomeAppearances) {
  if (access(Corpus("cube_usemtl.obj").c_str(), R_OK) != 0) GTEST_SKIP() << "corpus missing";
  const ObjectList& list = Import("Wavefront OBJ (*.obj)", Corpus("cube_usemtl.obj"));
  ASSERT_EQ(list.count(), 4);
  // The first mesh's material "mtl3" is missing from the .mtl; the others are white there.
  for (int i = 1; i < list.count(); ++i) {
    const Mesh3d& mesh = MeshAt(list, i);
    EXPECT_EQ(mesh.has_appearance, 1) << mesh.name();
    EXPECT_EQ(colour_text(mesh.appearance), "#FFFFFF") << mesh.name();
  }
}

TEST_F(ExchangeImport, StlWithoutMaterialsKeepsTheViewersColours) {
  if (access(Corpus("sphereWithHole.stl").c_str(), R_OK) != 0) GTEST_SKIP() << "corpus missing";
  const ObjectList& list = Import("STL (*.stl)", Corpus("sphereWithHole.stl"));
  ASSERT_EQ(list.count(), 1);
  EXPECT_EQ(MeshAt(list, 0).has_appearance, 0);
}

TEST_F(ExchangeImport, EveryPlacementOfAMeshIsAMeshOfItsOwnWithAUniqueName) {
  const std::string path = folder + "/placed.gltf";
  write_file(path, GltfScene(R"([{"name":"Wing","translation":[10,0,0],"mesh":0},)"
                             R"({"name":"Wing","translation":[0,0,5],"mesh":0},)"
                             R"({"name":"Body","scale":[2,2,2],"children":[3]},)"
                             R"({"name":"Tail","translation":[0,3,0],"mesh":0}])",
                             "[0,1,2]",
                             R"({"pbrMetallicRoughness":{"baseColorFactor":[1,0.2159,0,0.5],)"
                             R"("metallicFactor":0,"roughnessFactor":0.5},"alphaMode":"BLEND"})"));
  const ObjectList& list = Import(kGltfClass, path);
  ASSERT_EQ(list.count(), 3) << "one mesh per placement; the points primitive is left out";
  struct Expected {
    const char* name;
    double min[3];
    double max[3];
  } expected[] = {
      // glTF is y up: (x, y, z) comes in as (x, -z, y), so the file's up is our z.
      {"Wing", {10, 0, 0}, {11, 0, 1}},
      {"Wing_0", {0, -5, 0}, {1, -5, 1}},
      // The parent's scale applies below the child's own move: (0, 3, 0) becomes (0, 6, 0).
      {"Tail", {0, 0, 6}, {2, 0, 8}},
  };
  for (int i = 0; i < 3; ++i) {
    const Mesh3d& mesh = MeshAt(list, i);
    EXPECT_STREQ(mesh.name(), expected[i].name);
    EXPECT_EQ(mesh.flat_face_count, 1);
    const double got_min[3] = {mesh.bbox_min.x, mesh.bbox_min.y, mesh.bbox_min.z};
    const double got_max[3] = {mesh.bbox_max.x, mesh.bbox_max.y, mesh.bbox_max.z};
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(got_min[k], expected[i].min[k], 1e-6) << expected[i].name << " axis " << k;
      EXPECT_NEAR(got_max[k], expected[i].max[k], 1e-6) << expected[i].name << " axis " << k;
    }
    // Linear 0.2159 is sRGB 0.502 (128 of 255); half opacity makes it see-through.
    EXPECT_EQ(mesh.has_appearance, 1);
    EXPECT_EQ(colour_text(mesh.appearance), "#FF800080");
    EXPECT_EQ(mesh.appearance.finish, Finish::kTransparent);
  }
}

TEST_F(ExchangeImport, MetallicMaterialsBecomeMetalFinishes) {
  const std::string path = folder + "/metal.gltf";
  write_file(path, GltfScene(R"([{"name":"Part","mesh":0}])", "[0]",
                             R"({"pbrMetallicRoughness":{"baseColorFactor":[1,1,1,1],)"
                             R"("metallicFactor":1,"roughnessFactor":0.05}})"));
  const ObjectList& list = Import(kGltfClass, path);
  ASSERT_EQ(list.count(), 1);
  EXPECT_EQ(MeshAt(list, 0).appearance.finish, Finish::kChrome);
}

// The same scene as Blender writes it to FBX (y up, as by default, and z up) and to COLLADA
// (z up): every file names its up axis, and every one comes in standing as it stood in Blender,
// the spire on the ground at x = 4, with the materials' colours.
TEST_F(ExchangeImport, BlenderFbxAndColladaStandAsTheyStoodWithTheirColours) {
  const char* const files[][2] = {{"two_objects.fbx", "Autodesk FBX (*.fbx)"},
                                  {"two_objects_z_up.fbx", "Autodesk FBX (*.fbx)"},
                                  {"two_objects.dae", "COLLADA (*.dae)"}};
  for (const auto& file : files) {
    const ObjectList& list =
        Import(file[1], std::string(MORVANE_SOURCE_DIR) + "/tests/formats_in/data/" + file[0]);
    ASSERT_EQ(list.count(), 2) << file[0];
    for (int i = 0; i < 2; ++i) {
      const Mesh3d& mesh = MeshAt(list, i);
      const bool spire = std::string(mesh.name()) == "Spire";
      ASSERT_TRUE(spire || std::string(mesh.name()) == "Crate") << file[0] << ": " << mesh.name();
      EXPECT_EQ(mesh.flat_face_count, spire ? 14 : 12) << file[0];
      const Vec3d low = spire ? Vec3d{3, -1, 0} : Vec3d{-1, -1, -1};
      const Vec3d high = spire ? Vec3d{5, 1, 2} : Vec3d{1, 1, 1};
      for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR((&mesh.bbox_min.x)[k], (&low.x)[k], 1e-5) << file[0] << " " << mesh.name();
        EXPECT_NEAR((&mesh.bbox_max.x)[k], (&high.x)[k], 1e-5) << file[0] << " " << mesh.name();
      }
      EXPECT_EQ(mesh.has_appearance, 1) << file[0];
      EXPECT_EQ(colour_text(mesh.appearance), spire ? "#1A33CC" : "#CC1A1A") << file[0];
    }
  }
}
