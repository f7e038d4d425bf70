// Where the scene's camera and lights stand: an elevated view of the model's bounding box from
// outside, framed so that the whole box shows. Plain geometry in the system's own axes (z up).
#pragma once

#include "meshlib/vec3d.h"

// The view a user chooses in the options. Angles in degrees.
struct SceneView {
  // Around the z axis, counted from the front (the -y side, where the Front view looks from)
  // toward the right (+x): 0 looks straight at the front, 90 at the right side.
  double azimuth = 30.0;
  // Above the ground plane (z = constant); 90 looks straight down.
  double elevation = 25.0;
  // Horizontal field of view.
  double field_of_view = 40.0;
  // Picture width over height.
  double aspect_ratio = 4.0 / 3.0;
};

// The view with every value inside the range a camera can use: elevation within +-89 degrees,
// field of view within 1 and 170 degrees, aspect ratio within 0.05 and 20; a value that is no
// number takes its default.
SceneView usable_view(const SceneView& view);

struct SceneCamera {
  Vec3d location;
  Vec3d look_at;
  Vec3d key_light;   // above the camera and to its left, casting the shadows
  Vec3d fill_light;  // lower, from the camera's right
};

// The camera for the box [box_min, box_max] (a point or an empty box gets a unit box around
// it): it looks at the box's centre from the view's direction, at the smallest distance from
// which all eight corners lie inside 90% of the picture's width and height, and never closer
// than 1.05 times the box's half diagonal, so that it stands outside the box.
SceneCamera frame_box(const Vec3d& box_min, const Vec3d& box_max, const SceneView& view);
