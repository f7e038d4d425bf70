// Text pieces shared by the ".inc" and ".udo" writers. Each "\n" becomes the line end of the
// class's ld_mode as print_delimited writes it; vectors are three "%f" numbers joined by commas
// (print_vector separator mode 1). With a writer the pieces go through its buffer and its
// printf-free number formatting (the same bytes); without one, through print_delimited.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

#include "meshlib/vec3d.h"
#include "settings/delimited_writer.h"

// The stream a writer appends to, its line delimiter mode and, optionally, the buffered writer
// for that stream and mode that every piece goes through (flushed by whoever made it).
struct IncStream {
  std::FILE* file;
  int ld_mode;
  DelimitedWriter* writer = nullptr;
};

// The point exactly as a reader of the file gets it back from its "%f" text.
Vec3d as_written(const Vec3d& p);

// Writes text (length bytes, no NUL among them) without a writer.
void put_text_unbuffered(const IncStream& out, const char* text, std::size_t length);
// Writes text (length bytes, no NUL among them) unchanged but for its line breaks ("%"
// included). Inline: the writers put millions of short pieces.
inline void put_text(const IncStream& out, const char* text, std::size_t length) {
  if (out.writer != nullptr)
    out.writer->Text(text, length);
  else
    put_text_unbuffered(out, text, length);
}
// The same for a whole string; inline, so that the length of a literal is known when compiling.
inline void put_text(const IncStream& out, const char* text) {
  put_text(out, text, std::strlen(text));
}
// One number as "%f" and "%d" write it.
void put_fixed(const IncStream& out, double v);
void put_int(const IncStream& out, int v);
// Three "%f" numbers joined by one separator character (print_vector's modes: ' ', ',', '\t').
void put_vector(const IncStream& out, const Vec3d& p, char separator);
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
