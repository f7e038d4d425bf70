// The export class "Direct 3D (*.x)" through the real plug-in library, without windows: mode 2
// names, the log, objects left as they were, unwritable targets, and what readers make of the
// file (our own importer and assimp).

#include <gtest/gtest.h>

#include "support/file_text.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "meshlib/light3d.h"
#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "settings/settings_store.h"
#include "support/plugin_under_test.h"

namespace {

bool exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

Vec3d v(double x, double y, double z) { return Vec3d{x, y, z}; }

// A mesh in the flat form, as an importer hands it to the host: a unit cube of 12 triangles.
Mesh3d* new_cube(const char* name, double x0 = 0.0) {
  auto* mesh = new Mesh3d(8, name);
  const Vec3d c[8] = {v(x0, 0, 0), v(x0 + 1, 0, 0), v(x0 + 1, 1, 0), v(x0, 1, 0),
                      v(x0, 0, 1), v(x0 + 1, 0, 1), v(x0 + 1, 1, 1), v(x0, 1, 1)};
  const int quads[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                           {2, 3, 7, 6}, {1, 2, 6, 5}, {3, 0, 4, 7}};
  for (const auto& q : quads) {
    mesh->add_triangle(c[q[0]], c[q[1]], c[q[2]]);
    mesh->add_triangle(c[q[0]], c[q[2]], c[q[3]]);
  }
  mesh->to_flat();
  mesh->drop_tables();
  return mesh;
}

class DirectXExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plugin.loaded()) << plugin.error();
    char pattern[] = "/tmp/xfile_out_test.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
    setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    SettingsWriteInt("xfile_out", "Common Settings", "ld_mode", 1);
    SettingsWriteInt("xfile_out", "Common Settings", "verbose_mode", 1);
    SettingsWriteString("xfile_out", "Common Settings", "logfilename",
                        (folder + "/xfileout.log").c_str());
  }
  void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }

  // Exports list with mode 2 to <folder>/<base>.x and returns the file's bytes.
  std::string export_to(ObjectList& list, const std::string& base) {
    MeshExporter* exporter = plugin.NewExporter("Direct 3D (*.x)");
    EXPECT_NE(exporter, nullptr);
    if (exporter == nullptr) return "";
    std::string path = folder + "/" + base;
    ExportFileNames names = {path.c_str(), nullptr};
    exporter->Export(&list, EXPORT_GIVEN_NAMES, &names);
    exporter->DeleteThis();
    return read_file(path + ".x");
  }

  PluginUnderTest plugin{"xfile_out.so"};
  std::string folder;
};

}  // namespace

TEST_F(DirectXExportTest, ModeTwoWritesTheBaseNameWithItsExtension) {
  ObjectList list(release_object);
  list.append(new_cube("cube"));
  std::string bytes = export_to(list, "out");
  EXPECT_EQ(bytes.rfind("xof 0302txt 0064\n", 0), 0u);
  EXPECT_NE(bytes.find("Mesh cube {\n 8;\n"), std::string::npos);
  EXPECT_NE(bytes.find(" 12;\n"), std::string::npos);
  EXPECT_EQ(bytes.find('\r'), std::string::npos) << "ld_mode 1 writes LF only";
  char stored[512] = "";
  SettingsReadString("xfile_out", "Specific Settings", "file_name", "", stored, sizeof stored);
  EXPECT_EQ(std::string(stored), folder + "/out.x");
}

TEST_F(DirectXExportTest, ListWithoutMeshesWritesTheHeadAndLogsStartAndEnd) {
  ObjectList list(release_object);
  list.append(new Light3d("lamp", v(1, 1, 1), v(0, 0, 5)));
  std::string bytes = export_to(list, "lights");
  EXPECT_EQ(
      bytes.size(),
      bytes.find("Material mat_default {") +
          std::string(
              "Material mat_default {\n\t0.800000;0.800000;0.800000;1.000000;;\n\t32.000000;\n"
              "\t0.700000;0.700000;0.700000;;\n\t0.000000;0.000000;0.000000;;\n}\n\n")
              .size());
  std::string log = read_file(folder + "/xfileout.log");
  EXPECT_EQ(log.rfind("Direct X Export Plugin 0.2 ", 0), 0u) << log;
  std::string name = folder + "/lights.x";
  EXPECT_NE(log.find("Writing " + name + " started ...\n"), std::string::npos) << log;
  EXPECT_NE(log.find("Writing " + name + " finished       \n"), std::string::npos) << log;
  EXPECT_EQ(log.find("Working on"), std::string::npos) << "a light is skipped without a trace";
  EXPECT_NE(log.find("\t ext: x\n\t smooth_angle: 70.000000\n"), std::string::npos) << log;
}

