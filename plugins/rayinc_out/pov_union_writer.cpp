#include "plugins/rayinc_out/inc_writers.h"
#include "plugins/rayinc_out/triangle_writer.h"

// A union of single triangles: understood by every POV-Ray version, and POV-Ray accepts an
// empty union, so a mesh without faces needs nothing special.
void write_pov_union(const IncStream& out, const Mesh3d& mesh, double smooth_angle,
                     WriterReport* report, FaceNormalCache* normals) {
  static const TriangleSyntax syntax = {
      "#declare ", " = ", "union\n", "\t", "\t", "triangle { ", "smooth_triangle { ", false};
  write_triangle_object(out, mesh, smooth_angle, syntax, report, normals);
}
