// The camera the scene gets: every corner of the model's box inside the picture, the camera
// outside the box, for boxes of every shape and place and for every view a user can choose.
#include <gtest/gtest.h>

#include <cmath>

#include "plugins/povscene_out/scene_view.h"

namespace {

struct Box {
  const char* what;
  Vec3d min, max;
};

const Box kBoxes[] = {
    {"unit cube", {0, 0, 0}, {1, 1, 1}},
    {"far from the origin", {1e6, -2e6, 5e5}, {1e6 + 10, -2e6 + 4, 5e5 + 3}},
    {"flat plate", {-50, -50, 0}, {50, 50, 0}},
    {"tall tower", {0, 0, 0}, {1, 1, 200}},
    {"long beam", {0, 0, 0}, {1000, 1, 1}},
    {"single point", {3, 4, 5}, {3, 4, 5}},
};

const SceneView kViews[] = {
    {30.0, 25.0, 40.0, 4.0 / 3.0},    {0.0, 0.0, 40.0, 1.0},
    {135.0, 60.0, 20.0, 2.0},         {-90.0, 89.0, 90.0, 0.5},
    {250.0, -30.0, 10.0, 16.0 / 9.0},
};

// Where a point shows on the picture: (right, up) over depth, and the depth.
struct Projected {
  double x, y, depth;
};

Projected project(const SceneCamera& camera, const SceneView& view, const Vec3d& p) {
  Vec3d forward, q;
  vec_sub(forward, camera.look_at, camera.location);
  vec_normalize(forward);
  Vec3d right{forward.y, -forward.x, 0.0};  // forward x z
  vec_normalize(right);
  Vec3d up;
  vec_cross(up, right, forward);
  vec_sub(q, p, camera.location);
  const double depth = vec_dot(q, forward);
  (void)view;
  return {vec_dot(q, right) / depth, vec_dot(q, up) / depth, depth};
}

}  // namespace

TEST(FrameBox, EveryCornerInsideThePictureFromOutsideTheBox) {
  for (const Box& box : kBoxes) {
    for (const SceneView& view : kViews) {
      const SceneCamera camera = frame_box(box.min, box.max, view);
      const double tan_x = std::tan(view.field_of_view * M_PI / 360.0);
      const double tan_y = tan_x / view.aspect_ratio;
      double widest = 0.0;
      for (int i = 0; i < 8; ++i) {
        const Vec3d corner{(i & 1) ? box.max.x : box.min.x, (i & 2) ? box.max.y : box.min.y,
                           (i & 4) ? box.max.z : box.min.z};
        const Projected p = project(camera, view, corner);
        EXPECT_GT(p.depth, 0.0) << box.what;
        EXPECT_LE(std::fabs(p.x), tan_x * 0.9 + 1e-9) << box.what << " azimuth " << view.azimuth;
        EXPECT_LE(std::fabs(p.y), tan_y * 0.9 + 1e-9) << box.what << " azimuth " << view.azimuth;
        widest = std::max(widest, std::max(std::fabs(p.x) / tan_x, std::fabs(p.y) / tan_y));
      }
      if (std::fabs(view.elevation) <= 45.0 && box.max.x > box.min.x) {
        EXPECT_GT(widest, 0.5) << box.what << ": the model fills a fair part of the picture, "
                               << "azimuth " << view.azimuth;
      }
      const Vec3d& c = camera.location;
      const bool inside = c.x >= box.min.x && c.x <= box.max.x && c.y >= box.min.y &&
                          c.y <= box.max.y && c.z >= box.min.z && c.z <= box.max.z;
      EXPECT_FALSE(inside) << box.what;
    }
  }
}

TEST(FrameBox, ViewDirectionFollowsAzimuthAndElevation) {
  SceneView front{0.0, 0.0, 40.0, 1.0};
  SceneCamera c = frame_box({-1, -1, -1}, {1, 1, 1}, front);
  EXPECT_NEAR(c.location.x, 0.0, 1e-9);
  EXPECT_LT(c.location.y, -1.0) << "0 degrees looks from the front (-y)";
  EXPECT_NEAR(c.location.z, 0.0, 1e-9);

  SceneView right_above{90.0, 45.0, 40.0, 1.0};
  c = frame_box({-1, -1, -1}, {1, 1, 1}, right_above);
  EXPECT_GT(c.location.x, 1.0) << "90 degrees looks from the right (+x)";
  EXPECT_NEAR(c.location.y, 0.0, 1e-9);
  EXPECT_NEAR(c.location.z, c.location.x, 1e-9);
  EXPECT_GT(c.key_light.z, c.location.z) << "the key light stands above the camera";
}

TEST(FrameBox, UnusableViewValuesAreBroughtIntoRange) {
  const SceneView v = usable_view({NAN, 120.0, 0.0, -1.0});
  EXPECT_EQ(v.azimuth, SceneView().azimuth);
  EXPECT_EQ(v.elevation, 89.0);
  EXPECT_EQ(v.field_of_view, 1.0);
  EXPECT_EQ(v.aspect_ratio, 0.05);
  const SceneCamera c = frame_box({NAN, 0, 0}, {1, 1, 1}, {});
  EXPECT_TRUE(std::isfinite(c.location.x) && std::isfinite(c.location.y) &&
              std::isfinite(c.location.z));
}
