// Light3d: a light source of the viewer's scene (kind 2).
#pragma once

#include <cstdint>

#include "meshlib/obj3d.h"
#include "meshlib/vec3d.h"

class Light3d : public Obj3d {
 public:
  // A light without target: target (0,0,0), both parameters 0.
  Light3d(const char* name, const Vec3d& colour, const Vec3d& position);
  // A light that aims at target, with its two parameters.
  Light3d(const char* name, const Vec3d& colour, const Vec3d& position, const Vec3d& target,
          double param1, double param2);

  // out = target - position, normalised (a light whose target is its position gives (0,0,0)).
  void direction(Vec3d& out) const;

  int32_t has_target;
  int32_t enabled;
  Vec3d colour;
  Vec3d position;
  Vec3d target;
  double param1;
  double param2;
};
