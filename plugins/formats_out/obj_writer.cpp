#include "plugins/formats_out/obj_writer.h"

#include <cstring>
#include <set>
#include <unordered_map>
#include <vector>

#include "meshlib/appearance.h"
#include "plugins/formats_out/corner_vertices.h"
#include "plugins/formats_out/export_geometry.h"
#include "plugins/formats_out/y_up.h"
#include "settings/delimited_writer.h"

namespace {

void put_triple(DelimitedWriter& out, const char* key, double a, double b, double c) {
  out.Text(key).Char(' ').Fixed(a).Char(' ').Fixed(b).Char(' ').Fixed(c).Newline();
}

void put_material(DelimitedWriter& out, const std::string& name, const ExportGeometry& mesh) {
  const Appearance a = mesh.has_appearance ? mesh.appearance : Appearance();
  out.Text("newmtl ").Text(name.c_str()).Newline();
  put_triple(out, "Ka", 0.0, 0.0, 0.0);
  put_triple(out, "Kd", a.rgba[0], a.rgba[1], a.rgba[2]);
  put_triple(out, "Ks", a.specular[0], a.specular[1], a.specular[2]);
  out.Text("Ns ").Fixed(a.specular_power).Newline();
  if (a.emissive[0] > 0.0 || a.emissive[1] > 0.0 || a.emissive[2] > 0.0)
    put_triple(out, "Ke", a.emissive[0], a.emissive[1], a.emissive[2]);
  out.Text("d ").Fixed(a.rgba[3]).Newline();
  out.Text("illum 2").Newline().Newline();
}

// A normal's three floats as one key, for sharing "vn" lines between vertices of a mesh.
struct NormalKey {
  uint32_t bits[3];
  bool operator==(const NormalKey& o) const { return std::memcmp(bits, o.bits, sizeof bits) == 0; }
};

struct NormalKeyHash {
  size_t operator()(const NormalKey& k) const {
    uint64_t h = k.bits[0] * 0x9E3779B97F4A7C15ull;
    h ^= (h >> 29) + k.bits[1] * 0xBF58476D1CE4E5B9ull;
    h ^= (h >> 31) + k.bits[2] * 0x94D049BB133111EBull;
    return static_cast<size_t>(h ^ (h >> 32));
  }
};

}  // namespace

std::string obj_name(const char* name) {
  std::string clean = name != nullptr ? name : "";
  for (char& c : clean)
    if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F) c = '_';
  return clean.empty() ? "mesh" : clean;
}

void write_obj(std::FILE* obj, std::FILE* mtl, const std::string& mtl_name,
               const MeshSource& meshes, const WriteOptions& options, ExportReport* report) {
  DelimitedWriter out(options.ld_mode, obj);
  DelimitedWriter materials(options.ld_mode, mtl);
  out.Text("# Wavefront OBJ written by Morvane\n");
  out.Text("mtllib ").Text(mtl_name.c_str()).Newline();
  materials.Text("# Wavefront material library written by Morvane\n\n");

  std::set<std::string> used;
  int64_t vertex_base = 1, normal_base = 1;
  CornerVertices split;
  meshes([&](const ExportGeometry& mesh) {
    const int32_t vertex_count = mesh.vertex_count();
    if (mesh.face_count() <= 0 || vertex_count <= 0) return;
    // Names the host made unique may meet again once blanks are replaced.
    std::string name = obj_name(mesh.name);
    for (int n = 0; !used.insert(name).second; ++n)
      name = obj_name(mesh.name) + "_" + std::to_string(n);
    if (report != nullptr) report->status(("Working on: " + name + "\n").c_str());
    split_corner_vertices(mesh, options.smooth_angle, &split, report);

    put_material(materials, name, mesh);
    out.Newline().Text("g ").Text(name.c_str()).Newline();
    out.Text("usemtl ").Text(name.c_str()).Newline();
    for (int32_t i = 0; i < vertex_count; ++i) {
      float v[3];
      to_y_up(mesh.positions[static_cast<size_t>(i)], v);
      put_triple(out, "v", v[0], v[1], v[2]);
    }
    // One "vn" per distinct normal of the mesh (a flat face's three corners share one).
    std::vector<int32_t> normal_of(split.source.size());
    std::unordered_map<NormalKey, int32_t, NormalKeyHash> seen;
    seen.reserve(split.source.size());
    int32_t normal_count = 0;
    for (size_t i = 0; i < split.source.size(); ++i) {
      float n[3];
      normal_to_y_up(&split.normals[i * 3], n);
      NormalKey key;
      std::memcpy(key.bits, n, sizeof n);
      auto found = seen.emplace(key, normal_count);
      if (found.second) {
        put_triple(out, "vn", n[0], n[1], n[2]);
        ++normal_count;
      }
      normal_of[i] = found.first->second;
    }
    const size_t faces = split.corners.size() / 3;
    for (size_t f = 0; f < faces; ++f) {
      out.Char('f');
      for (size_t k = 0; k < 3; ++k) {
        const uint32_t w = split.corners[f * 3 + k];
        out.Char(' ')
            .Int(static_cast<int32_t>(vertex_base + split.source[w]))
            .Text("//")
            .Int(static_cast<int32_t>(normal_base + normal_of[w]));
      }
      out.Newline();
    }
    vertex_base += vertex_count;
    normal_base += normal_count;
  });
  out.Flush();
  materials.Flush();
}
