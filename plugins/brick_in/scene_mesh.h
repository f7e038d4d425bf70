// Turning a scene element into meshes of the system.
#pragma once

#include <cstdint>
#include <vector>

#include "plugins/brick_in/part_cache.h"

class Mesh3d;

// Fills geometry's points and point_of_corner, so that the meshes built from it place and weld
// each distinct position once instead of once per corner (the same meshes).
void index_points(PartGeometry& geometry);

// A new mesh named after the element, in its indexed form, holding every triangle of the
// element's part placed by the element's matrix and turned into system axes; null when the part
// holds no triangle. Corners weld here, once per final mesh. Without with_edges the mesh has no
// edge table (the same vertices and faces, for a mesh that is reduced to its flat form without
// anything that reads edges, such as unify_orientation).
Mesh3d* build_scene_mesh(const SceneElement& element, bool with_edges = true);

// The effective colours of the element's triangles (see effective_colour), each once, in the
// order of their first triangle.
std::vector<int32_t> element_colours(const SceneElement& element);

// The colour most of the element's triangles have (the first of equal counts); the element's
// own colour when it has no triangle.
int32_t most_used_colour(const SceneElement& element);

// The same as build_scene_mesh, named name, with only the triangles whose effective colour is
// colour; null when there is none.
Mesh3d* build_scene_mesh_of_colour(const SceneElement& element, const char* name, int32_t colour,
                                   bool with_edges = true);
