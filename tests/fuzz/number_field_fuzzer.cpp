// libFuzzer target: arbitrary text typed into a number option field, through the conversion the
// options dialog uses (no widgets). A text accepted as a number gives a finite value, the same
// value the C library reads from it, and the three-decimal text the field then shows reads back
// as that value (to the shown precision) and fits the field.
#include <locale.h>
#include <stdlib.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "plugin_frame/read_number_field.h"

namespace {

void check(bool condition, const char* what, const std::string& text) {
  if (!condition) {
    std::fprintf(stderr, "number_field: %s for \"%s\"\n", what, text.c_str());
    __builtin_trap();
  }
}

// The C library's reading in the "C" locale, where "." is the decimal point.
double c_strtod(const char* text, char** end) {
  static locale_t c_locale = newlocale(LC_ALL_MASK, "C", nullptr);
  return strtod_l(text, end, c_locale);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A field holds at most 254 characters; the text ends at the first NUL.
  std::string text(reinterpret_cast<const char*>(data), size < 254 ? size : 254);
  text = text.substr(0, text.find('\0'));
  double value = -12345.0;
  bool ok = parse_leading_number(text.c_str(), &value);
  if (!ok) {
    check(value == -12345.0, "a rejected text changed the value", text);
    return 0;
  }
  check(std::isfinite(value), "an accepted number is not finite", text);

  // Hexadecimal forms and names are not numbers here; any other accepted text reads the same
  // as in the C library.
  const char* p = text.c_str();
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  if (*p == '+' || *p == '-') ++p;
  bool hex = p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
  if (!hex) {
    double reference = c_strtod(text.c_str(), nullptr);
    check(reference == value, "the value differs from the C library's", text);
  }

  char shown[64];
  std::memset(shown, 'x', sizeof shown);
  const char* result = format_3f(value, shown);
  check(result == shown, "format_3f returns another buffer", text);
  check(std::memchr(shown, '\0', sizeof shown) != nullptr, "shown text not terminated", text);
  double again = 0.0;
  check(parse_leading_number(shown, &again), "the shown text is not a number", text);
  double tolerance = 0.0005 + std::fabs(value) * 1e-15;
  check(std::fabs(again - value) <= tolerance, "the shown text reads another value", text);
  return 0;
}
