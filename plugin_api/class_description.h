#pragma once

#include <cstdint>

// Interface version that a plug-in library reports through LibVersion. The host refuses a
// library that reports any other value, because the virtual slot orders below are part of it.
#define PLUGIN_INTERFACE_VERSION 5

// SuperClassID values: the kind of object a class creates.
#define MESH_IMPORT_CLASS 0x1000  // Create makes a MeshImporter; shown as "Mesh Import"
#define MESH_EXPORT_CLASS 0x1001  // Create makes a MeshExporter; shown as "Mesh Export"

// Common start of MeshImporter and MeshExporter: the three operations every object that a
// class creates offers, in this slot order. The object ends itself with DeleteThis, inside the
// library whose code it runs; the destructor is protected so that nobody deletes it from
// outside. Implementations are final classes whose DeleteThis does `delete this`.
class PluginObject {
 public:
  virtual void DeleteThis() = 0;  // destroys the object and everything it owns
  virtual void Help() = 0;        // shows the class's help text, modal
  virtual void Configure() = 0;   // shows the class's options dialog, modal, and stores them

 protected:
  ~PluginObject() = default;
};

// One class of a plug-in library: one importer or one exporter of one file format. Each is an
// object of static storage duration inside its library, valid from load to unload; the host
// never deletes it. None of the operations fails.
class ClassDescription {
 public:
  // 1 for every delivered class; only shown in the plug-in summary.
  virtual int ClassPublicFlag() = 0;
  // A fresh MeshImporter (SuperClassID MESH_IMPORT_CLASS) or MeshExporter (MESH_EXPORT_CLASS);
  // the caller owns it and ends it with DeleteThis before the library is unloaded. Use
  // CreateImporter / CreateExporter (plugin_api/plugin_api.h) to get the typed object.
  virtual PluginObject* Create() = 0;
  // Display name and key of the class (import/export lists, last_import_class,
  // extension table). Compared exactly; the same text on every call.
  virtual const char* ClassName() = 0;
  // MESH_IMPORT_CLASS or MESH_EXPORT_CLASS; any other value is registered but never offered.
  virtual int SuperClassID() = 0;
  // Identity of the class across all plug-ins; the first registered class with a value wins.
  virtual std::uint32_t ClassID() = 0;

 protected:
  ~ClassDescription() = default;
};
