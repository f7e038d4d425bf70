// Binary STL: one solid of every mesh's triangles, each with its face normal, in the mesh's
// coordinates as the export pass scaled them (STL has no unit; printers take millimetres).
#pragma once

#include <cstdio>

#include "plugins/formats_out/mesh_source.h"

// Writes the 80-byte header (never beginning with "solid", which would make readers take the
// file for text), the triangle count and 50 bytes per triangle. stl must allow seeking: the
// count is written when it is known.
void write_stl(std::FILE* stl, const MeshSource& meshes, ExportReport* report);
