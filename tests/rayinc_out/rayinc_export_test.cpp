// The library's classes and their export runs, through the loaded plug-in.
#include <gtest/gtest.h>

#include <cstring>

#include "meshlib/light3d.h"

#include "rayinc_export_support.h"

namespace {

class RayIncLibrary : public RayIncExport {
 protected:
  void SetUp() override {
    RayIncExport::SetUp();
    for (const std::string& owner : rayinc_owners())
      SettingsWriteInt(owner.c_str(), "Common Settings", "ld_mode", 1);
  }
};

template <class F>
F library_function(const char* name) {
  void* handle = dlopen((std::string(MORVANE_BINARY_DIR) + "/bin/plugin/rayinc_out.so").c_str(),
                        RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
  F f = handle != nullptr ? reinterpret_cast<F>(dlsym(handle, name)) : nullptr;
  if (handle != nullptr) dlclose(handle);
  return f;
}

}  // namespace

TEST_F(RayIncLibrary, PublishesFiveExportClassesInOrder) {
  auto lib_name = library_function<const char* (*)()>("LibName");
  auto number = library_function<int (*)()>("LibNumberClasses");
  auto describe = library_function<ClassDescription* (*)(int)>("LibClassDescription");
  auto version = library_function<int (*)()>("LibVersion");
  ASSERT_TRUE(lib_name && number && describe && version);
  EXPECT_STREQ(lib_name(), "PovRay PolyRay Export Lib");
  EXPECT_EQ(number(), 5);
  EXPECT_EQ(version(), 5);
  const std::uint32_t ids[5] = {0x23705684, 0x61E47590, 0x1C6D0EA9, 0x68196F97, 0x51EB2083};
  for (int i = 0; i < 5; ++i) {
    ClassDescription* c = describe(i);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->ClassName(), rayinc_class_names()[i]);
    EXPECT_EQ(c->ClassID(), ids[i]);
    EXPECT_EQ(c->SuperClassID(), MESH_EXPORT_CLASS);
    EXPECT_EQ(c->ClassPublicFlag(), 1);
  }
  EXPECT_EQ(describe(5), nullptr);
  EXPECT_EQ(describe(-1), nullptr);
}

TEST_F(RayIncLibrary, ModeTwoWritesFirstIncAndSecondUdo) {
  HostObjects objects;
  objects.add(unit_cube("block"));
  export_given_names(library_, 0, objects.list(), folder_.file("a"), folder_.file("b"));
  const std::string inc = read_file(folder_.file("a.inc"));
  const std::string udo = read_file(folder_.file("b.udo"));
  EXPECT_EQ(inc.rfind("#declare block = union\n{\n\ttriangle { ", 0), 0u);
  EXPECT_EQ(udo.rfind("IncludeFile '" + folder_.file("a.inc") + "'\nName 'b_group'\n\n;\n", 0), 0u);
  EXPECT_NE(udo.find("[block:Vertices]\n8\n"), std::string::npos);
  EXPECT_EQ(udo.substr(udo.size() - 8), "\n[End]\n\n");
  EXPECT_FALSE(file_exists(folder_.file("a.udo")));
  EXPECT_FALSE(file_exists(folder_.file("b.inc")));
}

TEST_F(RayIncLibrary, EveryClassWritesTheSameUdoFile) {
  HostObjects objects;
  objects.add(unit_cube("block"));
  objects.add(single_triangle("tri"));
  std::string first_udo;
  for (int i = 0; i < 5; ++i) {
    const std::string base = folder_.file("c" + std::to_string(i));
    export_given_names(library_, i, objects.list(), base, folder_.file("same"));
    const std::string udo = read_file(folder_.file("same.udo"));
    ASSERT_FALSE(udo.empty()) << i;
    const std::string rest = udo.substr(udo.find("Name 'same_group'"));
    if (i == 0) first_udo = rest;
    EXPECT_EQ(rest, first_udo) << rayinc_class_names()[i];
    EXPECT_TRUE(file_exists(base + ".inc"));
  }
}

