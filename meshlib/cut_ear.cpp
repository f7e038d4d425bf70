#include "meshlib/cut_ear.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kThird = 0.3333333333333333;
// Twice the area below which a candidate ear counts as degenerate.
constexpr double kDegenerate = 1e-15;

bool Degenerate(const Vec3d& a, const Vec3d& b, const Vec3d& c) {
  Vec3d u, w, n;
  vec_sub(u, a, b);
  vec_sub(w, a, c);
  vec_cross(n, u, w);
  return vec_length(n) < kDegenerate;
}

}  // namespace

int InsidePolygon(const int32_t* indices, const Vec3d* positions, int32_t count,
                  const Vec3d& point) {
  Vec3d sum = {0.0, 0.0, 0.0};
  for (int32_t i = 0; i < count; ++i) {
    const Vec3d& p = positions[indices[i]];
    const Vec3d& q = positions[indices[(i + 1) % count]];
    Vec3d u, w, n, step;
    vec_sub(u, point, p);
    vec_sub(w, point, q);
    vec_cross(n, u, w);
    vec_normalize(n);
    vec_scale(step, n, angle_between_rad(u, w));
    vec_add(sum, sum, step);
  }
  return vec_length(sum) >= kPi ? 1 : 0;
}

int CutEar(int32_t* indices, int32_t& count, const Vec3d* positions, int32_t& a, int32_t& b,
           int32_t& c) {
  if (count <= 2) return 0;
  if (count == 3) {
    a = indices[0];
    b = indices[1];
    c = indices[2];
    count = 0;
    return Degenerate(positions[a], positions[b], positions[c]) ? 0 : 1;
  }

  for (int32_t i = 0; i < count; ++i) {
    const int32_t j = (i + 1) % count;
    const int32_t k = (i + 2) % count;
    const Vec3d& pa = positions[indices[i]];
    const Vec3d& pb = positions[indices[j]];
    const Vec3d& pc = positions[indices[k]];
    if (Degenerate(pa, pb, pc)) continue;

    Vec3d centroid;
    vec_add(centroid, pa, pb);
    vec_add(centroid, centroid, pc);
    vec_scale(centroid, centroid, kThird);
    if (!InsidePolygon(indices, positions, count, centroid)) continue;

    const int32_t ear[3] = {indices[i], indices[j], indices[k]};
    bool blocked = false;
    for (int32_t m = 0; m < count && !blocked; ++m) {
      if (m == i || m == j || m == k) continue;
      blocked = InsidePolygon(ear, positions, 3, positions[indices[m]]) != 0;
    }
    if (blocked) continue;

    a = ear[0];
    b = ear[1];
    c = ear[2];
    --count;
    for (int32_t m = j; m < count; ++m) indices[m] = indices[m + 1];
    return 1;
  }
  return 0;
}
