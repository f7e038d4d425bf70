#pragma once

#include "plugin_api/class_description.h"

class ObjectList;

// Object made by an import class (SuperClassID MESH_IMPORT_CLASS). Slot order: DeleteThis,
// Help, Configure (from PluginObject), ImportFile, Import, FileName, FileFilter.
//
// Ownership: the ObjectList returned by Import or ImportFile, and every object in it, belongs
// to the importer (the list is made with the release callback release_object). The host only
// copies the object pointers and keeps the importer alive until its own object list is
// cleared; DeleteThis then frees the meshes. The host calls at most one of Import and
// ImportFile on one importer.
class MeshImporter : public PluginObject {
 public:
  // Reads the named file. Never null; the list holds whatever the reader produced.
  virtual ObjectList* ImportFile(const char* path) = 0;
  // Asks for a file and reads it. Never null; empty when the user cancelled.
  virtual ObjectList* Import() = 0;
  // The file last imported: the name without folder after Import, the path exactly as
  // passed after ImportFile; empty before either.
  virtual const char* FileName() = 0;
  // The class's open-dialog filter text.
  virtual const char* FileFilter() = 0;

 protected:
  ~MeshImporter() = default;
};
