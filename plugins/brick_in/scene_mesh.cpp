#include "plugins/brick_in/scene_mesh.h"

#include <limits>
#include <unordered_map>

#include "meshlib/mesh3d.h"

namespace {

int32_t size_hint(int64_t triangles) {
  return triangles > std::numeric_limits<int32_t>::max() / 2
             ? std::numeric_limits<int32_t>::max() / 2
             : static_cast<int32_t>(triangles);
}

// The element's triangles (all of them, or those of one effective colour) as a new mesh.
Mesh3d* build(const SceneElement& element, const char* name, bool one_colour, int32_t colour) {
  int64_t triangles = element.part != nullptr ? element.part->geometry.triangle_count() : 0;
  if (triangles <= 0) return nullptr;
  const std::vector<Vec3d>& corners = element.part->geometry.corners;
  const std::vector<int32_t>& colours = element.part->geometry.colours;
  int64_t chosen = triangles;
  if (one_colour) {
    chosen = 0;
    for (int64_t t = 0; t < triangles; ++t)
      if (effective_colour(element, colours[static_cast<std::size_t>(t)]) == colour) ++chosen;
    if (chosen == 0) return nullptr;
  }
  Mesh3d* mesh = new Mesh3d(size_hint(chosen), name);
  for (int64_t t = 0; t < triangles; ++t) {
    if (one_colour && effective_colour(element, colours[static_cast<std::size_t>(t)]) != colour)
      continue;
    Vec3d q[3];
    for (int k = 0; k < 3; ++k) {
      mat_transform_point(q[k], element.matrix, corners[3 * t + k]);
      q[k] = ldraw_to_system_axes(q[k]);
    }
    mesh->add_triangle(q[0], q[1], q[2]);
  }
  return mesh;
}

}  // namespace

Mesh3d* build_scene_mesh(const SceneElement& element) {
  return build(element, element.name.c_str(), false, 0);
}

Mesh3d* build_scene_mesh_of_colour(const SceneElement& element, const char* name, int32_t colour) {
  return build(element, name, true, colour);
}

std::vector<int32_t> element_colours(const SceneElement& element) {
  std::vector<int32_t> found;
  if (element.part == nullptr) return found;
  std::unordered_map<int32_t, bool> seen;
  for (int32_t own : element.part->geometry.colours) {
    int32_t c = effective_colour(element, own);
    if (seen.emplace(c, true).second) found.push_back(c);
  }
  return found;
}

int32_t most_used_colour(const SceneElement& element) {
  if (element.part == nullptr) return element.colour;
  std::unordered_map<int32_t, int64_t> counts;
  int32_t best = element.colour;
  int64_t best_count = 0;
  // In order of first use, so that the first of equal counts wins.
  for (int32_t own : element.part->geometry.colours) ++counts[effective_colour(element, own)];
  for (int32_t c : element_colours(element)) {
    if (counts[c] > best_count) {
      best = c;
      best_count = counts[c];
    }
  }
  return best;
}
