#include "host/extension_table.h"

namespace {

char fold_ascii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Only ASCII letters fold: the user's locale must not change which row a name finds
// (a Turkish dotless i would otherwise miss ".IOB").
bool equal_ignoring_ascii_case(const std::string& a, const char* b) {
  std::string::size_type i = 0;
  for (; i < a.size(); ++i) {
    if (b[i] == '\0' || fold_ascii(a[i]) != fold_ascii(b[i])) return false;
  }
  return b[i] == '\0';
}

}  // namespace

const char* ExtensionTable::Extension(int row) const {
  if (row < 0 || row >= Count()) return nullptr;
  return extensions_[static_cast<size_t>(row)].c_str();
}

const char* ExtensionTable::ClassName(int row) const {
  if (row < 0 || row >= Count()) return nullptr;
  return class_names_[static_cast<size_t>(row)].c_str();
}

void ExtensionTable::Append(const std::string& extension, const std::string& class_name) {
  extensions_.push_back(extension);
  class_names_.push_back(class_name);
}

void ExtensionTable::Clear() {
  extensions_.clear();
  class_names_.clear();
}

const char* ExtensionTable::FindClassName(const char* extension) const {
  if (extension == nullptr) return nullptr;
  for (size_t row = 0; row < extensions_.size(); ++row) {
    if (equal_ignoring_ascii_case(extensions_[row], extension)) return class_names_[row].c_str();
  }
  return nullptr;
}

ExtensionTable DefaultExtensionTable(HostProgram program) {
  ExtensionTable table;
  table.Append(".3ds", "3D Studio (*.3ds, *.prj)");
  table.Append(".prj", "3D Studio (*.3ds, *.prj)");
  table.Append(".dxf", "AutoCad (*.dxf)");
  table.Append(".iob", "Imagine (*.obj, *.iob)");
  table.Append(".lwo",
               program == HostProgram::Viewer ? "Lightwave (*.lwo, *.lws)" : "Lightwave (*.lwo)");
  table.Append(".lws", "Lightwave (*.lwo, *.lws)");
  table.Append(".pob", "POV-Ray Binary (*.pob)");
  table.Append(".raw", "RAW ASCII (*.raw)");
  table.Append(".obj", "WaveFront (*.obj)");
  // The rows above name classes of format plug-ins that are not delivered; without these
  // three a file of a delivered format given by name would be refused on first start.
  table.Append(".x", "XFILE ASCII (*.x)");
  table.Append(".dat", "LDraw (*.dat)");
  table.Append(".ldr", "LDraw (*.dat)");
  return table;
}