TEST_F(RayIncLibrary, UnwritableIncLeavesNoUdo) {
  HostObjects objects;
  objects.add(single_triangle("tri"));
  export_given_names(library_, 0, objects.list(), folder_.file("missing/a"), folder_.file("b"));
  EXPECT_FALSE(file_exists(folder_.file("b.udo")));
}

TEST_F(RayIncLibrary, UnwritableUdoLeavesTheOldIncAsItWas) {
  // The pair is renamed into place only when both files are complete, so a .udo that cannot
  // be written never leaves a new .inc beside an old or missing .udo.
  HostObjects objects;
  objects.add(single_triangle("tri"));
  export_given_names(library_, 4, objects.list(), folder_.file("a"), folder_.file("missing/b"));
  EXPECT_FALSE(file_exists(folder_.file("a.inc")));
  write_file(folder_.file("old.inc"), "old");
  export_given_names(library_, 4, objects.list(), folder_.file("old"), folder_.file("missing/b"));
  EXPECT_EQ(read_file(folder_.file("old.inc")), "old");
}

TEST_F(RayIncLibrary, ModeZeroWithoutWindowsWritesNothing) {
  HostObjects objects;
  objects.add(single_triangle("tri"));
  const std::string inc = folder_.file("stored.inc"), udo = folder_.file("stored.udo");
  SettingsWriteString("pvu_out", "Specific Settings", "file_name", inc.c_str());
  SettingsWriteString("pvu_out", "Specific Settings", "file_name2", udo.c_str());
  MeshExporter* exporter = library_.NewExporter(rayinc_class_names()[0].c_str());
  ASSERT_NE(exporter, nullptr);
  exporter->Export(objects.list(), EXPORT_ASK, nullptr);
  exporter->DeleteThis();
  EXPECT_FALSE(file_exists(inc));
  EXPECT_FALSE(file_exists(udo));

  // Mode 1 goes on with the stored names.
  exporter = library_.NewExporter(rayinc_class_names()[0].c_str());
  exporter->Export(objects.list(), EXPORT_ASK_OR_STORED, nullptr);
  exporter->DeleteThis();
  EXPECT_TRUE(file_exists(inc));
  EXPECT_TRUE(file_exists(udo));
}

TEST_F(RayIncLibrary, BothPassesSeeTheMeshScaledOnceAndTheBoxIsKept) {
  HostObjects objects;
  objects.add(unit_cube("block"));
  SettingsWriteDouble("pv3u_out", "Common Settings", "size_value", 2.0);
  SettingsWriteInt("pv3u_out", "Common Settings", "swap_mode", 1);
  export_given_names(library_, 4, objects.list(), folder_.file("a"), folder_.file("b"));
  const std::string udo = read_file(folder_.file("b.udo"));
  EXPECT_NE(udo.find("; Min_x: 0.000000\tMax_x: 2.000000\n; Min_y: 0.000000\tMax_y: 2.000000\n"),
            std::string::npos);
  EXPECT_NE(read_file(folder_.file("a.inc")).find("2.000000,2.000000,2.000000"), std::string::npos);
  Mesh3d* cube = objects.mesh(0);
  EXPECT_EQ(cube->bbox_max.x, 1.0);
  EXPECT_EQ(cube->bbox_max.z, 1.0);
  EXPECT_EQ(cube->bbox_min.y, 0.0);
  EXPECT_EQ(cube->vertices, nullptr);  // the indexed form is dropped again
  for (int32_t i = 0; i < cube->flat_vertex_count; ++i) EXPECT_LE(cube->flat_vertices[i].x, 1.0);
}

