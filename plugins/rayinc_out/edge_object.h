// Common start of the wire and blob writers, which write a mesh's visible edges instead of
// its surface.
#pragma once

#include <memory>
#include <string>

#include "meshlib/vec3d.h"
#include "plugins/rayinc_out/inc_text.h"
#include "plugins/rayinc_out/writer_report.h"

class Mesh3d;

// What the edge writers of both files need of one mesh: its cleaned name, its bounding box and
// its edge-only copy made with the edge angle (null when the mesh has no tables to take edges
// from). An export makes it once per mesh, while the mesh's indexed form exists, and both the
// ".inc" and the ".udo" writer use it.
struct EdgeObject {
  std::string name;
  Vec3d bbox_min = {0, 0, 0};
  Vec3d bbox_max = {0, 0, 0};
  std::unique_ptr<Mesh3d> wire;
};

EdgeObject make_edge_object(const Mesh3d& mesh, double edge_angle);

// Reports "Working on: " with the object's name, as every writer does when it starts a mesh.
void report_edge_object(const EdgeObject& object, WriterReport* report);

// Position of vertex i of the edge-only copy.
Vec3d edge_vertex(const Mesh3d& edges, int32_t i);
