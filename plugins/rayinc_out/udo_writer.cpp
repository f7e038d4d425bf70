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
  print_delimited(out.ld_mode, out.file, "%d\n", 8);
  for (int k = 0; k < 8; ++k) {
    print_delimited(out.ld_mode, out.file, "%f %f %f\n", (k & 4) ? hi.x : lo.x,
                    (k & 1) ? hi.y : lo.y, (k & 2) ? hi.z : lo.z);
  }
}

void put_box_edges(const IncStream& out) {
  print_delimited(out.ld_mode, out.file, "%d\n", 12);
  for (const auto& e : kBoxEdges) print_delimited(out.ld_mode, out.file, "%d %d\n", e[0], e[1]);
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
  std::string name;
  std::unique_ptr<Mesh3d> wire = start_edge_object(mesh, edge_angle, report, name);
  const bool has_edges = wire && wire->vertex_count() > 0;
  const int ld = out.ld_mode;
  std::FILE* f = out.file;

  print_delimited(ld, f, "%s", ";\n");
  print_delimited(ld, f, "%s", "; Dimensions:\n");
  print_delimited(ld, f, "; Min_x: %f\tMax_x: %f\n", mesh.bbox_min.x, mesh.bbox_max.x);
  print_delimited(ld, f, "; Min_y: %f\tMax_y: %f\n", mesh.bbox_min.y, mesh.bbox_max.y);
  print_delimited(ld, f, "; Min_z: %f\tMax_z: %f\n", mesh.bbox_min.z, mesh.bbox_max.z);
  print_delimited(ld, f, "%s", ";\n");
  print_delimited(ld, f, "[%s:Vertices]\n", name.c_str());
  if (has_edges) {
    const int32_t vertex_count = wire->vertex_count();
    print_delimited(ld, f, "%d\n", vertex_count);
    for (int32_t i = 0; i < vertex_count; ++i) {
      if (report != nullptr) report->file_progress(i, vertex_count);
      Vec3d p = edge_vertex(*wire, i);
      print_vector(ld, f, p.x, p.y, p.z, 0);
      print_delimited(ld, f, "%s", "\n");
    }
  } else {
    put_box_corners(out, mesh.bbox_min, mesh.bbox_max);
  }
  print_delimited(ld, f, "%s", "\n");
  print_delimited(ld, f, "[%s:Edges]\n", name.c_str());
  if (has_edges) {
    const int32_t edge_count = wire->edge_count();
    print_delimited(ld, f, "%d\n", edge_count);
    for (int32_t i = 0; i < edge_count; ++i) {
      if (report != nullptr) report->file_progress(i, edge_count);
      int32_t ends[2];
      wire->edges->ends(i, ends);
      print_delimited(ld, f, "%d %d\n", ends[0], ends[1]);
    }
  } else {
    put_box_edges(out);
  }
  print_delimited(ld, f, "%s", "\n");
}

void write_udo_tail(const IncStream& out) {
  if (out.file == nullptr) return;
  put_text(out, "[End]\n");
  put_text(out, "\n");
}
