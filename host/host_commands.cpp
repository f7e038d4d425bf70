#include "host/host_commands.h"

#include <cstdio>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "host/extension_table.h"
#include "host/plugin_manager.h"
#include "meshlib/mesh3d.h"
#include "settings/ascii_case.h"
#include "settings/path.h"

namespace {

// True when class_name lists "*<extension>" as a whole pattern ("Wavefront OBJ (*.obj)" lists
// ".obj"; "(*.objx)" does not), without regard to the case of ASCII letters.
bool lists_extension(const std::string& class_name, const std::string& extension) {
  if (extension.size() < 2) return false;
  const std::string name = ascii_lower(class_name);
  const std::string pattern = "*" + ascii_lower(extension);
  for (std::string::size_type at = name.find(pattern); at != std::string::npos;
       at = name.find(pattern, at + 1)) {
    const std::string::size_type end = at + pattern.size();
    if (end == name.size() || name[end] == ',' || name[end] == ')' || name[end] == ';' ||
        name[end] == ' ')
      return true;
  }
  return false;
}

// ImporterList's release callback: an importer ends itself, and with it its objects.
void release_importer(void* element) { static_cast<MeshImporter*>(element)->DeleteThis(); }

// The first of name, name_0, name_1, ... that is_free accepts. With next, the numbered
// search starts at *next and leaves there the number it found.
template <typename IsFree>
std::string first_free_name(const char* name, IsFree is_free, long* next = nullptr) {
  if (is_free(name)) return name;
  long start = 0;
  for (long& n = next != nullptr ? *next : start;; ++n) {
    std::string candidate = std::string(name) + "_" + std::to_string(n);
    if (is_free(candidate.c_str())) return candidate;
  }
}

}  // namespace

HostCommands::HostCommands(PluginManager& plugins, HostUserInterface& ui)
    : plugins_(plugins),
      ui_(ui),
      imported_(new ObjectList()),
      importers_(new ObjectList(release_importer)) {
  for (int i = 0; i < plugins_.ClassCount(); ++i) {
    ClassDescription* c = plugins_.ClassAt(i);
    if (c->SuperClassID() == MESH_IMPORT_CLASS)
      import_index_.push_back(i);
    else if (c->SuperClassID() == MESH_EXPORT_CLASS)
      export_index_.push_back(i);
  }
}

HostCommands::~HostCommands() {
  delete imported_;
  delete importers_;
}

ClassDescription* HostCommands::ClassAtIndex(const std::vector<int>& index, int position) const {
  if (position < 0 || position >= static_cast<int>(index.size())) return nullptr;
  return plugins_.ClassAt(index[position]);
}

void HostCommands::SelectImport(int position) {
  if (position >= 0 && position < static_cast<int>(import_index_.size()))
    import_selection_ = position;
}

void HostCommands::SelectExport(int position) {
  if (position >= 0 && position < static_cast<int>(export_index_.size()))
    export_selection_ = position;
}

bool HostCommands::SelectImportClass(const char* class_name) {
  for (int p = 0; p < static_cast<int>(import_index_.size()); ++p)
    if (std::string(ClassAtIndex(import_index_, p)->ClassName()) == class_name) {
      import_selection_ = p;
      return true;
    }
  return false;
}

bool HostCommands::SelectExportClass(const char* class_name) {
  for (int p = 0; p < static_cast<int>(export_index_.size()); ++p)
    if (std::string(ClassAtIndex(export_index_, p)->ClassName()) == class_name) {
      export_selection_ = p;
      return true;
    }
  return false;
}

ClassDescription* HostCommands::SelectedImportClass() const {
  return ClassAtIndex(import_index_, import_selection_);
}

ClassDescription* HostCommands::SelectedExportClass() const {
  return ClassAtIndex(export_index_, export_selection_);
}

