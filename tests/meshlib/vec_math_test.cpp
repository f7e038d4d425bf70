#include <gtest/gtest.h>

#include <cmath>

#include "meshlib/mat4d.h"
#include "meshlib/vec3d.h"

TEST(VecMath, EqualityToleranceIsStrictAtOneMillionth) {
  EXPECT_EQ(vec_equal({0, 0, 0}, {9e-7, 0, 0}), 1);
  EXPECT_EQ(vec_equal({0, 0, 0}, {1e-6, 0, 0}), 0);
  EXPECT_EQ(vec_equal({0, 0, 0}, {0, 0, -1e-6}), 0);
  EXPECT_EQ(vec_equal({0, 0, 0}, {-0.0, 0, 0}), 1);
  EXPECT_EQ(vec_equal({NAN, 0, 0}, {NAN, 0, 0}), 0);
}

TEST(VecMath, AngleBetweenEdgeCases) {
  EXPECT_EQ(angle_between({0, 0, 0}, {1, 2, 3}), 0.0);
  EXPECT_EQ(angle_between({1, 0, 0}, {-1, 0, 0}), 180.0);
  EXPECT_EQ(angle_between_rad({1, 0, 0}, {-1, 0, 0}), 3.141592653589793);
  // Rounding puts the cosine of these equal vectors above 1; the angle is still 0.
  Vec3d a{0.1, 0.1, 0.3};
  ASSERT_GT(vec_dot(a, a) / (vec_length(a) * vec_length(a)), 1.0);
  EXPECT_EQ(angle_between(a, a), 0.0);
  EXPECT_EQ(angle_between_rad(a, a), 0.0);
  EXPECT_NEAR(angle_between({1, 0, 0}, {1, 1, 0}), 45.0, 1e-12);
  EXPECT_NEAR(angle_between_rad({0, 2, 0}, {0, 0, 3}), 3.141592653589793 / 2, 1e-15);
  EXPECT_EQ(angle_between_rad({0, 0, 0}, {0, 0, 0}), 0.0);
}

TEST(VecMath, FaceNormalPointsAwayFromCounterClockwiseViewer) {
  Vec3d n;
  face_normal({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, n);
  EXPECT_EQ(n.x, 0.0);
  EXPECT_EQ(n.y, 0.0);
  EXPECT_EQ(n.z, -1.0);
  face_normal({0, 0, 0}, {0, 3, 0}, {3, 0, 0}, n);
  EXPECT_EQ(n.z, 1.0);
  face_normal({1, 1, 1}, {2, 2, 2}, {3, 3, 3}, n);
  EXPECT_EQ(n.x, 0.0);
  EXPECT_EQ(n.y, 0.0);
  EXPECT_EQ(n.z, 0.0);
}

TEST(VecMath, NormalizeLeavesZeroVector) {
  Vec3d z{0, 0, 0};
  vec_normalize(z);
  EXPECT_EQ(z.x, 0.0);
  EXPECT_FALSE(std::isnan(z.y));
  Vec3d v{0, 3, 4};
  vec_normalize(v);
  EXPECT_DOUBLE_EQ(v.y, 0.6);
  EXPECT_DOUBLE_EQ(v.z, 0.8);
}

TEST(VecMath, SwapAxesModes) {
  Vec3d v{1, 2, 3};
  vec_swap_axes(v, 1);
  EXPECT_EQ(v.x, 2.0);
  EXPECT_EQ(v.y, 1.0);
  v = {1, 2, 3};
  vec_swap_axes(v, 2);
  EXPECT_EQ(v.x, 3.0);
  EXPECT_EQ(v.z, 1.0);
  v = {1, 2, 3};
  vec_swap_axes(v, 3);
  EXPECT_EQ(v.y, 3.0);
  EXPECT_EQ(v.z, 2.0);
  for (int mode : {0, 4, -1}) {
    v = {1, 2, 3};
    vec_swap_axes(v, mode);
    EXPECT_EQ(v.x, 1.0);
    EXPECT_EQ(v.y, 2.0);
    EXPECT_EQ(v.z, 3.0);
  }
}

TEST(MatMath, TranslationLivesInRowThree) {
  Mat4d m;
  mat_identity(m);
  m.m[3][0] = 1;
  m.m[3][1] = 2;
  m.m[3][2] = 3;
  Vec3d p{0, 0, 0};
  mat_transform_point(p, m, p);  // in place
  EXPECT_EQ(p.x, 1.0);
  EXPECT_EQ(p.y, 2.0);
  EXPECT_EQ(p.z, 3.0);
}

TEST(MatMath, TransformUsesRowVectors) {
  Mat4d m;
  mat_identity(m);
  m.m[0][1] = 1;  // x feeds y
  Vec3d out;
  mat_transform_point(out, m, {2, 3, 4});
  EXPECT_EQ(out.x, 2.0);
  EXPECT_EQ(out.y, 5.0);
  EXPECT_EQ(out.z, 4.0);
}

TEST(MatMath, MultiplyAppliesLeftOperandFirst) {
  Mat4d scale, move, both, copy;
  mat_identity(scale);
  scale.m[0][0] = scale.m[1][1] = scale.m[2][2] = 2;
  mat_identity(move);
  move.m[3][0] = 10;
  mat_multiply(both, scale, move);
  Vec3d p;
  mat_transform_point(p, both, {1, 1, 1});
  EXPECT_EQ(p.x, 12.0);  // scaled, then moved
  EXPECT_EQ(p.y, 2.0);
  mat_multiply(both, move, scale);
  mat_transform_point(p, both, {1, 1, 1});
  EXPECT_EQ(p.x, 22.0);  // moved, then scaled
  mat_copy(copy, both);
  mat_multiply(copy, copy, copy);  // in place
  EXPECT_EQ(copy.m[3][0], 20.0 * 2 + 20.0);
  EXPECT_EQ(copy.m[0][0], 4.0);
}
