// Mat4d: a 4x4 matrix of doubles, row-major (m[row][column]). Points are row vectors
// multiplied from the left, so the translation lives in row 3. Column 3 is carried along
// by multiplication but never used to divide.
#pragma once

#include "meshlib/vec3d.h"

struct Mat4d {
  double m[4][4];
};

inline void mat_identity(Mat4d& m) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) m.m[i][j] = i == j ? 1.0 : 0.0;
}

inline void mat_copy(Mat4d& out, const Mat4d& m) { out = m; }

// out = a * b: applying out to a row vector applies a first, then b. Computed into a
// temporary, so out may be a or b.
inline void mat_multiply(Mat4d& out, const Mat4d& a, const Mat4d& b) {
  Mat4d r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      double s = 0.0;
      for (int k = 0; k < 4; ++k) s += a.m[i][k] * b.m[k][j];
      r.m[i][j] = s;
    }
  out = r;
}

// out = (p, 1) * m without the projective divide. Computed into a temporary, so out may be p.
inline void mat_transform_point(Vec3d& out, const Mat4d& m, const Vec3d& p) {
  Vec3d r;
  r.x = p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0];
  r.y = p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1];
  r.z = p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2];
  out = r;
}
