#include "plugins/formats_out/json_text.h"

#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>

#include "settings/c_numeric.h"

namespace {

// Length of the valid UTF-8 sequence at s[i] (overlong forms, surrogates and values past
// U+10FFFF are not valid), or 0.
size_t utf8_length(const std::string& s, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = byte(i);
  size_t n;
  uint32_t value;
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
    value = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    value = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    value = c & 0x07;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (byte(i + k) & 0x3F);
  }
  if ((n == 3 && (value < 0x800 || (value >= 0xD800 && value <= 0xDFFF))) ||
      (n == 4 && (value < 0x10000 || value > 0x10FFFF)))
    return 0;
  return n;
}

int c_snprintf(char* buffer, size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int n = c_vsnprintf(buffer, size, format, args);
  va_end(args);
  return n;
}

}  // namespace

void append_json_string(std::string& out, const std::string& text) {
  out += '"';
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
      ++i;
    } else if (c < 0x20) {
      char escape[8];
      c_snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
      ++i;
    } else if (size_t n = utf8_length(text, i)) {
      out.append(text, i, n);
      i += n;
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
      ++i;
    }
  }
  out += '"';
}

void append_json_number(std::string& out, double v) {
  if (!std::isfinite(v)) v = 0.0;
  char text[32];
  c_snprintf(text, sizeof text, "%.9g", v);
  out += text;
}

std::string file_uri(const std::string& file_name) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string uri;
  for (unsigned char c : file_name) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
        c == '.' || c == '_' || c == '~') {
      uri += static_cast<char>(c);
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    }
  }
  return uri;
}
