#include "meshlib/edge_table.h"

#include <gtest/gtest.h>

TEST(EdgeTable, BothDirectionsAreOneEdgeKeepingFirstOrder) {
  EdgeTable t(0);
  EXPECT_EQ(t.add(5, 2), 0);
  EXPECT_EQ(t.add(2, 5), 0);
  EXPECT_EQ(t.add(2, 6), 1);
  EXPECT_EQ(t.add(3, 3), 2);
  EXPECT_EQ(t.count(), 3);
  int32_t ends[2];
  ASSERT_EQ(t.ends(0, ends), 0);
  EXPECT_EQ(ends[0], 5);
  EXPECT_EQ(ends[1], 2);
  EXPECT_EQ(t.ends(3, ends), -1);
}

TEST(EdgeTable, ThirdFaceOverwritesSecond) {
  EdgeTable t(0);
  t.add(0, 1);
  int32_t f[2];
  ASSERT_EQ(t.faces_of_edge(0, f), 0);
  EXPECT_EQ(f[0], -1);
  EXPECT_EQ(f[1], -1);
  EXPECT_EQ(t.add_face_to_edge(10, 0), 1);
  t.faces_of_edge(0, f);
  EXPECT_EQ(f[0], 10);
  EXPECT_EQ(f[1], -1);
  t.add_face_to_edge(11, 0);
  t.add_face_to_edge(12, 0);
  t.faces_of_edge(0, f);
  EXPECT_EQ(f[0], 10);
  EXPECT_EQ(f[1], 12);
  EXPECT_EQ(t.add_face_to_edge(1, 1), -1);
  EXPECT_EQ(t.faces_of_edge(-1, f), -1);
}

TEST(EdgeTable, SizingFromHint) {
  EdgeTable zero(0);
  EXPECT_EQ(zero.capacity(), 3);
  EXPECT_EQ(zero.bucket_count(), 2048);
  EdgeTable big(10000);
  EXPECT_EQ(big.capacity(), 30000);
  EXPECT_EQ(big.bucket_count(), 30000);
}

TEST(EdgeTableDeathTest, NegativeHintEndsProcess) {
  EXPECT_EXIT(EdgeTable(-1), testing::ExitedWithCode(1), "");
}

TEST(EdgeTable, GrowthKeepsEndsAndFaces) {
  EdgeTable t(0);
  for (int i = 0; i < 4; ++i) t.add(i, i + 1);
  EXPECT_EQ(t.capacity(), 6);
  t.add_face_to_edge(3, 0);
  for (int i = 4; i < 3000; ++i) t.add(i + 1, i);
  EXPECT_EQ(t.capacity(), 3072);
  for (int i = 0; i < 3000; ++i) ASSERT_EQ(t.add(i + 1, i), i);
  int32_t f[2], e[2];
  t.faces_of_edge(0, f);
  EXPECT_EQ(f[0], 3);
  t.faces_of_edge(2999, f);
  EXPECT_EQ(f[0], -1);
  EXPECT_EQ(f[1], -1);
  t.ends(2999, e);
  EXPECT_EQ(e[0], 3000);
}
