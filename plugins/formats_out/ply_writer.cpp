#include "plugins/formats_out/ply_writer.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "meshlib/appearance.h"
#include "plugins/formats_out/export_geometry.h"

namespace {

uint8_t byte_of(double channel) {
  if (!(channel > 0.0)) return 0;
  if (channel >= 1.0) return 255;
  return static_cast<uint8_t>(std::lround(channel * 255.0));
}

template <class T>
void put(std::vector<uint8_t>& out, T v) {
  uint8_t bytes[sizeof(T)];
  std::memcpy(bytes, &v, sizeof(T));
  out.insert(out.end(), bytes, bytes + sizeof(T));
}

}  // namespace

void write_ply(std::FILE* ply, const MeshSource& meshes, ExportReport* report) {
  std::vector<uint8_t> vertices, faces;
  uint32_t vertex_count = 0, face_count = 0;
  meshes([&](const ExportGeometry& mesh) {
    if (report != nullptr) report->status((std::string("Working on: ") + mesh.name + "\n").c_str());
    const Appearance a = mesh.has_appearance ? mesh.appearance : Appearance();
    const uint8_t colour[4] = {byte_of(a.rgba[0]), byte_of(a.rgba[1]), byte_of(a.rgba[2]),
                               byte_of(a.rgba[3])};
    const int32_t count = mesh.vertex_count();
    vertices.reserve(vertices.size() + static_cast<size_t>(count) * 16);
    for (int32_t i = 0; i < count; ++i) {
      const Vec3d& p = mesh.positions[static_cast<size_t>(i)];
      for (double v : {p.x, p.y, p.z}) {
        const float f = static_cast<float>(v);
        put<float>(vertices, std::isfinite(f) ? f : 0.0f);
      }
      vertices.insert(vertices.end(), colour, colour + 4);
    }
    const int32_t mesh_faces = mesh.face_count();
    faces.reserve(faces.size() + static_cast<size_t>(mesh_faces) * 13);
    for (int32_t f = 0; f < mesh_faces; ++f) {
      if (report != nullptr && f % 65536 == 0) report->progress(f, mesh_faces);
      const int32_t* v = mesh.faces.data() + 3 * static_cast<size_t>(f);
      faces.push_back(3);
      for (int k = 0; k < 3; ++k) put<int32_t>(faces, static_cast<int32_t>(vertex_count) + v[k]);
    }
    vertex_count += static_cast<uint32_t>(count > 0 ? count : 0);
    face_count += static_cast<uint32_t>(mesh_faces > 0 ? mesh_faces : 0);
  });
  const std::string header =
      "ply\nformat binary_little_endian 1.0\ncomment written by Morvane\nelement vertex " +
      std::to_string(vertex_count) +
      "\nproperty float x\nproperty float y\nproperty float z\nproperty uchar red\n"
      "property uchar green\nproperty uchar blue\nproperty uchar alpha\nelement face " +
      std::to_string(face_count) + "\nproperty list uchar int vertex_indices\nend_header\n";
  std::fwrite(header.data(), 1, header.size(), ply);
  if (!vertices.empty()) std::fwrite(vertices.data(), 1, vertices.size(), ply);
  if (!faces.empty()) std::fwrite(faces.data(), 1, faces.size(), ply);
}
