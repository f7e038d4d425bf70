#include "meshlib/light3d.h"

Light3d::Light3d(const char* name, const Vec3d& colour, const Vec3d& position)
    : Obj3d(name, kLight),
      has_target(0),
      enabled(1),
      colour(colour),
      position(position),
      target{0.0, 0.0, 0.0},
      param1(0.0),
      param2(0.0) {}

Light3d::Light3d(const char* name, const Vec3d& colour, const Vec3d& position, const Vec3d& target,
                 double param1, double param2)
    : Obj3d(name, kLight),
      has_target(1),
      enabled(1),
      colour(colour),
      position(position),
      target(target),
      param1(param1),
      param2(param2) {}

void Light3d::direction(Vec3d& out) const {
  vec_sub(out, target, position);
  vec_normalize(out);
}
