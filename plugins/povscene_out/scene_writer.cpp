#include "plugins/povscene_out/scene_writer.h"

#include <cmath>
#include <memory>

#include "meshlib/corner_normal_pass.h"
#include "meshlib/mesh3d.h"
#include "plugins/povscene_out/scene_texture.h"
#include "plugins/rayinc_out/clean_name.h"

namespace {

// A corner normal POV-Ray takes: a normal that is no number or has no length (the corners of a
// face without area) would draw a parse warning, so it becomes the z axis; such a face is left
// out by POV-Ray anyway.
Vec3d usable_normal(const Vec3d& n) {
  const double length = vec_length(n);
  if (!(length > 0.5) || !std::isfinite(length)) return Vec3d{0.0, 0.0, 1.0};
  // The system's face normals point to the side from which the corners run clockwise; the
  // scene's normals point the other way, out of a closed model.
  return Vec3d{0.0 - n.x, 0.0 - n.y, 0.0 - n.z};  // never -0.000000
}

void put_index_triple(const IncStream& out, int32_t a, int32_t b, int32_t c) {
  put_text(out, "    <");
  put_int(out, a);
  put_text(out, ",");
  put_int(out, b);
  put_text(out, ",");
  put_int(out, c);
  put_text(out, ">");
}

void put_vector_line(const IncStream& out, const Vec3d& v) {
  put_text(out, "    <");
  put_vector(out, v);
  put_text(out, ">");
}

// ",\n" after every entry but the last.
void put_entry_end(const IncStream& out, int32_t i, int32_t count) {
  put_text(out, i + 1 < count ? ",\n" : "\n");
}

void put_point(const IncStream& out, const char* word, const Vec3d& p) {
  put_text(out, word);
  put_text(out, "<");
  put_vector(out, p);
  put_text(out, ">");
}

}  // namespace

SceneWriter::SceneWriter(const IncStream& out, const SceneOptions& options)
    : out_(out), options_(options) {
  options_.view = usable_view(options.view);
}

std::string SceneWriter::Declare(const std::string& wanted) {
  std::string name = wanted;
  for (int n = 2; taken_.count(name) != 0; ++n) name = wanted + "_" + std::to_string(n);
  taken_.insert(name);
  declared_.push_back(name);
  return name;
}

const std::string& SceneWriter::TextureFor(const Mesh3d& mesh) {
  const Appearance appearance = mesh.has_appearance ? mesh.appearance : neutral_appearance();
  for (const auto& known : textures_)
    if (known.first == appearance) return known.second;
  const std::string name = Declare("Texture_" + std::to_string(textures_.size() + 1));
  put_texture(out_, name, appearance);
  textures_.emplace_back(appearance, name);
  return textures_.back().second;
}

void SceneWriter::Head() {
  put_text(out_, "// A POV-Ray 3.7 scene; render it at a width to height ratio of ");
  put_fixed(out_, options_.view.aspect_ratio);
  put_text(out_, " (for example +W");
  put_int(out_, 640);
  put_text(out_, " +H");
  put_int(out_, static_cast<int32_t>(std::lround(640.0 / options_.view.aspect_ratio)));
  put_text(out_, ").\n#version 3.7;\nglobal_settings { assumed_gamma 1.0 }\n\n");
}

