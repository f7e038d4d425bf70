// The lines of an LDraw file: splitting a file's text into lines, telling the line type, and
// reading the fields of part references (type 1), triangles (type 3) and quadrilaterals
// (type 4). Nothing here allocates beyond the strings it returns, and no input length is
// limited.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "meshlib/mat4d.h"
#include "meshlib/vec3d.h"

// Copies the next line of text[pos, end) into line and moves pos past it. "\n", "\r" and
// "\r\n" each end exactly one line; any other byte below 32 except the tab ends the line and is
// consumed; a tab is stored as a blank; bytes of 128 and above (UTF-8 names and comments)
// belong to the line. Lines of any length are returned whole. False at the end of the text.
bool next_ldraw_line(const char* text, std::size_t end, std::size_t& pos, std::string& line);

// The type of a line (0 to 4) after leading blanks, or -1 for a line that holds no known type:
// empty, another first character, or a type digit followed directly by something other than a
// blank ("10 ...", "1x"). data receives the text after the digit and the one blank that
// follows it.
int ldraw_line_type(const std::string& line, const char** data);

// A colour field: a decimal number ("%d", optional sign) or a direct colour written in
// hexadecimal ("0x2RRGGBB"), which today's part library uses in type 1, 3 and 4 lines. Moves
// text past the field. False when the next field is not a colour or does not fit in 32 bits.
bool read_colour_field(const char*& text, int32_t& colour);

// A number field of the form "%lf" takes, standing alone between blanks ("3001.dat" is not a
// number with a name glued to it). Infinite and not-a-number values are refused: they would
// spread through every transformed corner. Locale-independent.
bool read_number_field(const char*& text, double& value);

// A part reference of a type 1 line: colour, placement and the referenced file name.
struct PartReference {
  PartReference() { mat_identity(matrix); }

  int32_t colour = 0;
  Mat4d matrix;           // LDraw placement as a row-vector matrix: p' = p * matrix
  std::string file_name;  // as written (may hold "\" and blanks)
};

// Reads "colour x y z a b c d e f g h i name" (the data of a type 1 line). The name is the rest
// of the line after the thirteen numbers, leading and trailing blanks removed, so names with
// blanks survive. The placement maps a point p to (a*p.x + b*p.y + c*p.z + x, d*... + y,
// g*... + z). False when a number is missing or malformed or no name follows.
bool parse_part_reference(const char* data, PartReference& reference);

// Reads "colour x1 y1 z1 x2 y2 z2 x3 y3 z3" (type 3). Text after the ten fields is ignored.
bool parse_triangle(const char* data, int32_t& colour, Vec3d corners[3]);

// Reads "colour" and four corners (type 4). Text after the thirteen fields is ignored.
bool parse_quad(const char* data, int32_t& colour, Vec3d corners[4]);
