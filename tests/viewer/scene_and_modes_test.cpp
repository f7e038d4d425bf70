// The scene box, the default lights, the render-mode table and the object colours.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "meshlib/light3d.h"
#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "viewer/render_modes.h"
#include "viewer/scene_box.h"

namespace {

Mesh3d* triangle_mesh(const char* name, const Vec3d& a, const Vec3d& b, const Vec3d& c) {
  Mesh3d* m = new Mesh3d(3, name);
  m->add_triangle(a, b, c);
  m->to_flat();
  m->drop_tables();
  return m;
}

const Light3d* light_at(const ViewerScene& scene, int i) {
  return static_cast<const Light3d*>(scene.lights().get(i));
}

}  // namespace

TEST(SceneBox, UnionOfTheMeshBoxesLeavesLightsOut) {
  ObjectList objects(release_object);
  objects.append(triangle_mesh("a", {1, 2, 3}, {2, 2, 3}, {1, 5, 3}));
  objects.append(new Light3d("far", {1, 1, 1}, {100, 100, 100}));
  objects.append(triangle_mesh("b", {-1, 3, 0}, {0, 4, 7}, {0, 3, 1}));
  SceneBox box;
  scene_box_of(&objects, box);
  EXPECT_EQ(box.empty, 0);
  EXPECT_EQ(box.min.x, -1);
  EXPECT_EQ(box.min.y, 2);
  EXPECT_EQ(box.min.z, 0);
  EXPECT_EQ(box.max.x, 2);
  EXPECT_EQ(box.max.y, 5);
  EXPECT_EQ(box.max.z, 7);
  EXPECT_EQ(box.centre.x, 0.5);
  EXPECT_EQ(box.centre.y, 3.5);
  EXPECT_EQ(box.centre.z, 3.5);
  scene_box_of(nullptr, box);
  EXPECT_EQ(box.empty, 1);
}

TEST(SceneBox, ComputeReplacesTheLightsWithTheFourDefaultsEveryTime) {
  ObjectList objects(release_object);
  objects.append(triangle_mesh("a", {0, 0, 0}, {4, 2, 0}, {0, 2, 6}));
  ViewerScene scene;
  scene.set_objects(&objects);
  scene.lights().append(new Light3d("user light", {1, 0, 0}, {0, 0, 0}));
  for (int run = 0; run < 3; ++run) {
    scene.compute_scene_box();
    ASSERT_EQ(scene.lights().count(), 4);
  }
  const char* names[4] = {"FrontLight1", "FrontLight2", "BackLight1", "BackLight2"};
  const double grey[4] = {0.3, 0.4, 0.3, 0.4};
  const Vec3d pos[4] = {{0, 0, 6}, {4, 0, 6}, {4, 2, 6}, {0, 2, 6}};
  for (int i = 0; i < 4; ++i) {
    const Light3d* l = light_at(scene, i);
    EXPECT_STREQ(l->name(), names[i]);
    EXPECT_EQ(l->kind(), Obj3d::kLight);
    EXPECT_EQ(l->colour.x, grey[i]);
    EXPECT_EQ(l->colour.z, grey[i]);
    EXPECT_EQ(l->position.x, pos[i].x);
    EXPECT_EQ(l->position.y, pos[i].y);
    EXPECT_EQ(l->position.z, pos[i].z);
    EXPECT_EQ(l->enabled, i < 2 ? 1 : 0);
    EXPECT_EQ(l->has_target, i == 0 ? 0 : 1);
    if (i > 0) {
      EXPECT_EQ(l->target.x, 2);
      EXPECT_EQ(l->target.y, 1);
      EXPECT_EQ(l->target.z, 3);
      EXPECT_EQ(l->param1, 15.0);
      EXPECT_EQ(l->param2, 50.0);
    }
  }
}

TEST(SceneBox, LightsAddedAfterClearingAreStillOwned) {
  // Run under the leak checker: lights appended after clear_lights must be deleted too.
  ViewerScene scene;
  scene.clear_lights();
  scene.lights().append(new Light3d("kept", {1, 1, 1}, {0, 0, 0}));
  scene.clear_lights();
  scene.lights().append(new Light3d("kept too", {1, 1, 1}, {0, 0, 0}));
  EXPECT_EQ(scene.lights().count(), 1);
}

TEST(RenderModes, TableOfCullPolygonModeLightingAndLists) {
  struct Row {
    int32_t cull, polygon, lighting, count;
    uint32_t first, second;
  } rows[7] = {{0, kPolygonLine, 0, 1, 1, 0}, {0, kPolygonLine, 0, 1, 3, 0},
               {1, kPolygonLine, 1, 1, 4, 0}, {1, kPolygonFill, 1, 1, 4, 0},
               {1, kPolygonFill, 1, 2, 4, 5}, {1, kPolygonPoint, 0, 1, 4, 0},
               {1, kPolygonLine, 1, 2, 4, 5}};
  for (int m = 0; m < 7; ++m) {
    RenderModeState s;
    ASSERT_EQ(render_mode_state(m, s), 1);
    EXPECT_EQ(s.cull, rows[m].cull) << m;
    EXPECT_EQ(s.polygon_mode, rows[m].polygon) << m;
    EXPECT_EQ(s.lighting, rows[m].lighting) << m;
    ASSERT_EQ(s.list_count, rows[m].count) << m;
    EXPECT_EQ(s.lists[0], rows[m].first) << m;
    if (s.list_count == 2) {
      EXPECT_EQ(s.lists[1], rows[m].second) << m;
    }
  }
  RenderModeState s;
  EXPECT_EQ(render_mode_state(7, s), 0);
  EXPECT_EQ(render_mode_state(-1, s), 0);
}

TEST(ObjectColours, DrawnFromThePaletteByTheRandSequence) {
  EXPECT_EQ(kViewerPalette[0][2], 0.858824);
  EXPECT_EQ(kViewerPalette[57][1], 0.69);
  EXPECT_EQ(kViewerPalette[81][2], 0.61);
  EXPECT_EQ(kViewerPalette[92][0], 0.94);
  EXPECT_EQ(kViewerPalette[92][2], 0.99);
  std::srand(12345);
  Vec3d drawn[20];
  for (Vec3d& c : drawn) next_object_colour(c);
  std::srand(12345);
  for (const Vec3d& c : drawn) {
    const double* want = kViewerPalette[std::rand() % 93];
    EXPECT_EQ(c.x, want[0]);
    EXPECT_EQ(c.y, want[1]);
    EXPECT_EQ(c.z, want[2]);
  }
}