TEST_F(DirectXExportTest, ExportLeavesTheObjectAsItFoundIt) {
  SettingsWriteDouble("xfile_out", "Common Settings", "size_value", 2.0);
  SettingsWriteInt("xfile_out", "Common Settings", "swap_mode", 3);
  ObjectList list(release_object);
  Mesh3d* cube = new_cube("cube");
  list.append(cube);
  Vec3d first = cube->flat_vertices[1];
  std::string bytes = export_to(list, "scaled");
  EXPECT_NE(bytes.find(" 2.000000;0.000000;0.000000;"), std::string::npos) << "written scaled";
  EXPECT_EQ(cube->vertices, nullptr) << "indexed form dropped";
  EXPECT_EQ(cube->flat_vertex_count, 8);
  EXPECT_EQ(cube->flat_vertices[1].x, first.x);
  EXPECT_EQ(cube->bbox_max.x, 1.0);
  EXPECT_EQ(cube->bbox_max.z, 1.0);
  EXPECT_EQ(cube->bbox_min.y, 0.0);
}

TEST_F(DirectXExportTest, ModeZeroWithoutWindowsWritesNothing) {
  ObjectList list(release_object);
  list.append(new_cube("cube"));
  SettingsWriteString("xfile_out", "Specific Settings", "file_name", (folder + "/asked.x").c_str());
  MeshExporter* exporter = plugin.NewExporter("Direct 3D (*.x)");
  ASSERT_NE(exporter, nullptr);
  exporter->Export(&list, EXPORT_ASK, nullptr);
  exporter->DeleteThis();
  EXPECT_FALSE(exists(folder + "/asked.x"));
}

TEST_F(DirectXExportTest, ReadOnlyTargetAndUnwritableFolderAreLeftAlone) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes through every permission";
  ObjectList list(release_object);
  list.append(new_cube("cube"));
  std::string target = folder + "/locked.x";
  { std::ofstream(target) << "keep me"; }
  chmod(target.c_str(), 0444);
  export_to(list, "locked");
  EXPECT_EQ(read_file(target), "keep me");

  std::string closed = folder + "/closed";
  mkdir(closed.c_str(), 0555);
  export_to(list, "closed/out");
  EXPECT_FALSE(exists(closed + "/out.x"));
}

