#include <gtest/gtest.h>

#include "meshlib/index_list.h"
#include "meshlib/point_list.h"
#include "meshlib/record_list.h"

TEST(GrowableArray, IndexListDoublesAtFifthAndNinthElement) {
  IndexList list;
  EXPECT_EQ(list.capacity, 4);
  for (int i = 0; i < 4; ++i) list.append(i * 10);
  EXPECT_EQ(list.capacity, 4);
  list.append(40);
  EXPECT_EQ(list.capacity, 8);
  for (int i = 5; i < 8; ++i) list.append(i * 10);
  EXPECT_EQ(list.capacity, 8);
  list.append(80);
  EXPECT_EQ(list.capacity, 16);
  EXPECT_EQ(list.count, 9);
  for (int i = 0; i < 9; ++i) {
    int32_t v = -1;
    list.get(i, v);
    EXPECT_EQ(v, i * 10);
  }
}

TEST(GrowableArray, PointListGrowsOnlyWhenFull) {
  PointList list(3);
  const Vec3d* block = list.data;
  for (int i = 0; i < 3; ++i) list.append({double(i), 0, 0});
  EXPECT_EQ(list.capacity, 3);
  EXPECT_EQ(list.data, block);
  list.append({3, 4, 5});
  EXPECT_EQ(list.capacity, 6);
  Vec3d p;
  list.get(3, p);
  EXPECT_EQ(p.z, 5.0);
  list.get(1, p);
  EXPECT_EQ(p.x, 1.0);
  EXPECT_EQ(PointList().capacity, 32);
}

TEST(GrowableArray, SetGetAndPop) {
  RecordList list;
  EXPECT_EQ(list.capacity, 32);
  list.append(Record5{{1, 2, 3, 4, 5}});
  list.append(Record5{{6, 7, 8, 9, 10}});
  list.set(0, Record5{{11, 12, 13, 14, 15}});
  Record5 r;
  list.get(0, r);
  EXPECT_EQ(r.v[0], 11);
  EXPECT_EQ(r.v[4], 15);
  list.pop();
  EXPECT_EQ(list.count, 1);
  list.pop();
  list.pop();  // nothing left: stays at 0
  EXPECT_EQ(list.count, 0);
}

TEST(GrowableArray, ZeroCapacityStillAppends) {
  IndexList list(0);
  EXPECT_EQ(list.data, nullptr);
  int32_t v = 7;
  list.get(0, v);  // no block: nothing
  list.set(0, 3);
  list.pop();
  EXPECT_EQ(v, 7);
  list.append(1);
  list.append(2);
  list.append(3);
  EXPECT_EQ(list.count, 3);
  EXPECT_EQ(list.capacity, 4);
  list.get(2, v);
  EXPECT_EQ(v, 3);
  IndexList negative(-5);
  EXPECT_EQ(negative.capacity, 0);
  negative.append(9);
  EXPECT_EQ(negative.count, 1);
}
