#include "tests/xfile_in/xfile_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "plugins/xfile_in/xfile_parser.h"
#include "settings/log_file.h"

TempDir::TempDir() {
  std::string pattern = std::filesystem::temp_directory_path().string() + "/xfile_in_XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) ADD_FAILURE() << "cannot make a temporary folder";
  dir_ = buffer.data();
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string TempDir::Write(const std::string& name, const std::string& text) const {
  std::string path = Path(name);
  std::ofstream out(path, std::ios::binary);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  return path;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

ParseResult ParsePath(const TempDir& dir, const std::string& path, std::uint64_t cut_steps) {
  ParseResult r;
  std::string log_path = dir.Path("parse.log");
  {
    LogFile log(log_path.c_str());
    XFileParseHooks hooks;
    hooks.log = &log;
    hooks.status = [&r](const char* text) { r.status.push_back(text); };
    hooks.file_progress = [&r](std::uint32_t position, std::uint32_t total) {
      r.progress.emplace_back(position, total);
    };
    hooks.warning = [&r](const char* text) { r.warnings.push_back(text); };
    hooks.finish_mesh = [&r](Mesh3d* mesh) { r.meshes.emplace_back(mesh); };
    hooks.cut_steps = cut_steps;
    r.result = ParseXFile(path.c_str(), hooks);
  }
  r.log = ReadAll(log_path);
  return r;
}

ParseResult ParseText(const TempDir& dir, const std::string& text, std::uint64_t cut_steps) {
  return ParsePath(dir, dir.Write("input.x", text), cut_steps);
}

std::vector<std::vector<Vec3d>> Triangles(const Mesh3d& mesh) {
  std::vector<std::vector<Vec3d>> out;
  for (int32_t f = 0; f < mesh.face_count(); ++f) {
    Vec3d corners[3];
    mesh.triangle_positions(f, corners);
    out.push_back({corners[0], corners[1], corners[2]});
  }
  return out;
}

int CountOf(const std::string& haystack, const std::string& needle) {
  int n = 0;
  for (std::size_t at = haystack.find(needle); at != std::string::npos;
       at = haystack.find(needle, at + needle.size()))
    ++n;
  return n;
}
