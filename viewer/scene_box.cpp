#include "viewer/scene_box.h"

#include "meshlib/light3d.h"
#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"

void scene_box_of(const ObjectList* objects, SceneBox& box) {
  box = SceneBox{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, 1};
  if (objects == nullptr) return;
  const int32_t n = objects->count();
  for (int32_t i = 0; i < n; ++i) {
    const Obj3d* obj = static_cast<const Obj3d*>(objects->get(i));
    if (obj == nullptr || obj->kind() != Obj3d::kMesh) continue;
    const Mesh3d* mesh = static_cast<const Mesh3d*>(obj);
    if (mesh->bbox_empty) continue;
    if (box.empty) {
      box.min = mesh->bbox_min;
      box.max = mesh->bbox_max;
      box.empty = 0;
    } else {
      vec_min(box.min, box.min, mesh->bbox_min);
      vec_max(box.max, box.max, mesh->bbox_max);
    }
  }
  vec_add(box.centre, box.min, box.max);
  vec_scale(box.centre, box.centre, 0.5);
}

void append_default_lights(const SceneBox& box, ObjectList& lights) {
  const Vec3d& m = box.min;
  const Vec3d& mx = box.max;
  const Vec3d& z0 = box.centre;
  Light3d* front1 = new Light3d("FrontLight1", Vec3d{0.3, 0.3, 0.3}, Vec3d{m.x, m.y, mx.z});
  Light3d* front2 =
      new Light3d("FrontLight2", Vec3d{0.4, 0.4, 0.4}, Vec3d{mx.x, m.y, mx.z}, z0, 15.0, 50.0);
  Light3d* back1 =
      new Light3d("BackLight1", Vec3d{0.3, 0.3, 0.3}, Vec3d{mx.x, mx.y, mx.z}, z0, 15.0, 50.0);
  Light3d* back2 =
      new Light3d("BackLight2", Vec3d{0.4, 0.4, 0.4}, Vec3d{m.x, mx.y, mx.z}, z0, 15.0, 50.0);
  back1->enabled = 0;
  back2->enabled = 0;
  lights.append(front1);
  lights.append(front2);
  lights.append(back1);
  lights.append(back2);
}

ViewerScene::ViewerScene()
    : objects_(nullptr),
      lights_(new ObjectList(release_object)),
      box_{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, 1} {}

ViewerScene::~ViewerScene() { delete lights_; }

void ViewerScene::clear_lights() {
  // ObjectList::clear also drops the release callback, so a fresh owning list replaces it.
  delete lights_;
  lights_ = new ObjectList(release_object);
}

void ViewerScene::compute_scene_box() {
  scene_box_of(objects_, box_);
  clear_lights();
  append_default_lights(box_, *lights_);
}
