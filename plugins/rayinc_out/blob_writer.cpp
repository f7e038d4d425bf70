#include <cmath>
#include <cstdint>
#include <functional>
#include <string>

#include "meshlib/mesh3d.h"
#include "plugins/rayinc_out/edge_object.h"
#include "plugins/rayinc_out/inc_writers.h"
#include "settings/chunked_text.h"
#include "settings/delimited_writer.h"
#include "settings/number_text.h"

namespace {

// Edges and vertices formatted as one chunk (see write_in_chunks): an edge gives a component
// every quarter radius along it (a kilobyte of text and more for the long edges of a coarse
// model), a vertex one.
constexpr int32_t kChunkEdges = 256;
constexpr int32_t kChunkVertices = 4096;

// What follows the centre of every component of one blob: " radius ,1.000000}\n", formatted
// once for the millions of components of a large model.
std::string component_tail(double radius) {
  char text[2 * kFixed6Capacity + 8];
  char* end = text;
  *end++ = ' ';
  end = format_fixed6(end, radius);
  *end++ = ' ';
  *end++ = ',';
  end = format_fixed6(end, 1.0);
  *end++ = '}';
  *end++ = '\n';
  return std::string(text, end);
}

// What follows the centre's third number, " >," and component_tail(radius), with the line end
// of the mode as a writer of that mode writes it, for a writer's Raw.
std::string raw_component_end(int ld_mode, const std::string& tail) {
  std::string text;
  DelimitedWriter(ld_mode, &text).Text(" >,").Text(tail.c_str());
  return text;
}

// One blob component of strength 1.0: "\tsphere { < c >, radius ,1.000000}"; tail is
// component_tail(radius) and raw_end raw_component_end of it.
void put_component(const IncStream& out, const Vec3d& centre, const std::string& tail,
                   const std::string& raw_end) {
  if (out.writer != nullptr) {
    // The millions of components of a large model: the fixed pieces go in as they are.
    static const char kHead[] = "\tsphere { < ";
    out.writer->Raw(kHead, sizeof kHead - 1)
        .Fixed(centre.x)
        .Char(',')
        .Fixed(centre.y)
        .Char(',')
        .Fixed(centre.z)
        .Raw(raw_end.data(), raw_end.size());
    return;
  }
  put_text(out, "\tsphere { ");
  put_point(out, centre);
  put_text(out, tail.c_str());
}

// Components along the edge a-b, without its ends: one every radius / 4, or a single one at
// the middle when the edge is shorter than two steps (also when a and b are one point).
void put_edge_components(const IncStream& out, const Vec3d& a, const Vec3d& b, double radius,
                         const std::string& tail, const std::string& raw_end) {
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
    put_component(out, c, tail, raw_end);
    return;
  }
  for (int64_t k = 1; k < n; ++k) {
    vec_scale(d, s, static_cast<double>(k) * step / length);
    vec_add(c, a, d);
    put_component(out, c, tail, raw_end);
  }
}

}  // namespace

void write_pov_blob(const IncStream& out, const Mesh3d& mesh, double edge_angle, double radius,
                    WriterReport* report) {
  if (out.file == nullptr) return;
  write_pov_blob(out, make_edge_object(mesh, edge_angle), radius, report);
}

void write_pov_blob(const IncStream& out, const EdgeObject& edges, double radius,
                    WriterReport* report) {
  if (out.file == nullptr) return;
  // A radius of 0 or less gives no step along the edges and so no end of components.
  radius = usable_wire_radius(radius);
  report_edge_object(edges, report);
  // POV-Ray refuses a blob without components.
  if (!edges.has_tables || edges.vertex_count() == 0) {
    put_empty_declaration(out, edges.name);
    return;
  }
  put_declaration(out, edges.name, "blob\n");
  put_text(out, "\tthreshold 0.5\n");

  const std::string tail = component_tail(radius);
  const std::string raw_end = raw_component_end(out.ld_mode, tail);
  // With a buffered writer the edges and then the vertices are formatted in chunks on two
  // threads and written in order; progress is reported per chunk.
  auto list = [&](int32_t count, int32_t chunk,
                  const std::function<void(const IncStream&, int32_t)>& put) {
    if (out.writer == nullptr) {
      for (int32_t i = 0; i < count; ++i) {
        if (report != nullptr) report->file_progress(i, count);
        put(out, i);
      }
      return;
    }
    write_in_chunks(
        count, chunk, out.ld_mode,
        [&](DelimitedWriter& w, int32_t first, int32_t end, int) {
          const IncStream to{out.file, out.ld_mode, &w};
          for (int32_t i = first; i < end; ++i) put(to, i);
        },
        [&](const char* text, std::size_t length, int32_t first, int32_t) {
          if (report != nullptr) report->file_progress(first, count);
          out.writer->Raw(text, length);
        });
  };
  list(edges.edge_count(), kChunkEdges, [&](const IncStream& to, int32_t i) {
    const int32_t* ends = &edges.ends[2 * i];
    put_edge_components(to, edges.points[ends[0]], edges.points[ends[1]], radius, tail, raw_end);
  });
  list(edges.vertex_count(), kChunkVertices,
       [&](const IncStream& to, int32_t i) { put_component(to, edges.points[i], tail, raw_end); });
  put_closing(out);
}
