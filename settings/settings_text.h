// The text form of one owner's settings file: "[SECTION]" headers (nested
// sections written with a backslash, "[Settings\extension]"), values as
// "name"="text" lines with \\ \" \n \r \t escaped inside the quotes, and
// ";" comments. Every line keeps its original bytes, so a rewrite changes
// only the lines of the values written; lines that cannot be understood are
// written back exactly as they were.
//
// A line belongs to the section of the last header above it (lines above
// the first header belong to none). A name may head several blocks in a
// hand-edited file; they count as one section, and the first occurrence of
// a value name wins. Section and value names compare without regard to
// ASCII case, as the original per-user store did.
#pragma once

#include <string>
#include <vector>

namespace settings_text {

struct Line {
  enum Kind { kRaw, kHeader, kValue };
  Kind kind = kRaw;
  std::string raw;      // the line's bytes without its "\n"
  std::string section;  // kHeader
  std::string name;     // kValue
  std::string value;    // kValue
};

struct Store {
  std::vector<Line> lines;
};

bool same_name(const std::string& a, const std::string& b);

Store parse_store(const std::string& bytes);
// Every line followed by "\n".
std::string format_store(const Store& store);

bool has_section(const Store& store, const std::string& section);
// The section and all its parents ("a", "a\b" for "a\b\c") have headers.
bool has_section_levels(const Store& store, const std::string& section);
// The values of `section` in file order, each name once.
std::vector<const Line*> section_values(const Store& store, const std::string& section);
const Line* find_value(const Store& store, const std::string& section, const std::string& name);

// Adds the headers of every missing level at the end of the file. Returns
// true when anything was added.
bool create_section(Store* store, const std::string& section);
// Replaces the value in place, or appends it after the last value of its
// section (after its first header when it has none); the section must
// exist. Returns true when the file changes.
bool set_value(Store* store, const std::string& section, const std::string& name,
               const std::string& value);

}  // namespace settings_text