void HostCommands::Import(int clear_flag, int check_name_mode) {
  MeshImporter* importer = CreateImporter(SelectedImportClass());
  if (importer == nullptr) return;
  ObjectList* result = importer->Import();
  // A run the user cancelled in its progress window leaves the list as it was.
  const bool cancelled = result != nullptr && result->cancelled();
  if (clear_flag != 0 && !cancelled) Clear();
  if (!cancelled && (result == nullptr || result->count() == 0))
    ui_.ShowMessage("Nothing to import", "Info");
  FinishImport(importer, result, check_name_mode);
}

int HostCommands::ImportByName(const char* path, const ExtensionTable& extensions, int clear_flag,
                               int check_name_mode) {
  const std::string extension = path_extension(path);
  const char* class_name = extensions.FindClassName(extension.c_str());
  ClassDescription* found = nullptr;
  for (int i = 0; class_name != nullptr && found == nullptr && i < plugins_.ClassCount(); ++i) {
    ClassDescription* c = plugins_.ClassAt(i);
    if (c->SuperClassID() == MESH_IMPORT_CLASS && std::string(c->ClassName()) == class_name)
      found = c;
  }
  for (int i = 0; class_name != nullptr && found == nullptr && i < plugins_.ClassCount(); ++i) {
    ClassDescription* c = plugins_.ClassAt(i);
    if (c->SuperClassID() == MESH_IMPORT_CLASS && lists_extension(c->ClassName(), extension))
      found = c;
  }
  if (found == nullptr) {
    ui_.ShowMessage("Extension not recognized!", "Error");
    return 0;
  }
  return ImportWithClass(found, path, clear_flag, check_name_mode);
}

int HostCommands::ImportWithClass(ClassDescription* import_class, const char* path, int clear_flag,
                                  int check_name_mode) {
  if (!ImportAvailable()) return 0;
  MeshImporter* importer = CreateImporter(import_class);
  if (importer == nullptr) return 0;
  ObjectList* result = importer->ImportFile(path);
  // A file that gave nothing leaves the list as it was.
  if (clear_flag != 0 && result != nullptr && result->count() > 0) Clear();
  return FinishImport(importer, result, check_name_mode);
}

int HostCommands::FinishImport(MeshImporter* importer, ObjectList* result, int check_name_mode) {
  int taken = 0;
  if (result != nullptr && result->count() > 0) {
    taken = TakeObjects(result, check_name_mode);
    ui_.ShowImportedFile(path_file_name(importer->FileName()));
  }
  importers_->append(importer);
  Recount();
  return taken;
}

bool HostCommands::NameIsFree(const char* name) const {
  for (int32_t i = 0; i < imported_->count(); ++i)
    if (equal_ignoring_ascii_case(static_cast<Obj3d*>(imported_->get(i))->name(), name))
      return false;
  return true;
}

std::string HostCommands::FreeName(const char* name) const {
  return first_free_name(name, [this](const char* candidate) { return NameIsFree(candidate); });
}

int HostCommands::TakeObjects(ObjectList* objects, int check_name_mode) {
  // The names already in the list, kept in a set as objects are added, so that a model of
  // thousands of meshes is checked in linear time; the answers are those of NameIsFree and
  // FreeName.
  std::unordered_set<std::string> names;
  if (check_name_mode == NAME_CHECK_AUTOMATIC || check_name_mode == NAME_CHECK_MANUAL)
    for (int32_t i = 0; i < imported_->count(); ++i)
      names.insert(ascii_lower(static_cast<Obj3d*>(imported_->get(i))->name()));
  auto is_free = [&names](const char* name) { return names.count(ascii_lower(name)) == 0; };
  // Where the search for a free proposal stopped, per base name: no name is freed during
  // this call, so every proposal below it is still taken, and thousands of meshes of one
  // name are named in linear time.
  std::unordered_map<std::string, long> next_suffix;
  auto free_name = [&is_free, &next_suffix](const char* name) {
    return first_free_name(name, is_free, &next_suffix[ascii_lower(name)]);
  };
  int taken = 0;
  for (int32_t i = 0; objects != nullptr && i < objects->count(); ++i) {
    auto* object = static_cast<Obj3d*>(objects->get(i));
    switch (check_name_mode) {
      case NAME_CHECK_NONE:
        break;
      case NAME_CHECK_AUTOMATIC:
        if (!is_free(object->name())) object->set_name(free_name(object->name()).c_str());
        break;
      case NAME_CHECK_MANUAL:
        if (!is_free(object->name())) {
          const std::string old_name = object->name();
          const std::string proposal = free_name(object->name());
          std::string entered;
          for (;;) {
            if (!ui_.AskNewName(old_name, proposal, entered))
              return taken;  // this object and the rest stay with the importer
            if (is_free(entered.c_str())) break;
          }
          object->set_name(entered.c_str());
        }
        break;
      default:
        return taken;
    }
    imported_->append(object);
    if (check_name_mode != NAME_CHECK_NONE) names.insert(ascii_lower(object->name()));
    ++taken;
  }
  return taken;
}

