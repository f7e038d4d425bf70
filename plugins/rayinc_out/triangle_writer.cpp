#include "plugins/rayinc_out/triangle_writer.h"

#include <memory>
#include <string>

#include "meshlib/corner_normal_pass.h"
#include "meshlib/mesh3d.h"
#include "plugins/rayinc_out/clean_name.h"
#include "plugins/rayinc_out/vector_text_cache.h"
#include "settings/chunked_text.h"
#include "settings/delimited_writer.h"

namespace {

// Faces formatted as one chunk (see write_in_chunks).
constexpr int32_t kChunkFaces = 2048;

bool has_proper_triangle(const Mesh3d& mesh) {
  // Stops at the first proper face, which for any real mesh is the first one.
  for (int32_t f = 0; f < mesh.face_count(); ++f) {
    Vec3d p[3];
    mesh.triangle_positions(f, p);
    if (is_proper_written_triangle(p)) return true;
  }
  return false;
}

// The texts of the corners and of the corner normals one worker wrote last.
struct CornerTexts {
  explicit CornerTexts(int32_t vertex_count) : points(vertex_count), normals(vertex_count) {}
  VectorTextCache points;
  VectorTextCache normals;
};

// Corner i of a face: "< " p " >," and " " for the first two corners, "< " p " >" for the last.
// With a normal, "< " p " >," " " "< " n " >," ... likewise. With a writer the vectors' texts
// come through texts, looked for by the corner's vertex number.
void put_corner(const IncStream& out, CornerTexts* texts, int32_t vertex, const Vec3d& p,
                const Vec3d* normal, bool last) {
  const bool cached = out.writer != nullptr && texts != nullptr;
  put_text(out, "< ");
  if (cached)
    texts->points.put(*out.writer, p, static_cast<uint32_t>(vertex));
  else
    put_vector(out, p);
  if (normal != nullptr) {
    put_text(out, " >, < ");
    if (cached)
      texts->normals.put(*out.writer, *normal, static_cast<uint32_t>(vertex));
    else
      put_vector(out, *normal);
  }
  put_text(out, last ? " >}\n" : " >, ");
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
                           const TriangleSyntax& syntax, WriterReport* report,
                           FaceNormalCache* face_normals) {
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
  // corner_normals for every face, each face normal computed about once. With a buffered
  // writer the faces are formatted in chunks on two threads (each with a normal pass of its
  // own) and written in order; progress is reported per chunk.
  std::unique_ptr<CornerNormalPass> normals[2];
  const bool two = out.writer != nullptr && face_count > kChunkFaces;
  const int32_t cached = two ? FaceNormalCache::kSharedSlots : FaceNormalCache::kMostSlots;
  if (smooth_angle > 0.0)
    normals[0].reset(face_normals != nullptr && !two
                         ? new CornerNormalPass(mesh, smooth_angle, *face_normals)
                         : new CornerNormalPass(mesh, smooth_angle, cached));
  std::unique_ptr<CornerTexts> texts[2];
  auto put_faces = [&](const IncStream& to, int32_t first, int32_t end, int worker) {
    if (to.writer != nullptr && !texts[worker])
      texts[worker].reset(new CornerTexts(mesh.vertex_count()));
    for (int32_t f = first; f < end; ++f) {
      int32_t corner[3] = {0, 0, 0};
      mesh.faces->face(f, corner);
      Vec3d p[3];
      for (int k = 0; k < 3; ++k) mesh.vertices->position(corner[k], p[k]);
      Vec3d n[3];
      bool smooth = false;
      if (smooth_angle > 0.0) {
        normals[worker]->get(f, n);
        smooth = !(vec_equal(n[0], n[1]) && vec_equal(n[1], n[2]));
      }
      put_text(to, f == 0 ? syntax.first_prefix : syntax.later_prefix);
      put_text(to, smooth ? syntax.smooth : syntax.flat);
      for (int k = 0; k < 3; ++k)
        put_corner(to, texts[worker].get(), corner[k], p[k], smooth ? &n[k] : nullptr, k == 2);
    }
  };
  if (out.writer == nullptr) {
    for (int32_t f = 0; f < face_count; ++f) {
      if (report != nullptr) report->file_progress(f, face_count);
      put_faces(out, f, f + 1, 0);
    }
  } else {
    if (smooth_angle > 0.0 && two)
      normals[1].reset(new CornerNormalPass(mesh, smooth_angle, cached));
    write_in_chunks(
        face_count, kChunkFaces, out.ld_mode,
        [&](DelimitedWriter& w, int32_t first, int32_t end, int worker) {
          put_faces(IncStream{out.file, out.ld_mode, &w}, first, end, worker);
        },
        [&](const char* text, std::size_t length, int32_t first, int32_t) {
          if (report != nullptr) report->file_progress(first, face_count);
          out.writer->Raw(text, length);
        });
  }
  put_closing(out);
}