TEST_F(DirectXExportTest, FailedWriteLeavesNoTemporaryFileAndKeepsTheOldTarget) {
  // A folder named like the target cannot be replaced by a file.
  ObjectList list(release_object);
  list.append(new_cube("cube"));
  mkdir((folder + "/taken.x").c_str(), 0755);
  export_to(list, "taken");
  struct stat st;
  ASSERT_EQ(stat((folder + "/taken.x").c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(std::system(("test -z \"$(ls -A '" + folder +
                         "' | grep -v -e config -e taken.x -e xfileout.log)\"")
                            .c_str()),
            0);
}

TEST_F(DirectXExportTest, AssimpReadsEveryFaceWeWrite) {
  ObjectList list(release_object);
  list.append(new_cube("first"));
  // A name with a blank, written safely. The cube stands elsewhere: assimp folds meshes of
  // identical geometry into one instance.
  list.append(new_cube("second cube", 3.0));
  export_to(list, "two");
  int status = 0;
  const std::string output = command_output("assimp info '" + folder + "/two.x' 2>&1", &status);
  ASSERT_EQ(status, 0) << output;
  // assimp reports the total number of faces of the scene as "Faces: N".
  EXPECT_NE(output.find("Faces:"), std::string::npos) << output;
  std::string::size_type at = output.find("Faces:");
  EXPECT_EQ(std::atoi(output.c_str() + at + 6), 24) << output;
}

TEST_F(DirectXExportTest, OurImporterReadsBackWhatWeWrite) {
  PluginUnderTest reader("xfile_in.so");
  ASSERT_TRUE(reader.loaded()) << reader.error();
  ObjectList list(release_object);
  list.append(new_cube("first"));
  list.append(new_cube("3001_0_C4", 2.5));
  Mesh3d* odd = new Mesh3d(4, "odd");
  odd->add_triangle(v(0.1234567, -2, 1e-3), v(1e5, 0.5, -0.25), v(-7, 3.333333, 9));
  odd->add_triangle(v(0.1234567, -2, 1e-3), v(-7, 3.333333, 9), v(4, 4, 4));
  odd->to_flat();
  odd->drop_tables();
  list.append(odd);
  export_to(list, "round");

  MeshImporter* importer = reader.NewImporter("XFILE ASCII (*.x)");
  ASSERT_NE(importer, nullptr);
  ObjectList* result = importer->ImportFile((folder + "/round.x").c_str());
  ASSERT_NE(result, nullptr);
  ASSERT_EQ(result->count(), list.count());
  for (int32_t i = 0; i < list.count(); ++i) {
    auto* written = static_cast<Mesh3d*>(list.get(i));
    auto* read = static_cast<Mesh3d*>(result->get(i));
    EXPECT_STREQ(read->name(), written->name());
    ASSERT_EQ(read->flat_vertex_count, written->flat_vertex_count) << written->name();
    ASSERT_EQ(read->flat_face_count, written->flat_face_count) << written->name();
    for (int32_t k = 0; k < read->flat_vertex_count; ++k) {
      EXPECT_NEAR(read->flat_vertices[k].x, written->flat_vertices[k].x, 1e-6);
      EXPECT_NEAR(read->flat_vertices[k].y, written->flat_vertices[k].y, 1e-6);
      EXPECT_NEAR(read->flat_vertices[k].z, written->flat_vertices[k].z, 1e-6);
    }
  }
  importer->DeleteThis();
}

// With "Write mesh colours" each coloured mesh's own material reaches other readers: assimp
// names both, and our importer gives every mesh its colour back.
TEST_F(DirectXExportTest, MeshColoursReachAssimpAndOurImporter) {
  SettingsWriteInt("xfile_out", "Specific Settings", "write_mesh_colours", 1);
  ObjectList list(release_object);
  Mesh3d* red = new_cube("red");
  red->has_appearance = 1;
  red->appearance.rgba[0] = 0.75, red->appearance.rgba[1] = 0.0, red->appearance.rgba[2] = 0.0;
  red->appearance.specular_power = 32.0;
  Mesh3d* glass = new_cube("glass", 3.0);
  glass->has_appearance = 1;
  glass->appearance.rgba[3] = 0.5;
  glass->appearance.finish = Finish::kTransparent;
  list.append(red);
  list.append(glass);
  list.append(new_cube("plain", 6.0));
  export_to(list, "colours");

  int status = 0;
  const std::string output = command_output("assimp info '" + folder + "/colours.x' 2>&1", &status);
  ASSERT_EQ(status, 0) << output;
  EXPECT_NE(output.find("'red' (prop)"), std::string::npos) << output;
  EXPECT_NE(output.find("'glass' (prop)"), std::string::npos) << output;

  PluginUnderTest reader("xfile_in.so");
  ASSERT_TRUE(reader.loaded()) << reader.error();
  MeshImporter* importer = reader.NewImporter("XFILE ASCII (*.x)");
  ASSERT_NE(importer, nullptr);
  ObjectList* result = importer->ImportFile((folder + "/colours.x").c_str());
  ASSERT_EQ(result->count(), 3);
  for (int32_t i = 0; i < 2; ++i) {
    auto* written = static_cast<Mesh3d*>(list.get(i));
    auto* read = static_cast<Mesh3d*>(result->get(i));
    EXPECT_EQ(read->has_appearance, 1) << written->name();
    EXPECT_EQ(read->appearance, written->appearance) << written->name();
  }
  // The mesh without colour keeps the default material, which the file states.
  auto* plain = static_cast<Mesh3d*>(result->get(2));
  EXPECT_EQ(colour_text(plain->appearance), "#CCCCCC");
  importer->DeleteThis();
}
