#include "plugins/rayinc_out/udo_writer.h"

#include <memory>
#include <string>

#include "meshlib/mesh3d.h"
#include "plugins/rayinc_out/clean_name.h"
#include "plugins/rayinc_out/edge_object.h"
#include "settings/path.h"
#include "settings/text_file.h"

namespace {

// Sides of the bounding box as pairs of the corner numbers below; the modeller draws them in
// this order.
const int32_t kBoxEdges[12][2] = {{0, 1}, {1, 3}, {3, 2}, {2, 0}, {4, 5}, {5, 7},
                                  {7, 6}, {6, 4}, {0, 4}, {2, 6}, {3, 7}, {1, 5}};

void put_box_corners(const IncStream& out, const Vec3d& lo, const Vec3d& hi) {
  // Corner k takes x from bit 2, y from bit 0 and z from bit 1 of k.
  put_int(out, 8);
  put_text(out, "\n");
  for (int k = 0; k < 8; ++k) {
    put_vector(out, Vec3d{(k & 4) ? hi.x : lo.x, (k & 1) ? hi.y : lo.y, (k & 2) ? hi.z : lo.z},
               ' ');
    put_text(out, "\n");
  }
}

void put_box_edges(const IncStream& out) {
  put_int(out, 12);
  put_text(out, "\n");
  for (const auto& e : kBoxEdges) {
    put_int(out, e[0]);
    put_text(out, " ");
    put_int(out, e[1]);
    put_text(out, "\n");
  }
}

}  // namespace

void write_udo_head(const IncStream& out, const char* udo_path, const char* inc_path) {
  if (out.file == nullptr) return;
  std::string include = inc_path;
  if (!is_absolute_path(inc_path)) include = current_directory() + "/" + include;
  std::string drive, directory, name, extension;
  split_path(udo_path, drive, directory, name, extension);
  put_text(out, "IncludeFile '");
  put_text(out, include.c_str());
  put_text(out, "'\n");
  put_text(out, "Name '");
  put_text(out, name.c_str());
  put_text(out, "_group'\n");
  put_text(out, "\n");
}

void write_udo_mesh(const IncStream& out, const Mesh3d& mesh, double edge_angle,
                    WriterReport* report) {
  if (out.file == nullptr) return;
  write_udo_mesh(out, make_edge_object(mesh, edge_angle), report);
}

void write_udo_mesh(const IncStream& out, const EdgeObject& edges, WriterReport* report) {
  if (out.file == nullptr) return;
  report_edge_object(edges, report);
  const std::string& name = edges.name;
  const bool has_edges = edges.has_tables && edges.vertex_count() > 0;
  auto min_max = [&out](const char* axis, double lo, double hi) {
    put_text(out, "; Min_");
    put_text(out, axis);
    put_text(out, ": ");
    put_fixed(out, lo);
    put_text(out, "\tMax_");
    put_text(out, axis);
    put_text(out, ": ");
    put_fixed(out, hi);
    put_text(out, "\n");
  };

  put_text(out, ";\n");
  put_text(out, "; Dimensions:\n");
  min_max("x", edges.bbox_min.x, edges.bbox_max.x);
  min_max("y", edges.bbox_min.y, edges.bbox_max.y);
  min_max("z", edges.bbox_min.z, edges.bbox_max.z);
  put_text(out, ";\n");
  put_text(out, "[");
  put_text(out, name.c_str());
  put_text(out, ":Vertices]\n");
  if (has_edges) {
    const int32_t vertex_count = edges.vertex_count();
    put_int(out, vertex_count);
    put_text(out, "\n");
    for (int32_t i = 0; i < vertex_count; ++i) {
      if (report != nullptr) report->file_progress(i, vertex_count);
      put_vector(out, edges.points[i], ' ');
      put_text(out, "\n");
    }
  } else {
    put_box_corners(out, edges.bbox_min, edges.bbox_max);
  }
  put_text(out, "\n");
  put_text(out, "[");
  put_text(out, name.c_str());
  put_text(out, ":Edges]\n");
  if (has_edges) {
    const int32_t edge_count = edges.edge_count();
    put_int(out, edge_count);
    put_text(out, "\n");
    for (int32_t i = 0; i < edge_count; ++i) {
      if (report != nullptr) report->file_progress(i, edge_count);
      const int32_t* ends = &edges.ends[2 * i];
      put_int(out, ends[0]);
      put_text(out, " ");
      put_int(out, ends[1]);
      put_text(out, "\n");
    }
  } else {
    put_box_edges(out);
  }
  put_text(out, "\n");
}

void write_udo_tail(const IncStream& out) {
  if (out.file == nullptr) return;
  put_text(out, "[End]\n");
  put_text(out, "\n");
}
