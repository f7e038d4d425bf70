#include "plugins/rayinc_out/inc_writers.h"
#include "plugins/rayinc_out/triangle_writer.h"

// A POV-Ray 3 mesh, which POV-Ray stores and traces more efficiently than a union. POV-Ray drops
// the degenerate triangles of a mesh and refuses a mesh that is left without any.
void write_pov_mesh(const IncStream& out, const Mesh3d& mesh, double smooth_angle,
                    WriterReport* report, FaceNormalCache* normals) {
  static const TriangleSyntax syntax = {
      "#declare ", " = ", "mesh\n", "\t", "\t", "triangle { ", "smooth_triangle { ", true};
  write_triangle_object(out, mesh, smooth_angle, syntax, report, normals);
}
