#include "plugins/brick_in/mpd_sections.h"

#include "plugins/brick_in/ldraw_line.h"

namespace {

// The text after meta command word in a type-0 line ("0 FILE name"), or null when the line is
// not that command. The word must stand alone: "0 FILES" is a comment.
const char* meta_argument(const std::string& line, const char* word) {
  const char* data = nullptr;
  if (ldraw_line_type(line, &data) != 0) return nullptr;
  while (*data == ' ') ++data;
  const char* w = word;
  while (*w != '\0' && *data == *w) ++data, ++w;
  if (*w != '\0' || (*data != '\0' && *data != ' ')) return nullptr;
  while (*data == ' ') ++data;
  return data;
}

}  // namespace

std::vector<DocumentSection> find_document_sections(const char* text, std::size_t size) {
  std::vector<DocumentSection> sections;
  bool open = false;
  std::size_t pos = 0;
  std::string line;
  for (;;) {
    std::size_t line_start = pos;
    if (!next_ldraw_line(text, size, pos, line)) break;
    const char* name = meta_argument(line, "FILE");
    bool nofile = name == nullptr && meta_argument(line, "NOFILE") != nullptr;
    if (name == nullptr && !nofile) continue;
    if (open) sections.back().end = line_start;
    open = false;
    if (name != nullptr) {
      std::string n = name;
      while (!n.empty() && n.back() == ' ') n.pop_back();
      sections.push_back(DocumentSection{n, pos, size});
      open = true;
    }
  }
  return sections;
}
