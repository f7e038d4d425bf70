#pragma once

// Everything a host or a plug-in library needs of the plug-in interface.
#include "plugin_api/class_description.h"
#include "plugin_api/mesh_exporter.h"
#include "plugin_api/mesh_importer.h"
#include "plugin_api/plugin_exports.h"

// Typed Create: a new importer of an import class, null for any other class (or when Create
// itself gives null). The caller ends it with DeleteThis.
inline MeshImporter* CreateImporter(ClassDescription* description) {
  if (description == nullptr || description->SuperClassID() != MESH_IMPORT_CLASS) return nullptr;
  return static_cast<MeshImporter*>(description->Create());
}

// Typed Create: a new exporter of an export class, null for any other class.
inline MeshExporter* CreateExporter(ClassDescription* description) {
  if (description == nullptr || description->SuperClassID() != MESH_EXPORT_CLASS) return nullptr;
  return static_cast<MeshExporter*>(description->Create());
}
