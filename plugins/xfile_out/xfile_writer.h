#pragma once

#include <cstdio>
#include <string>

class Mesh3d;
class PluginRun;

// The writer of DirectX text files ("xof 0302txt 0064"): the template declarations, one
// Header object, the material "mat_default" and one top-level Mesh per mesh, each with a
// material list pointing every face at "mat_default" and one normal per face corner.

// Writes the fixed head: the format line, the 21 templates, the header object and the default
// material. ld_mode gives the line ends (0 CR LF, 1 LF, 2 CR, other: none).
void write_header(std::FILE* file, int ld_mode);

// Writes one Mesh block of the indexed form of mesh, with corner normals smoothed at
// smooth_angle degrees. Reports "Working on: <name>" and file progress through run. With
// colours, a mesh that carries an appearance gets a material of its own, named after the mesh
// and written inside its material list, instead of "mat_default".
void write_mesh(std::FILE* file, const Mesh3d& mesh, double smooth_angle, int ld_mode,
                PluginRun* run, bool colours = false);

// The name as a DirectX identifier: blanks and other control or separator characters, braces,
// ",", ";", "#", '"' and "//" would end the name or start a comment when the file is read
// back, so each such character becomes "_"; an empty name becomes "_". Names made only of
// letters, digits, "_", "-" and "." pass unchanged.
std::string xfile_safe_name(const char* name);
