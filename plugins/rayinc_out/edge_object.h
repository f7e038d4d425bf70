// Common start of the wire and blob writers, which write a mesh's visible edges instead of
// its surface.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "meshlib/vec3d.h"
#include "plugins/rayinc_out/inc_text.h"
#include "plugins/rayinc_out/writer_report.h"

class FaceNormalCache;
class Mesh3d;

// What the edge writers of both files need of one mesh: its cleaned name, its bounding box and
// its visible edges at the edge angle, as the vertices and edges of the mesh's edge-only copy
// (in plain arrays, so that an export can keep them for every mesh of a large model between
// its two files). An export makes it once per mesh, while the mesh's indexed form exists, and
// both the ".inc" and the ".udo" writer use it.
struct EdgeObject {
  std::string name;
  Vec3d bbox_min = {0, 0, 0};
  Vec3d bbox_max = {0, 0, 0};
  bool has_tables = false;    // the mesh had the tables to take edges from
  std::vector<Vec3d> points;  // the copy's vertices
  std::vector<int32_t> ends;  // two vertex numbers per edge

  int32_t vertex_count() const { return static_cast<int32_t>(points.size()); }
  int32_t edge_count() const { return static_cast<int32_t>(ends.size() / 2); }
};

// With normals (a face normal cache over mesh), the face normals the edge angle needs come from
// it, and stay there for the mesh's corner normals.
EdgeObject make_edge_object(const Mesh3d& mesh, double edge_angle,
                            FaceNormalCache* normals = nullptr);

// Reports "Working on: " with the object's name, as every writer does when it starts a mesh.
void report_edge_object(const EdgeObject& object, WriterReport* report);
