#include "plugins/rayinc_out/inc_text.h"

#include <cstdlib>

#include "settings/text_file.h"

namespace {

double as_written(double v) {
  char text[400];  // "%f" of the largest double needs 317 characters
  std::snprintf(text, sizeof text, "%f", v);
  return std::strtod(text, nullptr);
}

}  // namespace

Vec3d as_written(const Vec3d& p) { return Vec3d{as_written(p.x), as_written(p.y), as_written(p.z)}; }

void put_text(const IncStream& out, const char* text) {
  print_delimited(out.ld_mode, out.file, "%s", text);
}

void put_vector(const IncStream& out, const Vec3d& p) {
  print_vector(out.ld_mode, out.file, p.x, p.y, p.z, 1);
}

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
