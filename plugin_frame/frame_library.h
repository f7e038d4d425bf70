#pragma once

#include <cstdint>

#include "plugin_api/plugin_api.h"

// Creates a new object of class T for a class description.
template <class T>
PluginObject* create_plugin_object() {
  return new T();
}

// The class description of one plug-in class: one object of static storage duration in the
// library, never deleted.
//
//     static FrameClassDescription xfile_class("XFILE ASCII (*.x)", MESH_IMPORT_CLASS,
//                                              0x10F32E1E, create_plugin_object<XFileImport>);
class FrameClassDescription final : public ClassDescription {
 public:
  typedef PluginObject* (*Factory)();

  FrameClassDescription(const char* class_name, int super_class_id, std::uint32_t class_id,
                        Factory factory)
      : name_(class_name), super_(super_class_id), id_(class_id), factory_(factory) {}

  int ClassPublicFlag() override { return 1; }
  PluginObject* Create() override { return factory_(); }
  const char* ClassName() override { return name_; }
  int SuperClassID() override { return super_; }
  std::uint32_t ClassID() override { return id_; }

 private:
  const char* name_;
  int super_;
  std::uint32_t id_;
  Factory factory_;
};

// Defines the four exported library functions for the listed class descriptions (pointers,
// in index order). Use once per library, at namespace scope:
//
//     MORVANE_PLUGIN_LIBRARY("XFILE Import Lib", &xfile_class)
#define MORVANE_PLUGIN_LIBRARY(lib_name, ...)                                                    \
  static ClassDescription* const morvane_library_classes[] = {__VA_ARGS__};                      \
  extern "C" MORVANE_PLUGIN_EXPORT const char* LibName(void) { return lib_name; }                \
  extern "C" MORVANE_PLUGIN_EXPORT int LibNumberClasses(void) {                                  \
    return static_cast<int>(sizeof morvane_library_classes / sizeof morvane_library_classes[0]); \
  }                                                                                              \
  extern "C" MORVANE_PLUGIN_EXPORT ClassDescription* LibClassDescription(int index) {            \
    return index >= 0 && index < LibNumberClasses() ? morvane_library_classes[index] : nullptr;  \
  }                                                                                              \
  extern "C" MORVANE_PLUGIN_EXPORT int LibVersion(void) { return PLUGIN_INTERFACE_VERSION; }