void HostCommands::KeepImporter(MeshImporter* importer) {
  if (importer != nullptr) importers_->append(importer);
}

void HostCommands::Clear() {
  totals_ = MeshTotals();
  ui_.ShowCounters(0, 0, 0);
  // The host's list goes first: it deletes nothing, while the importers delete the objects.
  delete imported_;
  imported_ = new ObjectList();
  delete importers_;
  importers_ = new ObjectList(release_importer);
}

void HostCommands::Export(ExportMode mode, ExportFileNames* names) {
  if (imported_->count() == 0) {
    ui_.ShowMessage("Object List is empty", "Error");
    return;
  }
  ExportWithClass(SelectedExportClass(), mode, names);
}

void HostCommands::ExportWithClass(ClassDescription* export_class, ExportMode mode,
                                   ExportFileNames* names) {
  MeshExporter* exporter = CreateExporter(export_class);
  if (exporter == nullptr) return;
  ui_.SetBusy(true);
  busy_ = true;
  exporter->Export(imported_, mode, names);
  busy_ = false;
  ui_.SetBusy(false);
  exporter->DeleteThis();
}

void HostCommands::ImportHelp() {
  if (MeshImporter* importer = CreateImporter(SelectedImportClass())) {
    importer->Help();
    importer->DeleteThis();
  }
}

void HostCommands::ImportOptions() {
  if (MeshImporter* importer = CreateImporter(SelectedImportClass())) {
    importer->Configure();
    importer->DeleteThis();
  }
}

void HostCommands::ExportHelp() {
  if (MeshExporter* exporter = CreateExporter(SelectedExportClass())) {
    exporter->Help();
    exporter->DeleteThis();
  }
}

void HostCommands::ExportOptions() {
  if (MeshExporter* exporter = CreateExporter(SelectedExportClass())) {
    exporter->Configure();
    exporter->DeleteThis();
  }
}

MeshTotals CountMeshes(const ObjectList& objects) {
  MeshTotals totals;
  for (int32_t i = 0; i < objects.count(); ++i) {
    auto* object = static_cast<Obj3d*>(objects.get(i));
    if (object->kind() != 0) continue;
    auto* mesh = static_cast<Mesh3d*>(object);
    ++totals.meshes;
    totals.faces += mesh->flat_face_count;
    totals.vertices += mesh->flat_vertex_count;
  }
  return totals;
}

void HostCommands::Recount() {
  totals_ = CountMeshes(*imported_);
  ui_.ShowCounters(totals_.meshes, totals_.faces, totals_.vertices);
}

std::string StatisticsLine(const ObjectList& objects, int position) {
  auto* object = static_cast<Obj3d*>(objects.get(position));
  if (object == nullptr || object->kind() != 0) return std::string();
  auto* mesh = static_cast<Mesh3d*>(object);
  std::string name = mesh->name();
  char head[32], counts[48];
  std::snprintf(head, sizeof head, "\t%d\t%s\t", position + 1, "MESH");
  std::snprintf(counts, sizeof counts, "\t%d\t%d", mesh->flat_face_count, mesh->flat_vertex_count);
  return head + name + counts;
}
