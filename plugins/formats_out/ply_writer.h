// Stanford PLY, binary little endian: every mesh's vertices with their colour (the mesh's
// appearance, or neutral grey without one) and its triangles, in one vertex and one face
// element, in the mesh's coordinates as the export pass scaled them.
#pragma once

#include <cstdio>

#include "plugins/formats_out/mesh_source.h"

// The header states the counts, so the meshes are gathered in memory first (16 bytes per
// vertex, 13 per face) and written after it.
void write_ply(std::FILE* ply, const MeshSource& meshes, ExportReport* report);
