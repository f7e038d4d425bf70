// Vec3d: the one geometric value type of the mesh library (points, directions, normals,
// colours, angle triples), and the free functions on it. Every coordinate is a double.
// The functions write through an output argument or return a scalar; none allocates.
#pragma once

#include <cmath>
#include <cstdint>

struct Vec3d {
  double x;
  double y;
  double z;
};

inline void vec_set(Vec3d& out, double x, double y, double z) {
  out.x = x;
  out.y = y;
  out.z = z;
}

inline void vec_copy(Vec3d& out, const Vec3d& a) { out = a; }

// Component-wise tolerance of 1e-6 (strict): the welding tables use it to decide among the
// vertices of one hash bucket.
inline int vec_equal(const Vec3d& a, const Vec3d& b) {
  return std::fabs(a.x - b.x) < 1e-6 && std::fabs(a.y - b.y) < 1e-6 && std::fabs(a.z - b.z) < 1e-6;
}

inline void vec_add(Vec3d& out, const Vec3d& a, const Vec3d& b) {
  out.x = a.x + b.x;
  out.y = a.y + b.y;
  out.z = a.z + b.z;
}

inline void vec_sub(Vec3d& out, const Vec3d& a, const Vec3d& b) {
  out.x = a.x - b.x;
  out.y = a.y - b.y;
  out.z = a.z - b.z;
}

inline void vec_scale(Vec3d& out, const Vec3d& a, double s) {
  out.x = s * a.x;
  out.y = s * a.y;
  out.z = s * a.z;
}

inline double vec_length(const Vec3d& a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }

// A zero vector (and one whose length is not a positive number) stays as it is.
inline void vec_normalize(Vec3d& a) {
  double len = vec_length(a);
  if (len > 0.0) {
    a.x /= len;
    a.y /= len;
    a.z /= len;
  }
}

inline double vec_dot(const Vec3d& a, const Vec3d& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Written component by component: out must not be a or b.
inline void vec_cross(Vec3d& out, const Vec3d& a, const Vec3d& b) {
  out.x = a.y * b.z - a.z * b.y;
  out.y = a.z * b.x - a.x * b.z;
  out.z = a.x * b.y - a.y * b.x;
}

inline void vec_min(Vec3d& out, const Vec3d& a, const Vec3d& b) {
  out.x = a.x < b.x ? a.x : b.x;
  out.y = a.y < b.y ? a.y : b.y;
  out.z = a.z < b.z ? a.z : b.z;
}

inline void vec_max(Vec3d& out, const Vec3d& a, const Vec3d& b) {
  out.x = a.x > b.x ? a.x : b.x;
  out.y = a.y > b.y ? a.y : b.y;
  out.z = a.z > b.z ? a.z : b.z;
}

// Mode 1 exchanges x and y, 2 exchanges x and z, 3 exchanges y and z; other modes do nothing.
inline void vec_swap_axes(Vec3d& a, int32_t mode) {
  double t;
  switch (mode) {
    case 1:
      t = a.x;
      a.x = a.y;
      a.y = t;
      break;
    case 2:
      t = a.x;
      a.x = a.z;
      a.z = t;
      break;
    case 3:
      t = a.y;
      a.y = a.z;
      a.z = t;
      break;
    default:
      break;
  }
}

// Angle between a and b in degrees (0 ... 180); 0 when either is a zero vector. The cosine is
// clamped, so two equal vectors give 0 even when rounding puts it slightly above 1.
double angle_between(const Vec3d& a, const Vec3d& b);

// The same in radians.
double angle_between_rad(const Vec3d& a, const Vec3d& b);

// Unit normal of the triangle p0, p1, p2: (p2 - p0) x (p1 - p0). For corners that run
// counter-clockwise seen from a viewer (right-handed axes) it points away from the viewer;
// orientation, smoothing and every normal an exporter writes rely on this sign.
// A degenerate triangle gives (0, 0, 0).
void face_normal(const Vec3d& p0, const Vec3d& p1, const Vec3d& p2, Vec3d& out);
