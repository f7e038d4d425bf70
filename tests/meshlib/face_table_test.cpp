#include "meshlib/face_table.h"

#include <gtest/gtest.h>

TEST(FaceTable, SameIndicesInAnyOrderAreOneFace) {
  FaceTable t(0);
  EXPECT_EQ(t.add(0, 1, 2), 0);
  EXPECT_EQ(t.add(2, 0, 1), 0);
  EXPECT_EQ(t.add(1, 0, 2), 0);
  EXPECT_EQ(t.count(), 1);
  int32_t f[3];
  ASSERT_EQ(t.face(0, f), 0);
  EXPECT_EQ(f[0], 0);
  EXPECT_EQ(f[1], 1);
  EXPECT_EQ(f[2], 2);
}

TEST(FaceTable, FacesSharingTwoIndicesStayApart) {
  FaceTable t(0);
  EXPECT_EQ(t.add(0, 1, 2), 0);
  EXPECT_EQ(t.add(0, 1, 3), 1);
  EXPECT_EQ(t.add(0, 0, 1), 2);  // degenerate faces are kept as they come
  EXPECT_EQ(t.add(0, 1, 1), 3);
  EXPECT_EQ(t.add(1, 0, 0), 2);
  EXPECT_EQ(t.count(), 4);
}

TEST(FaceTable, FlipReversesWindingAndKeepsKey) {
  FaceTable t(0);
  t.add(3, 4, 5);
  t.add(5, 6, 7);
  EXPECT_EQ(t.flip(1), 0);
  int32_t f[3];
  t.face(1, f);
  EXPECT_EQ(f[0], 6);
  EXPECT_EQ(f[1], 5);
  EXPECT_EQ(f[2], 7);
  EXPECT_EQ(t.add(5, 6, 7), 1);
  EXPECT_EQ(t.flip(2), -1);
  EXPECT_EQ(t.flip(-1), -1);
}

TEST(FaceTable, FaceEdgesAreRecordedPerFace) {
  FaceTable t(0);
  t.add(0, 1, 2);
  int32_t e[3];
  ASSERT_EQ(t.face_edges(0, e), 0);
  EXPECT_EQ(e[0], -1);
  EXPECT_EQ(t.set_face_edges(4, 5, 6, 0), 1);
  EXPECT_EQ(t.set_face_edges(4, 5, 6, 1), -1);
  t.face_edges(0, e);
  EXPECT_EQ(e[0], 4);
  EXPECT_EQ(e[1], 5);
  EXPECT_EQ(e[2], 6);
  int32_t f[3];
  EXPECT_EQ(t.face(1, f), -1);
}

TEST(FaceTable, SizingFromHint) {
  FaceTable zero(0);
  EXPECT_EQ(zero.capacity(), 1);
  EXPECT_EQ(zero.bucket_count(), 2048);
  FaceTable big(10000);
  EXPECT_EQ(big.capacity(), 10000);
  EXPECT_EQ(big.bucket_count(), 20000);
}

TEST(FaceTableDeathTest, NegativeHintEndsProcess) {
  EXPECT_EXIT(FaceTable(-5), testing::ExitedWithCode(1), "");
}

TEST(FaceTable, GrowthDoublesAndKeepsEveryFace) {
  FaceTable t(0);
  t.add(0, 1, 2);
  t.set_face_edges(7, 8, 9, 0);
  t.add(1, 2, 3);
  EXPECT_EQ(t.capacity(), 2);
  t.add(2, 3, 4);
  EXPECT_EQ(t.capacity(), 4);
  for (int i = 3; i < 5000; ++i) t.add(i, i + 1, i + 2);
  EXPECT_EQ(t.count(), 5000);
  EXPECT_EQ(t.capacity(), 8192);
  for (int i = 0; i < 5000; ++i) ASSERT_EQ(t.add(i + 2, i, i + 1), i);
  int32_t e[3];
  t.face_edges(0, e);
  EXPECT_EQ(e[2], 9);
}
