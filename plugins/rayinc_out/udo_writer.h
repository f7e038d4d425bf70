// The Moray ".udo" file that every ray-tracer export class writes after its ".inc" file: the
// modeller shows each mesh as a light wireframe (its visible edges, or its bounding box when
// it has none) and takes the real geometry from the ".inc" file that the head names.
#pragma once

#include "plugins/rayinc_out/inc_text.h"
#include "plugins/rayinc_out/writer_report.h"

class Mesh3d;
struct EdgeObject;

// The head: the ".inc" file by its absolute path (inc_path itself when absolute, else below the
// current directory), so that the modeller finds it from anywhere, and the group name, the
// ".udo" file's base name and "_group".
void write_udo_head(const IncStream& out, const char* udo_path, const char* inc_path);

// One mesh block: the bounding box as comments, then the vertices and edges of the edge-only
// copy made with edge_angle, or the eight corners and twelve sides of the bounding box when
// the copy has no vertex.
void write_udo_mesh(const IncStream& out, const Mesh3d& mesh, double edge_angle,
                    WriterReport* report);
// The same with the mesh's edge object already made (see make_edge_object).
void write_udo_mesh(const IncStream& out, const EdgeObject& edges, WriterReport* report);

// "[End]" and an empty line.
void write_udo_tail(const IncStream& out);
