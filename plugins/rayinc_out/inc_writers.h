// The ".inc" writers of the five ray-tracer export classes. Each writes one mesh object, whose
// indexed form exists (scaled and axis-swapped), to the open ".inc" stream, reporting the
// "Working on: " status line and its progress. The triangle writers take the face normals of
// normals when given (a cache over the same mesh that made its edge object), instead of
// computing them again.
#pragma once

#include "plugins/rayinc_out/inc_text.h"
#include "plugins/rayinc_out/writer_report.h"

class FaceNormalCache;
class Mesh3d;
struct EdgeObject;

// "#declare N = union { triangle / smooth_triangle ... }"
void write_pov_union(const IncStream& out, const Mesh3d& mesh, double smooth_angle,
                     WriterReport* report, FaceNormalCache* normals = nullptr);
// "#declare N = mesh { triangle / smooth_triangle ... }" for POV-Ray 3 and later.
void write_pov_mesh(const IncStream& out, const Mesh3d& mesh, double smooth_angle,
                    WriterReport* report, FaceNormalCache* normals = nullptr);
// "define N object { polygon 3 / patch + ... }": all faces summed into one PolyRay object.
void write_polyray_object(const IncStream& out, const Mesh3d& mesh, double smooth_angle,
                          WriterReport* report, FaceNormalCache* normals = nullptr);

// Radius used in place of one that is not greater than 0: the blob writer needs a positive
// step along each edge, and a cylinder or sphere without a radius shows nothing.
constexpr double kSmallestWireRadius = 0.001;
// radius when it is greater than 0, else kSmallestWireRadius.
double usable_wire_radius(double radius);

// A cylinder per visible edge and a sphere per edge end, in one union.
void write_pov_wire(const IncStream& out, const Mesh3d& mesh, double edge_angle, double radius,
                    WriterReport* report);
// The same wireframe as a blob: components every radius / 4 along each visible edge and one at
// each edge end.
void write_pov_blob(const IncStream& out, const Mesh3d& mesh, double edge_angle, double radius,
                    WriterReport* report);
// The two with the mesh's edge object already made (see make_edge_object).
void write_pov_wire(const IncStream& out, const EdgeObject& edges, double radius,
                    WriterReport* report);
void write_pov_blob(const IncStream& out, const EdgeObject& edges, double radius,
                    WriterReport* report);
