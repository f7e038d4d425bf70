#include "plugins/brick_in/scene_mesh.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <unordered_map>

#include "meshlib/mesh3d.h"

namespace {

int32_t size_hint(int64_t triangles) {
  return triangles > std::numeric_limits<int32_t>::max() / 2
             ? std::numeric_limits<int32_t>::max() / 2
             : static_cast<int32_t>(triangles);
}

// The 24 bytes of a position, for finding equal positions bit for bit.
struct PointBits {
  uint64_t w[3];
  bool operator==(const PointBits& o) const {
    return w[0] == o.w[0] && w[1] == o.w[1] && w[2] == o.w[2];
  }
};

struct PointBitsHash {
  std::size_t operator()(const PointBits& p) const {
    uint64_t h = p.w[0] * 0x9E3779B97F4A7C15ull;
    h = (h ^ (h >> 29) ^ p.w[1]) * 0xBF58476D1CE4E5B9ull;
    h = (h ^ (h >> 31) ^ p.w[2]) * 0x94D049BB133111EBull;
    return static_cast<std::size_t>(h ^ (h >> 32));
  }
};

static_assert(sizeof(Vec3d) == sizeof(PointBits::w), "a position is three doubles");

// Triangles handed to the welding at once; the welding remembers positions across batches.
constexpr int32_t kBatchTriangles = 1 << 16;

// The element's triangles (all of them, or those of one effective colour) as a new mesh. Every
// corner is placed as add_triangle would get it, and equal local positions (bit for bit) give
// equal placed ones, so placing and welding each distinct position once builds the same mesh.
Mesh3d* build(const SceneElement& element, const char* name, bool one_colour, int32_t colour,
              bool with_edges) {
  int64_t triangles = element.part != nullptr ? element.part->geometry.triangle_count() : 0;
  if (triangles <= 0) return nullptr;
  const std::vector<int32_t>& colours = element.part->geometry.colours;
  int64_t chosen = triangles;
  if (one_colour) {
    chosen = 0;
    for (int64_t t = 0; t < triangles; ++t)
      if (effective_colour(element, colours[static_cast<std::size_t>(t)]) == colour) ++chosen;
    if (chosen == 0) return nullptr;
  }
  const PartGeometry* geometry = &element.part->geometry;
  PartGeometry indexed;  // for a geometry nobody has indexed
  if (geometry->point_of_corner.size() != geometry->corners.size()) {
    indexed.corners = geometry->corners;
    index_points(indexed);
    geometry = &indexed;
  }
  std::vector<Vec3d> placed(geometry->points.size());
  for (std::size_t i = 0; i < placed.size(); ++i) {
    Vec3d q;
    mat_transform_point(q, element.matrix, geometry->points[i]);
    placed[i] = ldraw_to_system_axes(q);
  }
  std::vector<int32_t> memo(placed.size(), -1);
  Mesh3d* mesh = new Mesh3d(size_hint(chosen), name, with_edges);
  std::vector<int32_t> batch;
  batch.reserve(3 * static_cast<std::size_t>(std::min<int64_t>(chosen, kBatchTriangles)));
  auto flush = [&] {
    mesh->add_indexed_triangles(placed.data(), batch.data(), static_cast<int32_t>(batch.size() / 3),
                                memo.data());
    batch.clear();
  };
  for (int64_t t = 0; t < triangles; ++t) {
    if (one_colour && effective_colour(element, colours[static_cast<std::size_t>(t)]) != colour)
      continue;
    const int32_t* corner = &geometry->point_of_corner[static_cast<std::size_t>(3 * t)];
    batch.insert(batch.end(), corner, corner + 3);
    if (batch.size() == 3 * static_cast<std::size_t>(kBatchTriangles)) flush();
  }
  if (!batch.empty()) flush();
  return mesh;
}

}  // namespace

void index_points(PartGeometry& geometry) {
  geometry.points.clear();
  geometry.point_of_corner.clear();
  geometry.point_of_corner.reserve(geometry.corners.size());
  std::unordered_map<PointBits, int32_t, PointBitsHash> number;
  number.reserve(geometry.corners.size());
  for (const Vec3d& c : geometry.corners) {
    PointBits bits;
    std::memcpy(bits.w, &c, sizeof bits.w);
    auto found = number.emplace(bits, static_cast<int32_t>(geometry.points.size()));
    if (found.second) geometry.points.push_back(c);
    geometry.point_of_corner.push_back(found.first->second);
  }
}

Mesh3d* build_scene_mesh(const SceneElement& element, bool with_edges) {
  return build(element, element.name.c_str(), false, 0, with_edges);
}

Mesh3d* build_scene_mesh_of_colour(const SceneElement& element, const char* name, int32_t colour,
                                   bool with_edges) {
  return build(element, name, true, colour, with_edges);
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
