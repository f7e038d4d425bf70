#include <string>

#include "meshlib/mesh3d.h"
#include "plugins/rayinc_out/edge_object.h"
#include "plugins/rayinc_out/inc_writers.h"
#include "settings/text_file.h"

namespace {

void put_radius(const IncStream& out, double radius) {
  put_fixed(out, radius);
  put_text(out, "}\n");
}

}  // namespace

void write_pov_wire(const IncStream& out, const Mesh3d& mesh, double edge_angle, double radius,
                    WriterReport* report) {
  if (out.file == nullptr) return;
  write_pov_wire(out, make_edge_object(mesh, edge_angle), radius, report);
}

void write_pov_wire(const IncStream& out, const EdgeObject& edges, double radius,
                    WriterReport* report) {
  if (out.file == nullptr) return;
  radius = usable_wire_radius(radius);
  report_edge_object(edges, report);
  if (!edges.has_tables) {
    put_empty_declaration(out, edges.name);
    return;
  }
  put_declaration(out, edges.name, "union\n");

  const int32_t edge_count = edges.edge_count();
  for (int32_t i = 0; i < edge_count; ++i) {
    if (report != nullptr) report->file_progress(i, edge_count);
    const int32_t* ends = &edges.ends[2 * i];
    Vec3d a = edges.points[ends[0]], b = edges.points[ends[1]];
    // POV-Ray refuses a cylinder whose two ends are one point; the sphere at that point
    // already shows the edge.
    Vec3d wa = as_written(a), wb = as_written(b);
    if (wa.x == wb.x && wa.y == wb.y && wa.z == wb.z) continue;
    put_text(out, "\tcylinder { ");
    put_point(out, a);
    put_text(out, " ");
    put_point(out, b);
    put_text(out, " ");
    put_radius(out, radius);
  }

  // One sphere per vertex of the edge-only copy, however many edges meet there.
  const int32_t vertex_count = edges.vertex_count();
  for (int32_t i = 0; i < vertex_count; ++i) {
    if (report != nullptr) report->file_progress(i, vertex_count);
    put_text(out, "\tsphere { ");
    put_point(out, edges.points[i]);
    put_text(out, " ");
    put_radius(out, radius);
  }
  put_closing(out);
}
