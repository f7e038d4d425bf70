#include "plugins/rayinc_out/inc_text.h"

#include <cstdlib>

#include "settings/delimited_writer.h"
#include "settings/number_text.h"
#include "settings/text_file.h"

namespace {

double as_written(double v) {
  char text[kFixed6Capacity + 1];
  *format_fixed6(text, v) = '\0';
  return std::strtod(text, nullptr);
}

}  // namespace

Vec3d as_written(const Vec3d& p) {
  return Vec3d{as_written(p.x), as_written(p.y), as_written(p.z)};
}

void put_text_unbuffered(const IncStream& out, const char* text, std::size_t length) {
  print_delimited(out.ld_mode, out.file, "%.*s", static_cast<int>(length), text);
}

void put_fixed(const IncStream& out, double v) {
  if (out.writer != nullptr)
    out.writer->Fixed(v);
  else
    print_delimited(out.ld_mode, out.file, "%f", v);
}

void put_int(const IncStream& out, int v) {
  if (out.writer != nullptr)
    out.writer->Int(v);
  else
    print_delimited(out.ld_mode, out.file, "%d", v);
}

void put_vector(const IncStream& out, const Vec3d& p, char separator) {
  if (out.writer != nullptr) {
    out.writer->Fixed(p.x).Char(separator).Fixed(p.y).Char(separator).Fixed(p.z);
  } else {
    print_vector(out.ld_mode, out.file, p.x, p.y, p.z,
                 separator == ','    ? 1
                 : separator == '\t' ? 2
                                     : 0);
  }
}

void put_vector(const IncStream& out, const Vec3d& p) { put_vector(out, p, ','); }

void put_point(const IncStream& out, const Vec3d& p) {
  put_text(out, "< ");
  put_vector(out, p);
  put_text(out, " >,");
}

void put_declaration(const IncStream& out, const std::string& name, const char* kind) {
  put_text(out, "#declare ");
  put_text(out, name.c_str());
  put_text(out, " = ");
  put_text(out, kind);
  put_text(out, "{\n");
}

void put_closing(const IncStream& out) { put_text(out, "}\n\n"); }

void put_empty_declaration(const IncStream& out, const std::string& name) {
  put_declaration(out, name, "union\n");
  put_closing(out);
}
