// What the writers of this library share: the meshes of one export, handed over one at a time
// as the export prepared them (scaled and swapped as the class's options say),
// the options every writer reads, and where a writer reports while it works.
#pragma once

#include <cstdint>
#include <functional>

struct ExportGeometry;

// Calls visit once for every mesh of the export, in list order. The geometry lives only
// during the call: a writer copies what it needs before it returns.
using MeshVisitor = std::function<void(const ExportGeometry& mesh)>;
using MeshSource = std::function<void(const MeshVisitor& visit)>;

struct WriteOptions {
  double smooth_angle = 70.0;  // degrees; neighbours closer than this share a corner normal
  int ld_mode = 1;             // line ends of text files: 0 CR LF, 1 LF, 2 CR
};

class ExportReport {
 public:
  virtual ~ExportReport() = default;
  // A status line ending in "\n" (the run's status line and its log).
  virtual void status(const char* line) = 0;
  // Progress through the current mesh's faces.
  virtual void progress(int32_t position, int32_t total) = 0;
};
