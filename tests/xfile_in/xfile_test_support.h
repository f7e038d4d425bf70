#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "meshlib/mesh3d.h"

// A private folder per test, removed afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  // Writes text (bytes as given, NULs included) to name and returns its path.
  std::string Write(const std::string& name, const std::string& text) const;

 private:
  std::string dir_;
};

std::string ReadAll(const std::string& path);

// Result of one parse through ParseXFile with a real log file.
struct ParseResult {
  int result = -1;
  std::vector<std::unique_ptr<Mesh3d>> meshes;  // in their indexed form, as handed over
  std::string log;                              // what the parser wrote to its log
  std::vector<std::string> status;
  std::vector<std::pair<unsigned, unsigned>> progress;
  std::vector<std::string> warnings;
};

// cut_steps: the parser's ear-cutting budget beyond its share per byte (0: the default).
ParseResult ParseText(const TempDir& dir, const std::string& text, std::uint64_t cut_steps = 0);
ParseResult ParsePath(const TempDir& dir, const std::string& path, std::uint64_t cut_steps = 0);

// Expects actual to hold the same result and meshes (names, faces, corner positions within
// tolerance times the size of the coordinates) as expected.
void ExpectSameObjects(const ParseResult& expected, const ParseResult& actual, double tolerance);

// Writes text in the binary form (32 and 64-bit floats), compressed binary and compressed text
// and expects each to read as the same objects as r, the result of reading text. ParseText
// does this for every text it reads completely.
void ExpectSameInEveryForm(const TempDir& dir, const std::string& text, const ParseResult& r,
                           std::uint64_t cut_steps = 0);

// Positions of the corners of every face of mesh, in face order.
std::vector<std::vector<Vec3d>> Triangles(const Mesh3d& mesh);

// Number of times needle occurs in haystack.
int CountOf(const std::string& haystack, const std::string& needle);
