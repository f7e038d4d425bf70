#include <cmath>
#include <cstdint>
#include <string>

#include "meshlib/mesh3d.h"
#include "settings/text_file.h"
#include "plugins/rayinc_out/edge_object.h"
#include "plugins/rayinc_out/inc_writers.h"

namespace {

// One blob component of strength 1.0: "\tsphere { < c >, radius ,1.000000}".
void put_component(const IncStream& out, const Vec3d& centre, double radius) {
  put_text(out, "\tsphere { ");
  put_point(out, centre);
  put_text(out, " ");
  put_fixed(out, radius);
  put_text(out, " ,");
  put_fixed(out, 1.0);
  put_text(out, "}\n");
}

// Components along the edge a-b, without its ends: one every radius / 4, or a single one at
// the middle when the edge is shorter than two steps (also when a and b are one point).
void put_edge_components(const IncStream& out, const Vec3d& a, const Vec3d& b, double radius) {
  const double step = radius / 4.0;
  Vec3d s;
  vec_sub(s, b, a);
  const double length = vec_length(s);
  // Counted in double and capped, so that no length / radius ratio overflows the count.
  double steps = std::trunc(length / step);
  if (!(steps < 2147483647.0)) steps = 2147483647.0;
  const int64_t n = static_cast<int64_t>(steps);
  Vec3d c, d;
  if (n <= 1) {
    vec_scale(d, s, 0.5);
    vec_add(c, a, d);
    put_component(out, c, radius);
    return;
  }
  for (int64_t k = 1; k < n; ++k) {
    vec_scale(d, s, static_cast<double>(k) * step / length);
    vec_add(c, a, d);
    put_component(out, c, radius);
  }
}

}  // namespace

void write_pov_blob(const IncStream& out, const Mesh3d& mesh, double edge_angle, double radius,
                    WriterReport* report) {
  if (out.file == nullptr) return;
  // A radius of 0 or less gives no step along the edges and so no end of components.
  radius = usable_wire_radius(radius);
  std::string name;
  std::unique_ptr<Mesh3d> wire = start_edge_object(mesh, edge_angle, report, name);
  // POV-Ray refuses a blob without components.
  if (!wire || wire->vertex_count() == 0) {
    put_empty_declaration(out, name);
    return;
  }
  put_declaration(out, name, "blob\n");
  put_text(out, "\tthreshold 0.5\n");

  const int32_t edge_count = wire->edge_count();
  for (int32_t i = 0; i < edge_count; ++i) {
    if (report != nullptr) report->file_progress(i, edge_count);
    int32_t ends[2];
    wire->edges->ends(i, ends);
    put_edge_components(out, edge_vertex(*wire, ends[0]), edge_vertex(*wire, ends[1]), radius);
  }
  const int32_t vertex_count = wire->vertex_count();
  for (int32_t i = 0; i < vertex_count; ++i) {
    if (report != nullptr) report->file_progress(i, vertex_count);
    put_component(out, edge_vertex(*wire, i), radius);
  }
  put_closing(out);
}
