#include "meshlib/vec3d.h"

double angle_between(const Vec3d& a, const Vec3d& b) {
  double d = vec_length(a) * vec_length(b);
  if (d == 0.0) return 0.0;
  double k = vec_dot(a, b) / d;
  if (k <= -1.0) return 180.0;
  if (k >= 1.0) return 0.0;
  return std::acos(k) * 57.29577951308232;
}

double angle_between_rad(const Vec3d& a, const Vec3d& b) {
  double d = vec_length(a) * vec_length(b);
  if (d == 0.0) return 0.0;
  double k = vec_dot(a, b) / d;
  if (k <= -1.0) return 3.141592653589793;
  if (k >= 1.0) return 0.0;
  return std::acos(k);
}

void face_normal(const Vec3d& p0, const Vec3d& p1, const Vec3d& p2, Vec3d& out) {
  Vec3d u, w;
  vec_sub(u, p1, p0);
  vec_sub(w, p2, p0);
  vec_cross(out, w, u);
  vec_normalize(out);
}
