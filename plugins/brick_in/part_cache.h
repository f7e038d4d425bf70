// The parts of one LDraw import: each part file is read and flattened once, then every later
// reference (from the model or from other parts) reuses its triangles.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "meshlib/mat4d.h"
#include "meshlib/vec3d.h"

// The flattened triangles of a part in LDraw coordinates: three corners per triangle, in
// corner order, and the colour code of each triangle (16 and 24: the colour of the reference
// that places the part). Nothing is welded here; welding happens once, when the final meshes
// are built.
struct PartGeometry {
  std::vector<Vec3d> corners;
  std::vector<int32_t> colours;  // one per triangle
  // Filled by index_points (scene_mesh.h): the corners' distinct positions, bit for bit, and
  // for each corner the number of its position among them.
  std::vector<Vec3d> points;
  std::vector<int32_t> point_of_corner;

  int64_t triangle_count() const { return static_cast<int64_t>(corners.size() / 3); }
};

// A part of the cache, or the model's own geometry ("_default").
struct PartEntry {
  std::string name;  // the name of the reference that first read it
  PartGeometry geometry;
  int32_t colour = 0;
  int32_t use_count = 0;   // depth-0 references so far: numbers the scene elements
  bool truncated = false;  // geometry stopped at the triangle limit
};

// Cache entries in the order in which the parts finished reading, found by their normalised
// key (ldraw_part_key), so one part is read once whatever the spelling of its references.
class PartCache {
 public:
  PartEntry* find(const std::string& key) const {
    auto it = by_key_.find(key);
    return it == by_key_.end() ? nullptr : it->second;
  }

  PartEntry* add(const std::string& key, std::unique_ptr<PartEntry> entry) {
    PartEntry* p = entry.get();
    entries_.push_back(std::move(entry));
    by_key_.emplace(key, p);
    return p;
  }

  const std::vector<std::unique_ptr<PartEntry>>& entries() const { return entries_; }

 private:
  std::vector<std::unique_ptr<PartEntry>> entries_;
  std::unordered_map<std::string, PartEntry*> by_key_;
};

// One mesh-to-be of the scene: a part placed by a reference of the model file (or the model's
// own geometry with the identity placement). Corners are placed by matrix and then turned into
// system axes.
struct SceneElement {
  std::string name;
  int32_t colour = 0;
  const PartEntry* part = nullptr;
  Mat4d matrix;
};

// Whether faces of a colour code take the colour of the reference that places their part: the
// main colour (16) and the edge colour (24).
inline bool inherits_colour(int32_t colour) { return colour == 16 || colour == 24; }

// The colour a triangle of colour code own has in element: own, or the element's colour when own
// inherits it.
inline int32_t effective_colour(const SceneElement& element, int32_t own) {
  return inherits_colour(own) ? element.colour : own;
}

// LDraw's y axis points down; the system's z points up: exchange y and z, then negate z.
// Zeros come out positive (0 - y, x + 0): a "-0" would print as "-0.000000" in the statistics
// and weld apart from the "+0" of a neighbouring corner.
inline Vec3d ldraw_to_system_axes(const Vec3d& p) { return Vec3d{p.x + 0.0, p.z + 0.0, 0.0 - p.y}; }