bool SceneWriter::Mesh(const Mesh3d& mesh, WriterReport* report) {
  const std::string cleaned = clean_name(mesh.name());
  if (report != nullptr) report->status("Working on: " + cleaned + "\n");
  const int32_t vertex_count = mesh.vertex_count(), face_count = mesh.face_count();
  // POV-Ray refuses a mesh2 without faces.
  if (vertex_count <= 0 || face_count <= 0) return false;

  // Corner normals: each vertex's first normal has the vertex's own number, so that a smooth
  // mesh needs no normal_indices; a vertex on a crease gets its further normals appended.
  const bool with_normals = options_.smooth_angle > 0.0;
  std::vector<Vec3d> normals;
  std::vector<int32_t> corner_normal;  // 3 per face, only while some vertex has two normals
  std::vector<unsigned char> normal_set;
  std::vector<int32_t> next_normal;  // the vertex's next normal, or -1
  bool shared = true;                // every corner uses its vertex's own normal
  if (with_normals) {
    normals.assign(static_cast<size_t>(vertex_count), Vec3d{0.0, 0.0, 1.0});
    normal_set.assign(static_cast<size_t>(vertex_count), 0);
    next_normal.assign(static_cast<size_t>(vertex_count), -1);
    corner_normal.resize(3 * static_cast<size_t>(face_count));
    CornerNormalPass pass(mesh, options_.smooth_angle);
    for (int32_t f = 0; f < face_count; ++f) {
      if (report != nullptr && (f & 0xFFF) == 0) report->file_progress(f, 2 * face_count);
      int32_t corners[3];
      mesh.faces->face(f, corners);
      Vec3d n[3];
      pass.get(f, n);
      for (int k = 0; k < 3; ++k) {
        const Vec3d normal = usable_normal(n[k]);
        const size_t v = static_cast<size_t>(corners[k]);
        int32_t index = corners[k];
        if (!normal_set[v]) {
          normals[v] = normal;
          normal_set[v] = 1;
        } else {
          // The vertex's normals form a chain from its own slot; a crease vertex has a few.
          while (!vec_equal(normals[static_cast<size_t>(index)], normal) &&
                 next_normal[static_cast<size_t>(index)] >= 0)
            index = next_normal[static_cast<size_t>(index)];
          if (!vec_equal(normals[static_cast<size_t>(index)], normal)) {
            const int32_t added = static_cast<int32_t>(normals.size());
            next_normal[static_cast<size_t>(index)] = added;
            normals.push_back(normal);
            next_normal.push_back(-1);
            index = added;
            shared = false;
          }
        }
        corner_normal[3 * static_cast<size_t>(f) + static_cast<size_t>(k)] = index;
      }
    }
  }

  const std::string& texture = TextureFor(mesh);
  const std::string name = Declare(cleaned);
  put_text(out_, "#declare ");
  put_text(out_, name.c_str());
  put_text(out_, " = mesh2 {\n  vertex_vectors {\n    ");
  put_int(out_, vertex_count);
  put_text(out_, ",\n");
  for (int32_t i = 0; i < vertex_count; ++i) {
    Vec3d p;
    mesh.vertices->position(i, p);
    if (box_empty_) {
      box_min_ = box_max_ = p;
      box_empty_ = false;
    } else {
      vec_min(box_min_, box_min_, p);
      vec_max(box_max_, box_max_, p);
    }
    put_vector_line(out_, p);
    put_entry_end(out_, i, vertex_count);
  }
  put_text(out_, "  }\n");

  if (with_normals) {
    const int32_t normal_count = static_cast<int32_t>(normals.size());
    put_text(out_, "  normal_vectors {\n    ");
    put_int(out_, normal_count);
    put_text(out_, ",\n");
    for (int32_t i = 0; i < normal_count; ++i) {
      put_vector_line(out_, normals[static_cast<size_t>(i)]);
      put_entry_end(out_, i, normal_count);
    }
    put_text(out_, "  }\n");
  }

  put_text(out_, "  face_indices {\n    ");
  put_int(out_, face_count);
  put_text(out_, ",\n");
  for (int32_t f = 0; f < face_count; ++f) {
    if (report != nullptr && (f & 0xFFF) == 0)
      report->file_progress(with_normals ? face_count + f / 2 : f, 2 * face_count);
    int32_t c[3];
    mesh.faces->face(f, c);
    put_index_triple(out_, c[0], c[1], c[2]);
    put_entry_end(out_, f, face_count);
  }
  put_text(out_, "  }\n");

  if (with_normals && !shared) {
    put_text(out_, "  normal_indices {\n    ");
    put_int(out_, face_count);
    put_text(out_, ",\n");
    for (int32_t f = 0; f < face_count; ++f) {
      if (report != nullptr && (f & 0xFFF) == 0)
        report->file_progress(face_count + face_count / 2 + f / 2, 2 * face_count);
      const int32_t* n = &corner_normal[3 * static_cast<size_t>(f)];
      put_index_triple(out_, n[0], n[1], n[2]);
      put_entry_end(out_, f, face_count);
    }
    put_text(out_, "  }\n");
  }
  put_text(out_, "}\nobject { ");
  put_text(out_, name.c_str());
  put_text(out_, " texture { ");
  put_text(out_, texture.c_str());
  put_text(out_, " } }\n\n");
  return true;
}

void SceneWriter::Tail() {
  const SceneCamera camera = frame_box(box_min_, box_max_, options_.view);
  const SceneView& view = options_.view;
  // POV-Ray's own axes are left-handed with y up; "sky" makes z the picture's up and the
  // right vector pointing along -x mirrors the picture back, so the model shows as it is.
  put_text(out_, "camera {\n  perspective\n");
  put_point(out_, "  location ", camera.location);
  put_text(out_, "\n  sky <0,0,1>\n  right <");
  put_fixed(out_, -view.aspect_ratio);
  put_text(out_, ",0,0>\n  angle ");
  put_fixed(out_, view.field_of_view);
  put_text(out_, "\n");
  put_point(out_, "  look_at ", camera.look_at);
  put_text(out_, "\n}\n\n");

  put_text(out_,
           "// Key light with shadows, a fill light without, and a soft ambient (in every\n"
           "// texture's finish).\n");
  put_point(out_, "light_source { ", camera.key_light);
  put_text(out_, " color rgb <1,0.98,0.95> }\n");
  put_point(out_, "light_source { ", camera.fill_light);
  put_text(out_, " color rgb <0.35,0.37,0.4> shadowless }\n");
  put_text(out_, "background { rgb <0.42,0.5,0.62> }\n");

  if (options_.ground_plane) {
    // Just under the lowest point, so that the model's bottom faces do not meet the floor.
    const double size = box_empty_
                            ? 1.0
                            : vec_length(Vec3d{box_max_.x - box_min_.x, box_max_.y - box_min_.y,
                                               box_max_.z - box_min_.z});
    const double height = (box_empty_ ? 0.0 : box_min_.z) - 0.001 * (size > 0.0 ? size : 1.0);
    put_text(out_, "plane {\n  z, ");
    put_fixed(out_, height);
    put_text(out_,
             "\n  texture { pigment { rgb <0.6,0.6,0.58> } finish { ambient 0.1 diffuse 0.7 } "
             "}\n}\n");
  }
}
