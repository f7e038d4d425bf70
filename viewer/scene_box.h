// The viewer's scene: the object list it shows (not owned), its light list (owned) and the
// scene box that framing, normal needles, the scene frame and the default lights depend on.
#pragma once

#include <cstdint>

#include "meshlib/vec3d.h"

class ObjectList;

// Union of the bounding boxes of all meshes (kind 0) of an object list. empty is 1 when the
// list holds no mesh with a box; min, max and centre are then all 0.
struct SceneBox {
  Vec3d min;
  Vec3d max;
  Vec3d centre;  // (min + max) * 0.5
  int32_t empty;
};

// The box of every mesh of objects (null counts as empty); meshes whose box was never set are
// left out.
void scene_box_of(const ObjectList* objects, SceneBox& box);

// Appends the four default lights that depend on box to lights: "FrontLight1",
// "FrontLight2" (on), "BackLight1", "BackLight2" (off).
void append_default_lights(const SceneBox& box, ObjectList& lights);

class ViewerScene {
 public:
  ViewerScene();
  ~ViewerScene();
  ViewerScene(const ViewerScene&) = delete;
  ViewerScene& operator=(const ViewerScene&) = delete;

  // The object list to show; the scene never deletes it. Null shows nothing.
  void set_objects(ObjectList* objects) { objects_ = objects; }
  ObjectList* objects() const { return objects_; }

  // The light list; it owns its lights (Light3d, kind 2).
  ObjectList& lights() { return *lights_; }
  const ObjectList& lights() const { return *lights_; }
  // Deletes every light and leaves the list empty (and still owning what is added later).
  void clear_lights();

  const SceneBox& box() const { return box_; }

  // Whether meshes that carry a colour of their own are drawn in it (off: every mesh in a
  // palette colour). Takes effect at the next build.
  void set_model_colours(bool on) { model_colours_ = on; }
  bool model_colours() const { return model_colours_; }

  // Scene box and centre of the meshes of the object list, and a light list replaced by the
  // four default lights for that box; every call replaces the lights, so repeated imports or
  // rebuilds never let the list grow.
  void compute_scene_box();

 private:
  ObjectList* objects_;
  ObjectList* lights_;
  SceneBox box_;
  bool model_colours_ = false;
};
