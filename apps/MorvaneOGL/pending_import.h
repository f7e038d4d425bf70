#pragma once

#include "host/host_commands.h"

// An import run from the viewer's import dialog and not yet taken: its importer owns the
// meshes it read until the program takes them ("&OK") or drops them ("&Cancel", or another
// import in the same dialog). Only the last import is pending.
class PendingImport {
 public:
  PendingImport() = default;
  ~PendingImport() { Drop(); }
  PendingImport(const PendingImport&) = delete;
  PendingImport& operator=(const PendingImport&) = delete;

  // Drops what is pending and runs a new importer of import_class. False when no importer
  // could be made; an importer that read nothing stays pending with an empty result.
  bool Run(ClassDescription* import_class);
  // Deletes the importer, and with it the meshes it read.
  void Drop();
  // Hands the importer (null when none) to the caller, who owns it and its meshes from here.
  MeshImporter* Release();

  MeshImporter* Importer() const { return importer_; }
  // What the import read; null when it gave no list or nothing is pending.
  ObjectList* Objects() const { return objects_; }
  bool Empty() const { return objects_ == nullptr || objects_->count() == 0; }

 private:
  MeshImporter* importer_ = nullptr;
  ObjectList* objects_ = nullptr;
};
