#include "plugins/brick_in/ldraw_line.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// Fields are separated by blanks only: the line splitter has already turned tabs into blanks
// and ended the line at every other control byte.
const char* skip_field_blanks(const char* text) {
  while (*text == ' ') ++text;
  return text;
}

const char* field_end(const char* text) {
  while (*text != '\0' && *text != ' ') ++text;
  return text;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool next_ldraw_line(const char* text, std::size_t end, std::size_t& pos, std::string& line) {
  line.clear();
  if (pos >= end) return false;
  while (pos < end) {
    unsigned char c = static_cast<unsigned char>(text[pos++]);
    if (c == '\r') {
      if (pos < end && text[pos] == '\n') ++pos;
      break;
    }
    if (c == '\t') {
      line.push_back(' ');
      continue;
    }
    if (c < 32) break;  // "\n" and every other control byte end the line
    line.push_back(static_cast<char>(c));
  }
  return true;
}

int ldraw_line_type(const std::string& line, const char** data) {
  const char* p = skip_field_blanks(line.c_str());
  if (*p < '0' || *p > '4') return -1;
  int type = *p - '0';
  ++p;
  if (*p == ' ')
    ++p;
  else if (*p != '\0')
    return -1;
  *data = p;
  return type;
}

bool read_colour_field(const char*& text, int32_t& colour) {
  const char* p = skip_field_blanks(text);
  const char* e = field_end(p);
  if (e - p > 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
    uint64_t v = 0;
    for (const char* q = p + 2; q < e; ++q) {
      int d = hex_digit(*q);
      if (d < 0) return false;
      v = v * 16 + static_cast<uint64_t>(d);
      if (v > 0x7FFFFFFFu) return false;
    }
    colour = static_cast<int32_t>(v);
    text = e;
    return true;
  }
  if (p < e && *p == '+') ++p;
  int32_t v = 0;
  auto r = std::from_chars(p, e, v);
  if (r.ec != std::errc() || r.ptr != e || p == e) return false;
  colour = v;
  text = e;
  return true;
}

bool read_number_field(const char*& text, double& value) {
  const char* p = skip_field_blanks(text);
  const char* e = field_end(p);
  if (p < e && *p == '+') ++p;
  if (p == e) return false;
  double v = 0.0;
  auto r = std::from_chars(p, e, v);
  if (r.ec != std::errc() || r.ptr != e || !std::isfinite(v)) return false;
  value = v;
  text = e;
  return true;
}

bool parse_part_reference(const char* data, PartReference& reference) {
  const char* p = data;
  double f[12];
  if (!read_colour_field(p, reference.colour)) return false;
  for (double& v : f)
    if (!read_number_field(p, v)) return false;
  p = skip_field_blanks(p);
  const char* e = p + std::strlen(p);
  while (e > p && e[-1] == ' ') --e;
  if (e == p) return false;
  reference.file_name.assign(p, e);
  // f holds x y z a b c d e f g h i: point p maps to (a b c) . p + x, (d e f) . p + y, ...
  Mat4d& m = reference.matrix;
  mat_identity(m);
  m.m[3][0] = f[0];
  m.m[3][1] = f[1];
  m.m[3][2] = f[2];
  m.m[0][0] = f[3];
  m.m[1][0] = f[4];
  m.m[2][0] = f[5];
  m.m[0][1] = f[6];
  m.m[1][1] = f[7];
  m.m[2][1] = f[8];
  m.m[0][2] = f[9];
  m.m[1][2] = f[10];
  m.m[2][2] = f[11];
  return true;
}

namespace {

bool parse_corners(const char* data, int32_t& colour, Vec3d* corners, int count) {
  const char* p = data;
  if (!read_colour_field(p, colour)) return false;
  for (int i = 0; i < count; ++i) {
    if (!read_number_field(p, corners[i].x) || !read_number_field(p, corners[i].y) ||
        !read_number_field(p, corners[i].z))
      return false;
  }
  return true;
}

}  // namespace

bool parse_triangle(const char* data, int32_t& colour, Vec3d corners[3]) {
  return parse_corners(data, colour, corners, 3);
}

bool parse_quad(const char* data, int32_t& colour, Vec3d corners[4]) {
  return parse_corners(data, colour, corners, 4);
}
