#pragma once

#include "plugin_api/class_description.h"

class ObjectList;

// How Export finds its output file names.
typedef int ExportMode;
enum : ExportMode {
  EXPORT_ASK = 0,            // ask; a cancelled file dialog gives up the export
  EXPORT_ASK_OR_STORED = 1,  // ask; on a cancelled dialog go on with the stored names
  EXPORT_GIVEN_NAMES = 2,    // do not ask; take the base names from ExportFileNames
};

// Base names (path without extension) of the first and the second output file; the exporter
// appends "." and its own extension to each. Either may be null when the class writes fewer
// files.
struct ExportFileNames {
  const char* first;
  const char* second;
};

// Object made by an export class (SuperClassID MESH_EXPORT_CLASS). Slot order: DeleteThis,
// Help, Configure (from PluginObject), Export. An exporter holds no state of its own; it lives
// for one host command.
class MeshExporter : public PluginObject {
 public:
  // Writes the objects of kind 0 (meshes) of the host's list. The list and its objects stay
  // the host's: the exporter may rebuild a mesh's indexed form in place and drop it again,
  // but never deletes a list or an object. names may be null unless mode is
  // EXPORT_GIVEN_NAMES.
  virtual void Export(ObjectList* objects, ExportMode mode, ExportFileNames* names) = 0;

 protected:
  ~MeshExporter() = default;
};
