// The writer of a whole POV-Ray 3.7 scene in one file: the head ("#version 3.7;" and
// assumed_gamma 1.0), every mesh as a declared mesh2 placed with its texture, and then the
// camera, lights and background that frame everything written. Plain C++: the export class
// feeds it meshes one at a time, in their indexed form, through the buffered number writer.
#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "meshlib/appearance.h"
#include "meshlib/vec3d.h"
#include "plugins/povscene_out/scene_view.h"
#include "plugins/rayinc_out/inc_text.h"
#include "plugins/rayinc_out/writer_report.h"

class Mesh3d;

struct SceneOptions {
  SceneView view;
  double smooth_angle = 70.0;  // corner normals; 0 or less: flat faces, no normals written
  bool ground_plane = false;   // a floor just under the model, which takes its shadows
};

class SceneWriter {
 public:
  SceneWriter(const IncStream& out, const SceneOptions& options);

  // "#version 3.7;", the global settings and a comment with the picture's proportions.
  void Head();
  // One mesh (indexed form present): its texture, the first time its appearance (or the
  // neutral grey of a mesh without one) appears; "#declare Name = mesh2 { ... }" with the
  // positions, the corner normals and the faces; "object { Name texture { ... } }". The name
  // is the mesh's name made into an identifier as the ray-tracer include files make it,
  // with "_2", "_3", ... after it when an earlier declaration took it. Faces that POV-Ray
  // would drop as degenerate (their corners in line as the file writes them) are left out; a
  // mesh without any other face writes nothing and returns false.
  bool Mesh(const Mesh3d& mesh, WriterReport* report);
  // The camera framing every position written so far, the key and fill lights, the
  // background and the optional ground plane.
  void Tail();

  // The identifiers declared so far, in order.
  const std::vector<std::string>& Declared() const { return declared_; }

 private:
  std::string Declare(const std::string& wanted);
  const std::string& TextureFor(const Mesh3d& mesh);

  IncStream out_;
  SceneOptions options_;
  std::set<std::string> taken_;
  std::vector<std::string> declared_;
  std::vector<std::pair<Appearance, std::string>> textures_;
  bool box_empty_ = true;
  Vec3d box_min_{0.0, 0.0, 0.0};
  Vec3d box_max_{0.0, 0.0, 0.0};
};
