// Compiles the scene into the display lists of the current OpenGL context (a context that
// shares its lists with every view): boxes, edges, both sides of the triangles, normal
// needles, one list per light, and the scene frame. A paint then only calls lists.
#pragma once

#include <cstdint>
#include <vector>

#include "meshlib/vec3d.h"

class ObjectList;
class ViewerScene;

// Builds lists 1, 3, 4, 5, 6, 7 ... 14 and 15 under their fixed names, replacing earlier
// ones. colours receives one palette colour per object-list position, drawn from the
// generator in list order. Meshes are read through their indexed form, rebuilt from the flat
// form and dropped again for the front triangles and for the edges (a mesh that already has
// its tables keeps them); the back triangles and the normal needles reuse the front
// triangles, kept meanwhile as 72 bytes per face.
// Returns 0 and builds nothing when the scene has no object list.
int build_model_lists(const ViewerScene& scene, std::vector<Vec3d>& colours);

// Compiles the list of light `index` (0 ... 7) from element `index` of lights: the state of
// that light when it is a Light3d, otherwise a list that switches the light off.
void compile_light_list(const ObjectList& lights, int32_t index);
