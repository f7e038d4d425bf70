#pragma once

#include "meshlib/vec3d.h"

class Mesh3d;
class PluginSettings;

// The indexed form of one mesh of the host's list for the length of one export pass: built from
// the flat form, scaled by size_value and swapped by swap_mode as the class's options say, and
// dropped again when the pass ends.
//
// Scaling and swapping rewrite the mesh's bounding box, and from_flat folds the unscaled
// corners into it again; the box the host shows (and the next pass of a two-file export starts
// from) is therefore saved here and put back at the end, so an export never changes the object
// it writes.
//
// A writer that reads only vertices, faces and the faces around each vertex passes
// with_edges = false: the pass then builds no edge table, which saves about a third of the
// indexed form's memory and time and changes nothing it reads.
class ExportMesh {
 public:
  ExportMesh(Mesh3d& mesh, const PluginSettings& settings, bool with_edges = true);
  ~ExportMesh();

  ExportMesh(const ExportMesh&) = delete;
  ExportMesh& operator=(const ExportMesh&) = delete;

  Mesh3d& mesh() const { return mesh_; }

 private:
  Mesh3d& mesh_;
  int bbox_empty_;
  Vec3d bbox_min_;
  Vec3d bbox_max_;
};
