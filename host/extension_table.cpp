#include "host/extension_table.h"

#include "settings/ascii_case.h"

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

void ExtensionTable::Append(const ExtensionTable& rows) {
  for (int row = 0; row < rows.Count(); ++row) Append(rows.Extension(row), rows.ClassName(row));
}

void ExtensionTable::Clear() {
  extensions_.clear();
  class_names_.clear();
}

const char* ExtensionTable::FindClassName(const char* extension) const {
  if (extension == nullptr) return nullptr;
  for (size_t row = 0; row < extensions_.size(); ++row) {
    // Only ASCII letters fold: a Turkish dotless i must not miss ".IOB".
    if (equal_ignoring_ascii_case(extensions_[row].c_str(), extension))
      return class_names_[row].c_str();
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
  table.Append(ExchangeFormatRows());
  return table;
}

ExtensionTable ExchangeFormatRows() {
  ExtensionTable table;
  table.Append(".gltf", "glTF 2.0 (*.gltf, *.glb)");
  table.Append(".glb", "glTF 2.0 (*.gltf, *.glb)");
  table.Append(".stl", "STL (*.stl)");
  table.Append(".ply", "Stanford PLY (*.ply)");
  table.Append(".dae", "COLLADA (*.dae)");
  table.Append(".fbx", "Autodesk FBX (*.fbx)");
  table.Append(".off", "Object File Format (*.off)");
  return table;
}
