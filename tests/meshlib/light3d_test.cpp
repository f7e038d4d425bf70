#include "meshlib/light3d.h"

#include <gtest/gtest.h>

TEST(Light3d, WithoutTargetHasZeroTargetAndParameters) {
  Light3d l("Light1", {1, 0.5, 0.25}, {0, 10, 0});
  EXPECT_EQ(l.kind(), 2);
  EXPECT_STREQ(l.name(), "Light1");
  EXPECT_EQ(l.has_target, 0);
  EXPECT_EQ(l.enabled, 1);
  EXPECT_EQ(l.colour.y, 0.5);
  EXPECT_EQ(l.target.x, 0.0);
  EXPECT_EQ(l.param1, 0.0);
  Vec3d d;
  l.direction(d);
  EXPECT_DOUBLE_EQ(d.y, -1.0);
}

TEST(Light3d, WithTargetAimsAtIt) {
  Light3d l("Spot", {1, 1, 1}, {1, 1, 1}, {1, 1, 4}, 15.0, 50.0);
  EXPECT_EQ(l.has_target, 1);
  EXPECT_EQ(l.param2, 50.0);
  Vec3d d;
  l.direction(d);
  EXPECT_DOUBLE_EQ(d.z, 1.0);
  EXPECT_EQ(d.x, 0.0);
  Light3d same("Same", {1, 1, 1}, {2, 2, 2}, {2, 2, 2}, 0, 0);
  same.direction(d);
  EXPECT_EQ(d.x, 0.0);
  EXPECT_EQ(d.z, 0.0);
}
