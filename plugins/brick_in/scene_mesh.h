// Turning a scene element into a mesh of the system.
#pragma once

#include "plugins/brick_in/part_cache.h"

class Mesh3d;

// A new mesh named after the element, in its indexed form, holding every triangle of the
// element's part placed by the element's matrix and turned into system axes; null when the part
// holds no triangle. Corners weld here, once per final mesh.
Mesh3d* build_scene_mesh(const SceneElement& element);
