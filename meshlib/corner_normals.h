// Corner normals for smooth shading: the normal at each corner of a face is the average of the
// normals of the faces around that corner that meet the face at less than a smoothing angle.
#pragma once

#include <cstdint>

#include "meshlib/vec3d.h"

class Mesh3d;

// out[k] is the unit normal for corner k of face `face` of mesh's indexed form: the normalised
// sum of the face normals (face_normal, unweighted) of every face using that corner's vertex,
// the face itself included, whose angle to this face's normal is strictly less than
// smooth_angle degrees. When |smooth_angle| < 1e-6 all three are this face's own normal. A
// face of the other winding is about 180 degrees away and is left out, so meshes should be
// oriented first. Without tables, or for a face index that is not a face, all three are zero.
// Costs three normal computations per face around each corner (the sum of the three corners'
// degrees).
void corner_normals(const Mesh3d& mesh, int32_t face, double smooth_angle, Vec3d out[3]);
