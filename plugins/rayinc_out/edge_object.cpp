#include "plugins/rayinc_out/edge_object.h"

#include "meshlib/mesh3d.h"
#include "plugins/rayinc_out/clean_name.h"
#include "plugins/rayinc_out/inc_writers.h"

EdgeObject make_edge_object(const Mesh3d& mesh, double edge_angle) {
  EdgeObject object;
  object.name = clean_name(mesh.name());
  object.bbox_min = mesh.bbox_min;
  object.bbox_max = mesh.bbox_max;
  object.wire.reset(mesh.extract_edges(edge_angle));
  return object;
}

void report_edge_object(const EdgeObject& object, WriterReport* report) {
  if (report != nullptr) report->status("Working on: " + object.name + "\n");
}

Vec3d edge_vertex(const Mesh3d& edges, int32_t i) {
  Vec3d p{0.0, 0.0, 0.0};
  edges.vertices->position(i, p);
  return p;
}

double usable_wire_radius(double radius) { return radius > 0.0 ? radius : kSmallestWireRadius; }
