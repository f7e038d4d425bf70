#include "tests/xfile_in/xfile_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "plugins/xfile_in/xfile_parser.h"
#include "settings/log_file.h"
#include "tests/xfile_in/xfile_test_writer.h"

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

void ExpectSameObjects(const ParseResult& expected, const ParseResult& actual, double tolerance) {
  ASSERT_EQ(actual.result, expected.result) << actual.log;
  ASSERT_EQ(actual.meshes.size(), expected.meshes.size());
  for (std::size_t m = 0; m < expected.meshes.size(); ++m) {
    SCOPED_TRACE("mesh " + std::to_string(m));
    EXPECT_STREQ(actual.meshes[m]->name(), expected.meshes[m]->name());
    const auto want = Triangles(*expected.meshes[m]);
    const auto got = Triangles(*actual.meshes[m]);
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t f = 0; f < want.size(); ++f)
      for (int k = 0; k < 3; ++k) {
        const Vec3d& a = want[f][k];
        const Vec3d& b = got[f][k];
        const double scale = tolerance * (1.0 + std::fabs(a.x) + std::fabs(a.y) + std::fabs(a.z));
        if (std::fabs(a.x - b.x) > scale || std::fabs(a.y - b.y) > scale ||
            std::fabs(a.z - b.z) > scale) {
          ADD_FAILURE() << "face " << f << " corner " << k << ": <" << b.x << " " << b.y << " "
                        << b.z << "> instead of <" << a.x << " " << a.y << " " << a.z << ">";
          return;
        }
      }
  }
}

void ExpectSameInEveryForm(const TempDir& dir, const std::string& text, const ParseResult& r,
                           std::uint64_t cut_steps) {
  struct Form {
    XForm form;
    int float_bytes;
    const char* name;
  } forms[] = {
      {XForm::kBinary, 4, "binary, 32-bit floats"},
      {XForm::kBinary, 8, "binary, 64-bit floats"},
      {XForm::kCompressedBinary, 4, "compressed binary, 32-bit floats"},
      {XForm::kCompressedBinary, 8, "compressed binary, 64-bit floats"},
      {XForm::kCompressedText, 4, "compressed text"},
  };
  for (const Form& f : forms) {
    SCOPED_TRACE(std::string("read as ") + f.name);
    ParseResult other =
        ParsePath(dir, dir.Write("same.x", ToXForm(text, f.form, f.float_bytes)), cut_steps);
    // 32-bit floats keep about seven digits of the text's numbers.
    ExpectSameObjects(r, other, f.form != XForm::kCompressedText && f.float_bytes == 4 ? 1e-6 : 0);
  }
}

ParseResult ParseText(const TempDir& dir, const std::string& text, std::uint64_t cut_steps) {
  ParseResult r = ParsePath(dir, dir.Write("input.x", text), cut_steps);
  // Every text a test reads completely is also read in the binary and compressed forms, which
  // must give the same objects.
  if (r.result == 1) ExpectSameInEveryForm(dir, text, r, cut_steps);
  return r;
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
