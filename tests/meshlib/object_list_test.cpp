#include "meshlib/object_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "meshlib/light3d.h"
#include "meshlib/mesh3d.h"

namespace {

// A scene object that reports its own destruction.
class Tracked : public Obj3d {
 public:
  Tracked(int32_t kind, bool* gone) : Obj3d("tracked", kind), gone_(gone) {}
  ~Tracked() override { *gone_ = true; }

 private:
  bool* gone_;
};

std::vector<void*> released;
void record_release(void* element) { released.push_back(element); }

}  // namespace

TEST(ObjectList, NewListIsEmpty) {
  ObjectList list;
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(list.get(0), nullptr);
  EXPECT_EQ(list.get(-1), nullptr);
}

TEST(ObjectList, GetReturnsElementsInAppendOrder) {
  int a, b, c;
  ObjectList list;
  list.append(&a);
  list.append(&b);
  list.append(&c);
  list.append(&a);  // repeats are allowed
  EXPECT_EQ(list.count(), 4);
  EXPECT_EQ(list.get(0), &a);
  EXPECT_EQ(list.get(2), &c);
  EXPECT_EQ(list.get(4), nullptr);
  // Any order of lookups gives the same answers as walks from the head.
  const int order[] = {3, 1, 1, 2, 0, 3, 2, -1, 4, 1};
  void* expected[] = {&a, &b, &b, &c, &a, &a, &c, nullptr, nullptr, &b};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(list.get(order[i]), expected[i]) << "lookup " << i;
}

TEST(ObjectList, AppendAfterLookupExtendsList) {
  int a, b;
  ObjectList list;
  list.append(&a);
  EXPECT_EQ(list.get(0), &a);
  list.append(&b);
  EXPECT_EQ(list.get(1), &b);
  EXPECT_EQ(list.get(0), &a);
}

TEST(ObjectList, ClearWithReleaseObjectDeletesMeshesAndLightsOnly) {
  bool mesh_gone = false, light_gone = false, other_gone = false, later_gone = false;
  Tracked* other = new Tracked(1, &other_gone);
  {
    ObjectList list(release_object);
    list.append(new Tracked(Obj3d::kMesh, &mesh_gone));
    list.append(other);
    list.append(nullptr);
    list.append(new Tracked(Obj3d::kLight, &light_gone));
    list.append(new Mesh3d(0, "real mesh"));
    list.append(new Light3d("real light", {1, 1, 1}, {0, 0, 0}));
    list.clear();
    EXPECT_TRUE(mesh_gone);
    EXPECT_TRUE(light_gone);
    EXPECT_FALSE(other_gone);
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.get(0), nullptr);
    // The cleared list has dropped its callback: what is appended now is not owned.
    Tracked later(Obj3d::kMesh, &later_gone);
    list.append(&later);
    EXPECT_EQ(list.get(0), &later);
  }
  EXPECT_FALSE(other_gone);
  delete other;
  EXPECT_TRUE(other_gone);
}

TEST(ObjectList, DestroyingListReleasesInOrder) {
  int a, b;
  released.clear();
  {
    ObjectList list(record_release);
    list.append(&a);
    list.append(&b);
  }
  ASSERT_EQ(released.size(), 2u);
  EXPECT_EQ(released[0], &a);
  EXPECT_EQ(released[1], &b);
}

TEST(ObjectList, ListWithoutReleaseLeavesElementsAlive) {
  bool gone = false;
  Tracked obj(Obj3d::kMesh, &gone);
  {
    ObjectList list;
    list.append(&obj);
    list.append(&obj);
  }
  EXPECT_FALSE(gone);
}

TEST(ObjectList, ReleaseObjectIgnoresNull) { release_object(nullptr); }
