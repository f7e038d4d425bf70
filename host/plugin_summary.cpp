#include "host/plugin_summary.h"

#include <cstdio>

#include "host/plugin_manager.h"

namespace {

template <typename... Args>
std::string format(const char* pattern, Args... args) {
  int length = std::snprintf(nullptr, 0, pattern, args...);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(&text[0], text.size(), pattern, args...);
  text.resize(static_cast<size_t>(length));
  return text;
}

const char* text_or_empty(const char* text) { return text != nullptr ? text : ""; }

std::string class_kind(int super_class_id) {
  if (super_class_id == MESH_IMPORT_CLASS) return "(Mesh Import)";
  if (super_class_id == MESH_EXPORT_CLASS) return "(Mesh Export)";
  return std::string();
}

}  // namespace

std::vector<std::string> PluginSummaryLines(const PluginManager& manager) {
  std::vector<std::string> lines;
  int classes = 0;
  for (int i = 0; i < manager.LibraryCount(); ++i) {
    const PluginLibrary* library = manager.LibraryAt(i);
    int count = library->ClassCount();
    classes += count;
    lines.push_back(format(" FileName: %s", library->Path().c_str()));
    lines.push_back(format(" LibName: %s", text_or_empty(library->Name())));
    lines.push_back(format(" LibClassNumber: %d", count));
    lines.push_back(format(" LibVersion: 0x%08X", static_cast<unsigned>(library->Version())));
    for (int index = 0; index < count; ++index) {
      ClassDescription* description = library->ClassDescriptionAt(index);
      // A library that gives no description for an index below its count has nothing
      // to show for it.
      if (description == nullptr) continue;
      int super_class_id = description->SuperClassID();
      lines.push_back(format("\tClassName: %s", text_or_empty(description->ClassName())));
      lines.push_back(format("\tSuperClassID: 0x%04X %s", static_cast<unsigned>(super_class_id),
                             class_kind(super_class_id).c_str()));
      lines.push_back(format("\tClassID: 0x%08X", static_cast<unsigned>(description->ClassID())));
      lines.push_back(format("\tClassPublicFlag: %d", description->ClassPublicFlag()));
      lines.push_back(" ");
    }
    lines.push_back(" ");
  }
  lines.push_back(" ");
  lines.push_back(" Summary:");
  lines.push_back(format("\tLibraries: %d", manager.LibraryCount()));
  lines.push_back(format("\tClasses: %d", classes));
  return lines;
}

bool SavePluginSummary(const std::string& path, const std::vector<std::string>& lines) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) return false;
  bool ok = true;
  for (const std::string& line : lines) {
    if (std::fputs(line.c_str(), file) == EOF || std::fputc('\n', file) == EOF) ok = false;
  }
  if (std::fclose(file) != 0) ok = false;
  return ok;
}
