// Common start of the wire and blob writers, which write a mesh's visible edges instead of
// its surface.
#pragma once

#include <memory>
#include <string>

#include "plugins/rayinc_out/inc_text.h"
#include "plugins/rayinc_out/writer_report.h"

class Mesh3d;

// Reports "Working on: " with the cleaned name and makes the edge-only copy with edge_angle.
// Returns the copy and sets name, or returns null when the mesh has no tables to take edges
// from; the caller writes the declaration.
std::unique_ptr<Mesh3d> start_edge_object(const Mesh3d& mesh, double edge_angle,
                                          WriterReport* report, std::string& name);

// Position of vertex i of the edge-only copy.
Vec3d edge_vertex(const Mesh3d& edges, int32_t i);
