#include "plugins/povscene_out/scene_view.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

double radians(double degrees) { return degrees * kPi / 180.0; }

double within(double v, double low, double high, double fallback) {
  if (!std::isfinite(v)) return fallback;
  return std::min(std::max(v, low), high);
}

// Unit vector from the centre toward a viewer at this azimuth and elevation.
Vec3d direction(double azimuth, double elevation) {
  const double a = radians(azimuth), e = radians(elevation);
  return Vec3d{std::cos(e) * std::sin(a), -std::cos(e) * std::cos(a), std::sin(e)};
}

}  // namespace

SceneView usable_view(const SceneView& view) {
  const SceneView defaults;
  SceneView v;
  v.azimuth = std::isfinite(view.azimuth) ? std::fmod(view.azimuth, 360.0) : defaults.azimuth;
  v.elevation = within(view.elevation, -89.0, 89.0, defaults.elevation);
  v.field_of_view = within(view.field_of_view, 1.0, 170.0, defaults.field_of_view);
  v.aspect_ratio = within(view.aspect_ratio, 0.05, 20.0, defaults.aspect_ratio);
  return v;
}

SceneCamera frame_box(const Vec3d& box_min, const Vec3d& box_max, const SceneView& chosen) {
  const SceneView view = usable_view(chosen);
  Vec3d low = box_min, high = box_max;
  const bool usable = std::isfinite(low.x) && std::isfinite(low.y) && std::isfinite(low.z) &&
                      std::isfinite(high.x) && std::isfinite(high.y) && std::isfinite(high.z) &&
                      low.x <= high.x && low.y <= high.y && low.z <= high.z;
  if (!usable) low = high = Vec3d{0.0, 0.0, 0.0};
  Vec3d centre{(low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2};
  Vec3d half{(high.x - low.x) / 2, (high.y - low.y) / 2, (high.z - low.z) / 2};
  double radius = vec_length(half);
  if (!(radius > 0.0)) {
    // A single point: a unit box around it, so that the camera has somewhere to stand.
    half = Vec3d{0.5, 0.5, 0.5};
    radius = vec_length(half);
  }

  // Camera axes: back toward the viewer, right and up on the picture (z up, not mirrored).
  const Vec3d back = direction(view.azimuth, view.elevation);
  Vec3d right{-back.y, back.x, 0.0};  // z x back, level with the ground
  vec_normalize(right);
  Vec3d up;
  vec_cross(up, back, right);
  const double tan_x = 0.9 * std::tan(radians(view.field_of_view) / 2);
  const double tan_y = tan_x / view.aspect_ratio;

  // A corner q (from the centre) at distance d lies in front of the camera at depth d - q.back
  // and inside the picture when |q.right| <= tan_x depth and |q.up| <= tan_y depth.
  double distance = 1.05 * radius;
  for (int i = 0; i < 8; ++i) {
    const Vec3d q{(i & 1) ? half.x : -half.x, (i & 2) ? half.y : -half.y,
                  (i & 4) ? half.z : -half.z};
    const double along = vec_dot(q, back);
    distance = std::max(distance, std::fabs(vec_dot(q, right)) / tan_x + along);
    distance = std::max(distance, std::fabs(vec_dot(q, up)) / tan_y + along);
  }

  SceneCamera camera;
  vec_scale(camera.location, back, distance);
  vec_add(camera.location, camera.location, centre);
  camera.look_at = centre;
  // The key light stands 45 degrees to the left of the camera and higher, the fill light 60
  // degrees to its right and low, so that the sides facing the camera differ in brightness and
  // the top is brightest. Both far enough to light the box evenly.
  const double light_distance = std::max(distance, 4.0 * radius) * 2.0;
  Vec3d key = direction(view.azimuth - 45.0, std::min(view.elevation + 30.0, 75.0));
  Vec3d fill = direction(view.azimuth + 60.0, std::max(view.elevation - 10.0, 5.0));
  vec_scale(key, key, light_distance);
  vec_scale(fill, fill, light_distance);
  vec_add(camera.key_light, centre, key);
  vec_add(camera.fill_light, centre, fill);
  return camera;
}
