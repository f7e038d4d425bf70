#include <gtest/gtest.h>

#include <memory>

#include "frame_test_support.h"
#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "plugin_frame/export_mesh.h"
#include "plugin_frame/plugin_run.h"
#include "settings/log_file.h"

namespace {

class TestSettings : public PluginSettings {
 public:
  TestSettings() : PluginSettings("frame_finish", "finish.log") {}
};

Mesh3d* triangle_mesh(const char* name) {
  auto* mesh = new Mesh3d(4, name);
  mesh->add_triangle({0, 0, 0}, {1, 0, 0}, {0, 2, 0});
  return mesh;
}

}  // namespace

TEST(FinishMesh, StatusLinesComeInOrderEvenWhenEveryStepIsSkipped) {
  forget_settings("frame_finish");
  TestSettings settings;
  RecordingSink sink;
  SinkScope scope(&sink);
  ProgressCallbacks callbacks = frame_progress_callbacks(true);
  LogFile log;
  ObjectList objects(release_object);
  Mesh3d* mesh = triangle_mesh("cube");

  ASSERT_TRUE(finish_mesh(mesh, settings, callbacks, log, objects));

  EXPECT_EQ(sink.statuses, (std::vector<std::string>{"Sizing: cube\n", "Swapping axis: cube\n",
                                                     "Unifying: cube\n", "Reducing: cube\n"}));
  ASSERT_EQ(objects.count(), 1);
  EXPECT_EQ(objects.get(0), mesh);
  // Reduced to the flat form, coordinates untouched.
  EXPECT_EQ(mesh->vertices, nullptr);
  ASSERT_EQ(mesh->flat_vertex_count, 3);
  EXPECT_EQ(mesh->flat_vertices[2].y, 2.0);
}

TEST(FinishMesh, ScalesBeforeSwappingAxes) {
  forget_settings("frame_finish");
  TestSettings settings;
  settings.size_value = 3.0;
  settings.swap_mode = 1;  // X <-> Y
  ProgressCallbacks callbacks = frame_progress_callbacks(true);
  SinkScope scope(nullptr);
  LogFile log;
  ObjectList objects(release_object);
  Mesh3d* mesh = triangle_mesh("m");
  ASSERT_TRUE(finish_mesh(mesh, settings, callbacks, log, objects));
  // (1, 0, 0) scaled to (3, 0, 0) and swapped to (0, 3, 0); (0, 2, 0) to (6, 0, 0).
  bool found_x = false, found_y = false;
  for (int i = 0; i < mesh->flat_vertex_count; ++i) {
    const Vec3d& v = mesh->flat_vertices[i];
    found_y = found_y || (v.x == 0.0 && v.y == 3.0);
    found_x = found_x || (v.x == 6.0 && v.y == 0.0);
  }
  EXPECT_TRUE(found_x);
  EXPECT_TRUE(found_y);
  EXPECT_EQ(mesh->bbox_max.x, 6.0);
  EXPECT_EQ(mesh->bbox_max.y, 3.0);
}

TEST(FinishMesh, UnifyReportsThroughMeshProgress) {
  forget_settings("frame_finish");
  TestSettings settings;
  settings.unify_mode = 1;
  reset_progress_memory();
  RecordingSink sink;
  SinkScope scope(&sink);
  ProgressCallbacks callbacks = frame_progress_callbacks(true);
  LogFile log;
  ObjectList objects(release_object);
  ASSERT_TRUE(finish_mesh(triangle_mesh("m"), settings, callbacks, log, objects));
  EXPECT_FALSE(sink.mesh.empty());
  EXPECT_TRUE(sink.file.empty());
}

TEST(FinishMesh, MeshWithoutVerticesIsNotAdded) {
  forget_settings("frame_finish");
  TestSettings settings;
  RecordingSink sink;
  SinkScope scope(&sink);
  ProgressCallbacks callbacks = frame_progress_callbacks(true);
  LogFile log;
  ObjectList objects(release_object);
  EXPECT_FALSE(finish_mesh(new Mesh3d(4, "empty"), settings, callbacks, log, objects));
  EXPECT_EQ(objects.count(), 0);
  EXPECT_TRUE(sink.statuses.empty());
}

TEST(FinishMesh, StatisticsGoToTheLogAndStatusLinesDoNot) {
  forget_settings("frame_finish");
  TempFolder folder;
  TestSettings settings;
  SinkScope scope(nullptr);
  ProgressCallbacks callbacks = frame_progress_callbacks(true);
  ObjectList objects(release_object);
  {
    LogFile log(folder.file("finish.log").c_str());
    ASSERT_TRUE(finish_mesh(triangle_mesh("cube"), settings, callbacks, log, objects));
  }
  std::vector<std::string> lines = split_lines(read_file(folder.file("finish.log")));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "Statistic:");
  EXPECT_EQ(lines[1], "Object   : cube");
  EXPECT_EQ(lines[3], "Vertices : 3");
}

// A mesh's colour stays with it through every step a mesh takes between file and file: the
// finishing steps, an export pass (rebuilt, scaled, swapped, dropped again) and its wire copy.
TEST(FinishMesh, AppearanceTravelsThroughFinishingExportAndWireCopy) {
  forget_settings("frame_finish");
  TestSettings settings;
  settings.size_value = 2.0;
  settings.swap_mode = 3;
  settings.unify_mode = 1;
  ProgressCallbacks callbacks = frame_progress_callbacks(true);
  SinkScope scope(nullptr);
  LogFile log;
  ObjectList objects(release_object);
  Mesh3d* mesh = triangle_mesh("red");
  Appearance red;
  red.rgba[0] = 0.7, red.rgba[1] = 0.1, red.rgba[2] = 0.0, red.rgba[3] = 0.5;
  red.finish = Finish::kTransparent;
  red.specular_power = 64.0;
  red.specular[0] = red.specular[1] = red.specular[2] = 0.9;
  mesh->has_appearance = 1;
  mesh->appearance = red;
  ASSERT_TRUE(finish_mesh(mesh, settings, callbacks, log, objects));
  EXPECT_EQ(mesh->has_appearance, 1);
  EXPECT_EQ(mesh->appearance, red);
  {
    ExportMesh pass(*mesh, settings);
    EXPECT_EQ(pass.mesh().appearance, red);
    std::unique_ptr<Mesh3d> wire(pass.mesh().extract_edges(30.0));
    ASSERT_NE(wire, nullptr);
    EXPECT_EQ(wire->has_appearance, 1);
    EXPECT_EQ(wire->appearance, red);
  }
  EXPECT_EQ(mesh->has_appearance, 1);
  EXPECT_EQ(mesh->appearance, red);
  // A mesh without colour stays without one.
  std::unique_ptr<Mesh3d> plain(triangle_mesh("plain"));
  std::unique_ptr<Mesh3d> plain_wire(plain->extract_edges(0.0));
  EXPECT_EQ(plain_wire->has_appearance, 0);
}
