// The axes of formats whose convention is y up (glTF, OBJ). The system's models stand on the
// x-y plane with z up; turning them a quarter turn about x keeps them upright there, keeps
// left and right, and keeps every winding (a rotation, not a mirror).
#pragma once

#include <cmath>

#include "meshlib/vec3d.h"

// (x, y, z) with z up becomes (x, z, -y) with y up, as floats; a coordinate that is not finite
// (or too large for a float) becomes 0, so bounds and files stay readable, and -0 becomes 0.
inline void to_y_up(const Vec3d& p, float out[3]) {
  const double v[3] = {p.x, p.z, -p.y};
  for (int k = 0; k < 3; ++k) {
    const float f = static_cast<float>(v[k]);
    out[k] = std::isfinite(f) ? f + 0.0f : 0.0f;
  }
}

// A direction (already a float normal) turned the same way.
inline void normal_to_y_up(const float n[3], float out[3]) {
  out[0] = n[0];
  out[1] = n[2];
  out[2] = -n[1] + 0.0f;
}
