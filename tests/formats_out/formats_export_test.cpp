// The exchange-format classes as the hosts drive them: the loaded plug-in, its stored options,
// and the files of an export with given names.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "settings/settings_store.h"
#include "support/file_text.h"
#include "support/plugin_under_test.h"
#include "support/temp_folder.h"

namespace {

const char* const kOwners[] = {"glb_out", "gltf_out", "obj_out", "stl_out", "ply_out"};

bool exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// A box of 1 x 2 x 3 in the host's flat form: faces wound counter-clockwise from outside.
Mesh3d* flat_box(const char* name) {
  auto* mesh = new Mesh3d(8, name);
  const Vec3d p[8] = {{0, 0, 0}, {1, 0, 0}, {1, 2, 0}, {0, 2, 0},
                      {0, 0, 3}, {1, 0, 3}, {1, 2, 3}, {0, 2, 3}};
  const int quads[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                           {2, 3, 7, 6}, {1, 2, 6, 5}, {3, 0, 4, 7}};
  for (const auto& q : quads) {
    mesh->add_triangle(p[q[0]], p[q[1]], p[q[2]]);
    mesh->add_triangle(p[q[0]], p[q[2]], p[q[3]]);
  }
  mesh->to_flat();
  mesh->drop_tables();
  return mesh;
}

class FormatsExport : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(library_.loaded()) << library_.error();
    for (const char* owner : kOwners) {
      SettingsWriteInt(owner, "Common Settings", "verbose_mode", 0);
      SettingsWriteDouble(owner, "Common Settings", "size_value", 1.0);
      SettingsWriteInt(owner, "Common Settings", "swap_mode", 0);
    }
    objects_.append(flat_box("box"));
  }
  void Export(const char* class_name, const std::string& base) {
    MeshExporter* exporter = library_.NewExporter(class_name);
    ASSERT_NE(exporter, nullptr) << class_name;
    ExportFileNames names{base.c_str(), base.c_str()};
    exporter->Export(&objects_, EXPORT_GIVEN_NAMES, &names);
    exporter->DeleteThis();
  }

  PluginUnderTest library_{"formats_out.so"};
  TempFolder temp_{"formats_export_test"};
  const std::string folder_ = temp_.path();
  ObjectList objects_{release_object};
};

}  // namespace

TEST_F(FormatsExport, SizeAndSwapActBeforeTheTurnToYUpAndLeaveTheObjectAsItWas) {
  const std::string base = folder_ + "/box";
  Export("glTF 2.0 (*.gltf)", base);
  EXPECT_NE(read_file(base + ".gltf").find("\"min\":[0,0,-2],\"max\":[1,3,0]"), std::string::npos);

  SettingsWriteDouble("gltf_out", "Common Settings", "size_value", 2.0);
  SettingsWriteInt("gltf_out", "Common Settings", "swap_mode", 3);  // y <-> z
  Export("glTF 2.0 (*.gltf)", base);
  EXPECT_NE(read_file(base + ".gltf").find("\"min\":[0,0,-6],\"max\":[2,4,0]"), std::string::npos)
      << read_file(base + ".gltf");
  const auto* box = static_cast<const Mesh3d*>(objects_.get(0));
  EXPECT_EQ(box->vertices, nullptr);
  EXPECT_EQ(box->flat_face_count, 12);
  EXPECT_EQ(box->bbox_max.y, 2.0);
  EXPECT_EQ(box->bbox_max.z, 3.0);
}

TEST_F(FormatsExport, EveryClassWritesItsFileAndItsCompanionUnderTheGivenName) {
  const struct {
    const char* class_name;
    const char* file;
    const char* companion;
  } classes[] = {{"glTF 2.0 binary (*.glb)", "a.glb", nullptr},
                 {"glTF 2.0 (*.gltf)", "a.gltf", "a.bin"},
                 {"Wavefront OBJ (*.obj)", "a.obj", "a.mtl"},
                 {"STL (*.stl)", "a.stl", nullptr},
                 {"Stanford PLY (*.ply)", "a.ply", nullptr}};
  for (const auto& c : classes) {
    Export(c.class_name, folder_ + "/a");
    EXPECT_TRUE(exists(folder_ + "/" + c.file)) << c.class_name;
    if (c.companion != nullptr) {
      EXPECT_TRUE(exists(folder_ + "/" + c.companion)) << c.class_name;
    }
  }
}

TEST_F(FormatsExport, CompanionThatCannotBeWrittenLeavesNoDocument) {
  // A folder where the buffer would go.
  ASSERT_EQ(mkdir((folder_ + "/b.bin").c_str(), 0755), 0);
  Export("glTF 2.0 (*.gltf)", folder_ + "/b");
  EXPECT_FALSE(exists(folder_ + "/b.gltf"));
}

TEST_F(FormatsExport, TextLineEndsFollowTheClassOption) {
  SettingsWriteInt("obj_out", "Common Settings", "ld_mode", 0);
  Export("Wavefront OBJ (*.obj)", folder_ + "/c");
  const std::string obj = read_file(folder_ + "/c.obj");
  EXPECT_NE(obj.find("mtllib c.mtl\r\n"), std::string::npos);
  EXPECT_NE(read_file(folder_ + "/c.mtl").find("newmtl box\r\n"), std::string::npos);
}
