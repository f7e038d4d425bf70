#pragma once

#include <string>

#include "plugin_api/plugin_exports.h"

// Status of a PluginLibrary.
enum PluginLibraryStatus {
  PLUGIN_LIBRARY_COMPLETE = 0,        // loaded, all four exports resolved
  PLUGIN_LIBRARY_NOT_LOADED = 1,      // the file could not be loaded, or has been unloaded
  PLUGIN_LIBRARY_MISSING_EXPORT = 2,  // loaded, but an export did not resolve
};

// One plug-in library file that the host tried. Construction loads the file and resolves the
// four exports; destruction unloads it. Every class description and every object a class
// created is code of this library, so all of them must be gone before it is destroyed.
class PluginLibrary {
 public:
  // Loads the file at path (kept as given) and resolves LibName, LibNumberClasses,
  // LibClassDescription and LibVersion in that order.
  explicit PluginLibrary(const std::string& path);
  ~PluginLibrary();

  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  const std::string& Path() const { return path_; }
  int Status() const { return status_; }

  // The four exports. On a library whose status is not PLUGIN_LIBRARY_COMPLETE they call
  // nothing and give null, 0, null and 0.
  const char* Name() const;
  int ClassCount() const;
  int Version() const;
  ClassDescription* ClassDescriptionAt(int index) const;

  // Unloads the library now; status becomes PLUGIN_LIBRARY_COMPLETE when that succeeded and
  // PLUGIN_LIBRARY_NOT_LOADED otherwise. The exports are no longer called afterwards.
  void Unload();
  bool IsLoaded() const { return module_ != nullptr; }

 private:
  std::string path_;
  void* module_ = nullptr;
  LibNameFunction lib_name_ = nullptr;
  LibNumberClassesFunction lib_number_classes_ = nullptr;
  LibClassDescriptionFunction lib_class_description_ = nullptr;
  LibVersionFunction lib_version_ = nullptr;
  int status_ = PLUGIN_LIBRARY_NOT_LOADED;
};
