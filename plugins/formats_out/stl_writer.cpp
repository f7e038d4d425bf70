#include "plugins/formats_out/stl_writer.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "plugins/formats_out/export_geometry.h"

namespace {

void put_float(uint8_t*& out, double v) {
  float f = static_cast<float>(v);
  if (!std::isfinite(f)) f = 0.0f;
  std::memcpy(out, &f, 4);
  out += 4;
}

void put_u32(uint8_t* out, uint32_t v) {
  for (int k = 0; k < 4; ++k) out[k] = static_cast<uint8_t>(v >> (8 * k));
}

}  // namespace

void write_stl(std::FILE* stl, const MeshSource& meshes, ExportReport* report) {
  uint8_t header[84] = {};
  static const char kTitle[] = "Binary STL written by Morvane";
  std::memcpy(header, kTitle, sizeof kTitle - 1);
  std::fwrite(header, 1, sizeof header, stl);

  uint32_t count = 0;
  std::vector<uint8_t> block;
  meshes([&](const ExportGeometry& mesh) {
    if (report != nullptr) report->status((std::string("Working on: ") + mesh.name + "\n").c_str());
    const int32_t faces = mesh.face_count();
    const int32_t step = faces / 100 + 1;
    const int32_t kBlock = 4096;
    block.resize(static_cast<size_t>(kBlock) * 50);
    for (int32_t first = 0; first < faces; first += kBlock) {
      if (report != nullptr && first % step < kBlock) report->progress(first, faces);
      const int32_t end = first + kBlock < faces ? first + kBlock : faces;
      uint8_t* out = block.data();
      for (int32_t f = first; f < end; ++f) {
        const int32_t* v = mesh.faces.data() + 3 * static_cast<size_t>(f);
        const Vec3d p[3] = {mesh.positions[static_cast<size_t>(v[0])],
                            mesh.positions[static_cast<size_t>(v[1])],
                            mesh.positions[static_cast<size_t>(v[2])]};
        Vec3d n;
        // The stored face normal points away from the side where the winding runs
        // counter-clockwise; STL wants the outward one.
        face_normal(p[0], p[1], p[2], n);
        put_float(out, -n.x);
        put_float(out, -n.y);
        put_float(out, -n.z);
        for (int k = 0; k < 3; ++k) {
          put_float(out, p[k].x);
          put_float(out, p[k].y);
          put_float(out, p[k].z);
        }
        *out++ = 0;
        *out++ = 0;
      }
      std::fwrite(block.data(), 1, static_cast<size_t>(out - block.data()), stl);
    }
    count += static_cast<uint32_t>(faces > 0 ? faces : 0);
  });
  uint8_t count_bytes[4];
  put_u32(count_bytes, count);
  if (std::fseek(stl, 80, SEEK_SET) == 0) std::fwrite(count_bytes, 1, 4, stl);
  std::fseek(stl, 0, SEEK_END);
}
