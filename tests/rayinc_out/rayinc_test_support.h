// Small meshes, an in-memory output stream and a report recorder for the ray-tracer writer tests.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "meshlib/mesh3d.h"
#include "plugins/rayinc_out/inc_text.h"
#include "plugins/rayinc_out/writer_report.h"

// Collects what a writer writes: stream() is an IncStream, text() the bytes so far.
class CapturedText {
 public:
  explicit CapturedText(int ld_mode = 1) : ld_mode_(ld_mode) {
    file_ = open_memstream(&buffer_, &size_);
  }
  ~CapturedText() {
    if (file_ != nullptr) std::fclose(file_);
    std::free(buffer_);
  }
  CapturedText(const CapturedText&) = delete;
  CapturedText& operator=(const CapturedText&) = delete;

  IncStream stream() const { return IncStream{file_, ld_mode_}; }
  std::string text() {
    std::fflush(file_);
    return std::string(buffer_, size_);
  }

 private:
  int ld_mode_;
  std::FILE* file_ = nullptr;
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
};

class RecordingReport final : public WriterReport {
 public:
  void status(const std::string& line) override { lines.push_back(line); }
  void file_progress(int32_t position, int32_t total) override {
    progress.emplace_back(position, total);
  }
  std::vector<std::string> lines;
  std::vector<std::pair<int32_t, int32_t>> progress;
};

inline Vec3d v3(double x, double y, double z) { return Vec3d{x, y, z}; }

// The triangle (0,0,0), (1,0,0), (0,1,0) in its indexed form.
inline std::unique_ptr<Mesh3d> single_triangle(const char* name) {
  auto mesh = std::make_unique<Mesh3d>(3, name);
  mesh->add_triangle(v3(0, 0, 0), v3(1, 0, 0), v3(0, 1, 0));
  return mesh;
}

// Two triangles meeting at 90 degrees along the edge (0,0,0)-(1,0,0), wound alike: the first
// faces -z, the second -y.
inline std::unique_ptr<Mesh3d> folded_pair(const char* name) {
  auto mesh = std::make_unique<Mesh3d>(4, name);
  mesh->add_triangle(v3(0, 0, 0), v3(1, 0, 0), v3(0, 1, 0));
  mesh->add_triangle(v3(1, 0, 0), v3(0, 0, 0), v3(0, 0, 1));
  return mesh;
}

// The closed unit cube [0,1]^3 of 12 triangles, every face wound so that its face_normal
// points into the cube (the system's convention for counter-clockwise seen from outside).
inline std::unique_ptr<Mesh3d> unit_cube(const char* name, double size = 1.0) {
  auto mesh = std::make_unique<Mesh3d>(8, name);
  auto corner = [size](int i) {
    return v3((i & 1) ? size : 0.0, (i & 2) ? size : 0.0, (i & 4) ? size : 0.0);
  };
  // Each side as four corners counter-clockwise seen from outside.
  const int sides[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                           {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  for (const auto& s : sides) {
    mesh->add_triangle(corner(s[0]), corner(s[1]), corner(s[2]));
    mesh->add_triangle(corner(s[0]), corner(s[2]), corner(s[3]));
  }
  return mesh;
}

// A mesh in the flat form only, as the host's list holds it.
inline Mesh3d* flat_only(std::unique_ptr<Mesh3d> mesh) {
  mesh->to_flat();
  mesh->drop_tables();
  return mesh.release();
}

// Occurrences of needle in text.
inline int count_of(const std::string& text, const std::string& needle) {
  int n = 0;
  for (std::size_t at = text.find(needle); at != std::string::npos;
       at = text.find(needle, at + needle.size()))
    ++n;
  return n;
}
