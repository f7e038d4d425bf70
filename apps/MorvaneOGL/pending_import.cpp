#include "apps/MorvaneOGL/pending_import.h"

bool PendingImport::Run(ClassDescription* import_class) {
  // The meshes of an earlier import were never taken: they go with it.
  Drop();
  importer_ = CreateImporter(import_class);
  if (importer_ == nullptr) return false;
  objects_ = importer_->Import();
  return true;
}

void PendingImport::Drop() {
  if (importer_ != nullptr) importer_->DeleteThis();
  importer_ = nullptr;
  objects_ = nullptr;
}

MeshImporter* PendingImport::Release() {
  MeshImporter* importer = importer_;
  importer_ = nullptr;
  objects_ = nullptr;
  return importer;
}
