#include "settings/settings_text.h"

namespace settings_text {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Reads a quoted text starting at text[*at] == '"'; advances past the
// closing quote. False when the quotes or escapes are malformed.
bool parse_quoted(const std::string& text, std::size_t* at, std::string* out) {
  std::size_t i = *at;
  if (i >= text.size() || text[i] != '"') return false;
  ++i;
  out->clear();
  while (i < text.size()) {
    char c = text[i++];
    if (c == '"') {
      *at = i;
      return true;
    }
    if (c == '\0') return false;
    if (c != '\\') {
      out->push_back(c);
      continue;
    }
    if (i >= text.size()) return false;
    switch (text[i++]) {
      case '\\':
        out->push_back('\\');
        break;
      case '"':
        out->push_back('"');
        break;
      case 'n':
        out->push_back('\n');
        break;
      case 'r':
        out->push_back('\r');
        break;
      case 't':
        out->push_back('\t');
        break;
      default:
        return false;
    }
  }
  return false;
}

Line parse_line(const std::string& raw) {
  Line line;
  line.raw = raw;
  std::string text = raw;
  if (!text.empty() && text.back() == '\r') text.pop_back();
  std::size_t begin = 0;
  while (begin < text.size() && is_blank(text[begin])) ++begin;
  std::size_t end = text.size();
  while (end > begin && is_blank(text[end - 1])) --end;
  if (begin == end || text[begin] == ';') return line;

  if (text[begin] == '[') {
    if (end - begin >= 3 && text[end - 1] == ']' && text.find('\0', begin) >= end) {
      line.kind = Line::kHeader;
      line.section = text.substr(begin + 1, end - begin - 2);
    }
    return line;
  }

  std::size_t at = begin;
  std::string name, value;
  if (!parse_quoted(text, &at, &name)) return line;
  while (at < end && is_blank(text[at])) ++at;
  if (at >= end || text[at] != '=') return line;
  ++at;
  while (at < end && is_blank(text[at])) ++at;
  if (!parse_quoted(text, &at, &value) || at != end) return line;
  line.kind = Line::kValue;
  line.name = std::move(name);
  line.value = std::move(value);
  return line;
}

void append_quoted(std::string* out, const std::string& text) {
  out->push_back('"');
  for (char c : text) {
    switch (c) {
      case '\\':
        *out += "\\\\";
        break;
      case '"':
        *out += "\\\"";
        break;
      case '\n':
        *out += "\\n";
        break;
      case '\r':
        *out += "\\r";
        break;
      case '\t':
        *out += "\\t";
        break;
      default:
        out->push_back(c);
    }
  }
  out->push_back('"');
}

Line header_line(const std::string& section) {
  Line line;
  line.kind = Line::kHeader;
  line.section = section;
  line.raw = "[" + section + "]";
  return line;
}

Line value_line(const std::string& name, const std::string& value) {
  Line line;
  line.kind = Line::kValue;
  line.name = name;
  line.value = value;
  append_quoted(&line.raw, name);
  line.raw.push_back('=');
  append_quoted(&line.raw, value);
  return line;
}

// "a\b\c" and its parents "a", "a\b", outermost first.
std::vector<std::string> section_levels(const std::string& section) {
  std::vector<std::string> levels;
  for (std::size_t i = 0; i < section.size(); ++i)
    if (section[i] == '\\') levels.push_back(section.substr(0, i));
  levels.push_back(section);
  return levels;
}

}  // namespace

// Section and value names compare without regard to ASCII case, as the
// original per-user store did; other bytes compare exactly.
bool same_name(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (fold(a[i]) != fold(b[i])) return false;
  return true;
}

Store parse_store(const std::string& bytes) {
  Store store;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    store.lines.push_back(parse_line(bytes.substr(start, end - start)));
    start = end + 1;
  }
  return store;
}

std::string format_store(const Store& store) {
  std::string bytes;
  for (const Line& line : store.lines) {
    bytes += line.raw;
    bytes.push_back('\n');
  }
  return bytes;
}

// The section a line belongs to is the last header above it (none above
// the first header). A name may head several blocks in a hand-edited file;
// they count as one section, the first occurrence of a value name wins.
bool has_section(const Store& store, const std::string& section) {
  for (const Line& line : store.lines)
    if (line.kind == Line::kHeader && same_name(line.section, section)) return true;
  return false;
}

// The values of `section` in file order, each name once.
std::vector<const Line*> section_values(const Store& store, const std::string& section) {
  std::vector<const Line*> values;
  bool inside = false;
  for (const Line& line : store.lines) {
    if (line.kind == Line::kHeader) {
      inside = same_name(line.section, section);
    } else if (inside && line.kind == Line::kValue) {
      bool seen = false;
      for (const Line* known : values)
        if (same_name(known->name, line.name)) seen = true;
      if (!seen) values.push_back(&line);
    }
  }
  return values;
}

const Line* find_value(const Store& store, const std::string& section, const std::string& name) {
  bool inside = false;
  for (const Line& line : store.lines) {
    if (line.kind == Line::kHeader)
      inside = same_name(line.section, section);
    else if (inside && line.kind == Line::kValue && same_name(line.name, name))
      return &line;
  }
  return nullptr;
}

bool has_section_levels(const Store& store, const std::string& section) {
  for (const std::string& level : section_levels(section))
    if (!has_section(store, level)) return false;
  return true;
}

// Adds the headers of every missing level at the end. Returns true when
// anything was added.
bool create_section(Store* store, const std::string& section) {
  bool added = false;
  for (const std::string& level : section_levels(section)) {
    if (has_section(*store, level)) continue;
    if (!added && !store->lines.empty() && !store->lines.back().raw.empty())
      store->lines.push_back(Line());  // a blank line between sections
    store->lines.push_back(header_line(level));
    added = true;
  }
  return added;
}

// Replaces the value in place, or appends it after the last value of its
// section (after the first header when the section has none). Returns true
// when the file changes.
bool set_value(Store* store, const std::string& section, const std::string& name,
               const std::string& value) {
  bool inside = false;
  std::size_t insert_at = std::string::npos;
  for (std::size_t i = 0; i < store->lines.size(); ++i) {
    Line& line = store->lines[i];
    if (line.kind == Line::kHeader) {
      inside = same_name(line.section, section);
      if (inside && insert_at == std::string::npos) insert_at = i + 1;
    } else if (inside && line.kind == Line::kValue) {
      if (same_name(line.name, name)) {
        if (line.value == value) return false;
        line = value_line(line.name, value);
        return true;
      }
      insert_at = i + 1;
    }
  }
  if (insert_at == std::string::npos) return false;  // caller creates the section first
  store->lines.insert(store->lines.begin() + static_cast<std::ptrdiff_t>(insert_at),
                      value_line(name, value));
  return true;
}

}  // namespace settings_text
