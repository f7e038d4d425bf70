// The one loop behind the three triangle-based ".inc" writers (POV-Ray union, POV-Ray 3 mesh,
// PolyRay object): an opening, one line per face in face-table order, and "}\n\n". Each
// writer only names its words.
#pragma once

#include "plugins/rayinc_out/inc_text.h"
#include "plugins/rayinc_out/writer_report.h"

class FaceNormalCache;
class Mesh3d;

struct TriangleSyntax {
  const char* declare;       // "#declare " or "define "
  const char* assign;        // " = " or " "
  const char* kind;          // "union\n", "mesh\n", "object\n"
  const char* first_prefix;  // before the first face line
  const char* later_prefix;  // before every later face line (PolyRay's "+" chain)
  const char* flat;          // the word of a flat face
  const char* smooth;        // the word of a face written with its corner normals
  // True when POV-Ray refuses the object without a proper triangle (a mesh with no faces, or
  // with degenerate faces only); the writer then writes put_empty_declaration instead.
  bool needs_proper_triangle;
};

// Writes one mesh (indexed form present) in the given syntax. With smooth_angle > 0 each
// face's corner normals come from corner_normals, and a face whose three normals agree within
// 1e-6 is still written flat; with smooth_angle <= 0 every face is flat.
// When the faces are written on one thread, the corner normals take their face normals from
// normals if it is given (a cache over the same mesh).
void write_triangle_object(const IncStream& out, const Mesh3d& mesh, double smooth_angle,
                           const TriangleSyntax& syntax, WriterReport* report,
                           FaceNormalCache* normals = nullptr);

// True when POV-Ray keeps the triangle p0, p1, p2 of a mesh as the file writes it: the cross
// product of two sides, computed from the "%f" text of the corners, is not zero.
bool is_proper_written_triangle(const Vec3d p[3]);
