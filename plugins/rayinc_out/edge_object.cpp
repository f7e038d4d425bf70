#include "plugins/rayinc_out/edge_object.h"

#include "meshlib/mesh3d.h"
#include "plugins/rayinc_out/clean_name.h"
#include "plugins/rayinc_out/inc_writers.h"

std::unique_ptr<Mesh3d> start_edge_object(const Mesh3d& mesh, double edge_angle,
                                          WriterReport* report, std::string& name) {
  name = clean_name(mesh.name());
  if (report != nullptr) report->status("Working on: " + name + "\n");
  return std::unique_ptr<Mesh3d>(mesh.extract_edges(edge_angle));
}

Vec3d edge_vertex(const Mesh3d& edges, int32_t i) {
  Vec3d p{0.0, 0.0, 0.0};
  edges.vertices->position(i, p);
  return p;
}

double usable_wire_radius(double radius) { return radius > 0.0 ? radius : kSmallestWireRadius; }
