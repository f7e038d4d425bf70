// Wavefront OBJ text with its material library (".mtl"): one group and one material per mesh,
// named after the mesh, with positions turned to y up (the format's convention), one "vn" per
// distinct corner normal of the smoothing angle, and faces as "f v//vn v//vn v//vn".
#pragma once

#include <cstdio>
#include <string>

#include "plugins/formats_out/mesh_source.h"

// mtl_name: the material library's file name as the ".obj" names it (no folder).
void write_obj(std::FILE* obj, std::FILE* mtl, const std::string& mtl_name,
               const MeshSource& meshes, const WriteOptions& options, ExportReport* report);

// The name a group or material of the OBJ format can carry: blanks and control characters
// become "_" (the format ends a name at a blank); an empty name becomes "mesh".
std::string obj_name(const char* name);
