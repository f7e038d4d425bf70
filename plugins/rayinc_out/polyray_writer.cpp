#include "plugins/rayinc_out/inc_writers.h"
#include "plugins/rayinc_out/triangle_writer.h"

// PolyRay has no union of loose triangles: the faces are summed ("+") into one object, the
// first face indented where the later ones carry the "+".
void write_polyray_object(const IncStream& out, const Mesh3d& mesh, double smooth_angle,
                          WriterReport* report, FaceNormalCache* normals) {
  static const TriangleSyntax syntax = {
      "define ", " ", "object\n", "\t  ", "\t+ ", "object { polygon 3, ", "object { patch ", false};
  write_triangle_object(out, mesh, smooth_angle, syntax, report, normals);
}
