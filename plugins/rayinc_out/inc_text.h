// Text pieces shared by the ".inc" writers. Every piece goes through print_delimited, so each
// "\n" becomes the line end of the class's ld_mode; vectors are three "%f" numbers joined by
// commas (print_vector separator mode 1).
#pragma once

#include <cstdio>
#include <string>

#include "meshlib/vec3d.h"

// The stream a writer appends to and its line delimiter mode.
struct IncStream {
  std::FILE* file;
  int ld_mode;
};

// The point exactly as a reader of the file gets it back from its "%f" text.
Vec3d as_written(const Vec3d& p);

// Writes text unchanged but for its line breaks ("%" included).
void put_text(const IncStream& out, const char* text);
// "< " p " >," : one corner or end point, as every POV-Ray and PolyRay primitive writes it.
void put_point(const IncStream& out, const Vec3d& p);
// The vector alone, three "%f" numbers joined by commas.
void put_vector(const IncStream& out, const Vec3d& p);
// "#declare " name " = " kind "\n" "{\n": the opening of one declared POV-Ray object.
void put_declaration(const IncStream& out, const std::string& name, const char* kind);
// "}\n\n": the end of every declared object, with an empty line after it.
void put_closing(const IncStream& out);
// The declaration written for a mesh with nothing POV-Ray can hold (a blob without components,
// a mesh without a proper triangle): an empty union, which POV-Ray accepts and which renders
// nothing, under the same name, so that scenes using the name still parse.
void put_empty_declaration(const IncStream& out, const std::string& name);
