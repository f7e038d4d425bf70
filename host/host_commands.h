#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "meshlib/object_list.h"
#include "plugin_api/plugin_api.h"

class ExtensionTable;
class PluginManager;

// What the host commands need of the window they run in: message boxes, the "Change Name"
// dialog, the title and the counters. The Qt dialogs implement it; tests and the batch
// converter give their own.
class HostUserInterface {
 public:
  virtual ~HostUserInterface() = default;
  // A modal message box with an OK button.
  virtual void ShowMessage(const char* text, const char* title) = 0;
  // The "Change Name" dialog with the taken name (read-only) and the proposal. Returns false
  // on Cancel; on OK, entered holds the name the user typed.
  virtual bool AskNewName(const std::string& old_name, const std::string& proposal,
                          std::string& entered) = 0;
  // After an import that took objects: the imported file's name and extension.
  virtual void ShowImportedFile(const std::string& file_name) { (void)file_name; }
  virtual void ShowCounters(std::int32_t meshes, std::int32_t faces, std::int32_t vertices) {
    (void)meshes, (void)faces, (void)vertices;
  }
  // Disables (false) or enables again the window's controls while an export runs.
  virtual void SetBusy(bool busy) { (void)busy; }
};

// Name check modes of the host settings' check_name_mode.
enum NameCheckMode {
  NAME_CHECK_NONE = 0,
  NAME_CHECK_MANUAL = 1,
  NAME_CHECK_AUTOMATIC = 2,
};

// The meshes of a list and the sum of their flat faces and vertices: what the counters show.
struct MeshTotals {
  std::int32_t meshes = 0, faces = 0, vertices = 0;
};
MeshTotals CountMeshes(const ObjectList& objects);

// The converter's commands that move meshes in and out, shared by both host programs and the
// batch converter. It owns the objects the user sees (ImportedObjects, in the order taken) and
// every importer made since the last clear (ImporterList): an importer owns the meshes it
// made, so it lives until the list is cleared. The caller keeps the plug-in manager alive
// longer than this object.
class HostCommands {
 public:
  HostCommands(PluginManager& plugins, HostUserInterface& ui);
  ~HostCommands();  // clears, deleting every importer and with it every imported object

  HostCommands(const HostCommands&) = delete;
  HostCommands& operator=(const HostCommands&) = delete;

  // Positions in the plug-in manager's class list of the import and the export classes.
  const std::vector<int>& ImportIndex() const { return import_index_; }
  const std::vector<int>& ExportIndex() const { return export_index_; }
  bool ImportAvailable() const { return !import_index_.empty(); }
  bool ExportAvailable() const { return !export_index_.empty(); }
  // The selected position in each index (0 at start; out-of-range values are ignored).
  int ImportSelection() const { return import_selection_; }
  int ExportSelection() const { return export_selection_; }
  void SelectImport(int position);
  void SelectExport(int position);
  // Selects the class of that ClassName; false (selection unchanged) when there is none.
  bool SelectImportClass(const char* class_name);
  bool SelectExportClass(const char* class_name);
  ClassDescription* SelectedImportClass() const;
  ClassDescription* SelectedExportClass() const;

  // Interactive import with the selected class: Import, clear first when clear_flag is set
  // (also when nothing came), "Nothing to import" for an empty result, else take the objects.
  // A result marked cancelled (the user stopped the run) clears nothing and says nothing.
  void Import(int clear_flag, int check_name_mode);
  // Import of a named file through the extension table ("Extension not recognized!" when
  // no row or no import class matches). A row that names a class no loaded plug-in has (the
  // ".obj" and ".3ds" rows name classes of the original format plug-ins) falls back to the
  // first import class whose name lists the extension's pattern ("*.obj"). An empty result clears
  // nothing and says nothing. Returns the number of objects taken.
  int ImportByName(const char* path, const ExtensionTable& extensions, int clear_flag,
                   int check_name_mode);
  // The same with a given import class.
  int ImportWithClass(ClassDescription* import_class, const char* path, int clear_flag,
                      int check_name_mode);

  // Takes the objects of an importer's list into ImportedObjects, one by one, with the name
  // check of check_name_mode. Returns the number taken.
  int TakeObjects(ObjectList* objects, int check_name_mode);
  // The first of name, name_0, name_1, ... that no object in ImportedObjects carries
  // (names compared without regard to the case of ASCII letters).
  std::string FreeName(const char* name) const;
  bool NameIsFree(const char* name) const;

  // Keeps an importer (and so the objects it made) until the next clear; for a window that
  // runs importers itself and takes their objects with TakeObjects.
  void KeepImporter(MeshImporter* importer);

  // Drops every object and deletes every importer; the counters become 0.
  void Clear();

  // Export with the selected class: "Object List is empty" when there is no object, else
  // the exporter runs with the controls disabled and the busy flag set.
  void Export(ExportMode mode = EXPORT_ASK, ExportFileNames* names = nullptr);
  void ExportWithClass(ClassDescription* export_class, ExportMode mode, ExportFileNames* names);
  bool Busy() const { return busy_; }

  // Help and options of the selected class of either group.
  void ImportHelp();
  void ImportOptions();
  void ExportHelp();
  void ExportOptions();

  // Counts the meshes and their flat faces and vertices, and shows the counters.
  void Recount();
  std::int32_t MeshCount() const { return totals_.meshes; }
  std::int32_t FaceCount() const { return totals_.faces; }
  std::int32_t VertexCount() const { return totals_.vertices; }

  ObjectList& ImportedObjects() { return *imported_; }
  const ObjectList& ImportedObjects() const { return *imported_; }
  int ImporterCount() const { return importers_->count(); }

 private:
  ClassDescription* ClassAtIndex(const std::vector<int>& index, int position) const;
  // Takes a non-empty result and shows its file, keeps the importer in every case, recounts.
  int FinishImport(MeshImporter* importer, ObjectList* result, int check_name_mode);

  PluginManager& plugins_;
  HostUserInterface& ui_;
  ObjectList* imported_;   // ImportedObjects: deletes nothing
  ObjectList* importers_;  // ImporterList: its release callback calls DeleteThis
  std::vector<int> import_index_;
  std::vector<int> export_index_;
  int import_selection_ = 0;
  int export_selection_ = 0;
  MeshTotals totals_;
  bool busy_ = false;
};

// One line of the statistics list for the object at position (0-based) of the list:
// "\t%d\t%s\t%s\t%d\t%d" with the position counted from 1, "MESH", the name and the flat face
// and vertex counts. Empty for an object that is not a mesh.
std::string StatisticsLine(const ObjectList& objects, int position);