TEST_F(RayIncLibrary, OnlyMeshesAreWritten) {
  HostObjects objects;
  objects.add(single_triangle("tri"));
  objects.list()->append(new Light3d("lamp", v3(1, 1, 1), v3(0, 0, 5)));
  objects.list()->append(nullptr);
  export_given_names(library_, 0, objects.list(), folder_.file("a"), folder_.file("b"));
  EXPECT_EQ(count_of(read_file(folder_.file("a.inc")), "#declare "), 1);
  EXPECT_EQ(count_of(read_file(folder_.file("b.udo")), ":Vertices]"), 1);
}

TEST_F(RayIncLibrary, LogPlacesTheOptionsDumpAsEachClassDoes) {
  HostObjects objects;
  objects.add(single_triangle("tri"));
  for (int i = 0; i < 5; ++i) {
    const std::string owner = rayinc_owners()[i];
    const std::string log = folder_.file(owner + ".log");
    SettingsWriteInt(owner.c_str(), "Common Settings", "verbose_mode", 1);
    SettingsWriteString(owner.c_str(), "Common Settings", "logfilename", log.c_str());
    export_given_names(library_, i, objects.list(), folder_.file("a"), folder_.file("b"));
    const std::string text = read_file(log);
    const std::size_t dump = text.find("Options:\n");
    const std::size_t started = text.find("Writing " + folder_.file("a.inc") + " started ...\n");
    const std::size_t working = text.find("Working on: tri\n");
    ASSERT_NE(started, std::string::npos) << owner;
    EXPECT_LT(started, working) << owner;
    EXPECT_NE(text.find("Writing " + folder_.file("b.udo") + " finished       \n"),
              std::string::npos);
    if (i == 4) {
      EXPECT_EQ(dump, std::string::npos) << owner;
      continue;
    }
    ASSERT_NE(dump, std::string::npos) << owner;
    if (i == 0)
      EXPECT_LT(dump, started) << owner;
    else
      EXPECT_EQ(dump, started + ("Writing " + folder_.file("a.inc") + " started ...\n").size())
          << owner;
    const std::size_t specific = text.find("\t edge_angle: 1.000000\n\t smooth_angle: 70.000000\n");
    EXPECT_NE(specific, std::string::npos) << owner;
    EXPECT_EQ(text.find("\t radius: ") != std::string::npos, i == 2 || i == 3) << owner;
    EXPECT_NE(text.find("\t path2: "), std::string::npos) << owner;
    EXPECT_NE(text.find("\t ext2: udo\n"), std::string::npos) << owner;
  }
}

// A model of many meshes is written on two threads; the log still names every mesh once, in
// list order, between the start and the end of the ".inc" pass.
TEST_F(RayIncLibrary, LogNamesManyMeshesInListOrder) {
  HostObjects objects;
  for (int k = 0; k < 40; ++k) objects.add(single_triangle(("tri" + std::to_string(k)).c_str()));
  const std::string owner = rayinc_owners()[0];
  const std::string log = folder_.file(owner + ".log");
  SettingsWriteInt(owner.c_str(), "Common Settings", "verbose_mode", 1);
  SettingsWriteString(owner.c_str(), "Common Settings", "logfilename", log.c_str());
  export_given_names(library_, 0, objects.list(), folder_.file("a"), folder_.file("b"));
  const std::string text = read_file(log);
  std::size_t at = text.find("Writing " + folder_.file("a.inc") + " started ...\n");
  const std::size_t finished = text.find("Writing " + folder_.file("a.inc") + " finished       \n");
  ASSERT_NE(at, std::string::npos);
  ASSERT_NE(finished, std::string::npos);
  const std::string pass = text.substr(at, finished - at);
  at = 0;
  for (int k = 0; k < 40; ++k) {
    const std::string line = "Working on: tri" + std::to_string(k) + "\n";
    const std::size_t next = pass.find(line, at);
    ASSERT_NE(next, std::string::npos) << line;
    EXPECT_EQ(pass.find(line, next + 1), std::string::npos) << line;
    at = next;
  }
}
