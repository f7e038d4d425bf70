#include "plugins/rayinc_out/triangle_writer.h"

#include <memory>
#include <string>

#include "meshlib/corner_normal_pass.h"
#include "meshlib/mesh3d.h"
#include "plugins/rayinc_out/clean_name.h"

namespace {

bool has_proper_triangle(const Mesh3d& mesh) {
  // Stops at the first proper face, which for any real mesh is the first one.
  for (int32_t f = 0; f < mesh.face_count(); ++f) {
    Vec3d p[3];
    mesh.triangle_positions(f, p);
    if (is_proper_written_triangle(p)) return true;
  }
  return false;
}

// Corner i of a face: "< " p " >," and " " for the first two corners, "< " p " >" for the last.
// With a normal, "< " p " >," " " "< " n " >," ... likewise.
void put_corner(const IncStream& out, const Vec3d& p, const Vec3d* normal, bool last) {
  if (normal != nullptr) {
    put_point(out, p);
    put_text(out, " ");
    put_text(out, "< ");
    put_vector(out, *normal);
  } else {
    put_text(out, "< ");
    put_vector(out, p);
  }
  put_text(out, last ? " >" : " >,");
  put_text(out, last ? "}\n" : " ");
}

}  // namespace

bool is_proper_written_triangle(const Vec3d p[3]) {
  Vec3d a = as_written(p[0]), b = as_written(p[1]), c = as_written(p[2]);
  Vec3d u, w, n;
  vec_sub(u, a, b);
  vec_sub(w, c, b);
  vec_cross(n, u, w);
  return vec_length(n) != 0.0;
}

void write_triangle_object(const IncStream& out, const Mesh3d& mesh, double smooth_angle,
                           const TriangleSyntax& syntax, WriterReport* report) {
  if (out.file == nullptr) return;
  std::string name = clean_name(mesh.name());
  if (report != nullptr) report->status("Working on: " + name + "\n");

  if (syntax.needs_proper_triangle && !has_proper_triangle(mesh)) {
    put_empty_declaration(out, name);
    return;
  }

  put_text(out, syntax.declare);
  put_text(out, name.c_str());
  put_text(out, syntax.assign);
  put_text(out, syntax.kind);
  put_text(out, "{\n");

  const int32_t face_count = mesh.face_count();
  // corner_normals for every face, each face normal computed about once.
  std::unique_ptr<CornerNormalPass> normals;
  if (smooth_angle > 0.0) normals.reset(new CornerNormalPass(mesh, smooth_angle));
  for (int32_t f = 0; f < face_count; ++f) {
    if (report != nullptr) report->file_progress(f, face_count);
    Vec3d p[3];
    mesh.triangle_positions(f, p);
    Vec3d n[3];
    bool smooth = false;
    if (smooth_angle > 0.0) {
      normals->get(f, n);
      smooth = !(vec_equal(n[0], n[1]) && vec_equal(n[1], n[2]));
    }
    put_text(out, f == 0 ? syntax.first_prefix : syntax.later_prefix);
    put_text(out, smooth ? syntax.smooth : syntax.flat);
    for (int k = 0; k < 3; ++k) put_corner(out, p[k], smooth ? &n[k] : nullptr, k == 2);
  }
  put_closing(out);
}
