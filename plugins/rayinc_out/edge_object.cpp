#include "plugins/rayinc_out/edge_object.h"

#include <memory>

#include "meshlib/mesh3d.h"
#include "plugins/rayinc_out/clean_name.h"
#include "plugins/rayinc_out/inc_writers.h"

EdgeObject make_edge_object(const Mesh3d& mesh, double edge_angle, FaceNormalCache* normals) {
  EdgeObject object;
  object.name = clean_name(mesh.name());
  object.bbox_min = mesh.bbox_min;
  object.bbox_max = mesh.bbox_max;
  std::unique_ptr<Mesh3d> wire(normals != nullptr ? mesh.extract_edges(edge_angle, *normals)
                                                  : mesh.extract_edges(edge_angle));
  if (!wire) return object;
  object.has_tables = true;
  object.points.resize(static_cast<std::size_t>(wire->vertex_count()));
  for (int32_t i = 0; i < wire->vertex_count(); ++i) wire->vertices->position(i, object.points[i]);
  object.ends.resize(2 * static_cast<std::size_t>(wire->edge_count()));
  for (int32_t i = 0; i < wire->edge_count(); ++i) wire->edges->ends(i, &object.ends[2 * i]);
  return object;
}

void report_edge_object(const EdgeObject& object, WriterReport* report) {
  if (report != nullptr) report->status("Working on: " + object.name + "\n");
}

double usable_wire_radius(double radius) { return radius > 0.0 ? radius : kSmallestWireRadius; }
