// Loads one of the delivered plug-in libraries from the build tree, as the hosts do, so that
// tests drive the real shared object through its four exported functions.
#pragma once

#include <dlfcn.h>

#include <cstring>
#include <string>

#include "plugin_api/plugin_api.h"

class PluginUnderTest {
 public:
  // library: the file name in the build's plug-in folder, e.g. "xfile_out.so".
  explicit PluginUnderTest(const char* library) {
    std::string path = std::string(MORVANE_BINARY_DIR) + "/bin/plugin/" + library;
    // Kept mapped after dlclose: a Qt-linked library's load-time allocations in system
    // libraries would otherwise be reported as leaks of an unknown module.
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle_ == nullptr) {
      error_ = dlerror();
      return;
    }
    number_classes_ = reinterpret_cast<int (*)()>(dlsym(handle_, "LibNumberClasses"));
    class_description_ =
        reinterpret_cast<ClassDescription* (*)(int)>(dlsym(handle_, "LibClassDescription"));
  }
  ~PluginUnderTest() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  PluginUnderTest(const PluginUnderTest&) = delete;
  PluginUnderTest& operator=(const PluginUnderTest&) = delete;

  bool loaded() const { return class_description_ != nullptr && number_classes_ != nullptr; }
  const std::string& error() const { return error_; }

  // The class with the given ClassName, or null.
  ClassDescription* Class(const char* name) const {
    if (!loaded()) return nullptr;
    for (int i = 0; i < number_classes_(); ++i) {
      ClassDescription* c = class_description_(i);
      if (c != nullptr && std::strcmp(c->ClassName(), name) == 0) return c;
    }
    return nullptr;
  }
  MeshImporter* NewImporter(const char* name) const { return CreateImporter(Class(name)); }
  MeshExporter* NewExporter(const char* name) const { return CreateExporter(Class(name)); }

 private:
  void* handle_ = nullptr;
  int (*number_classes_)() = nullptr;
  ClassDescription* (*class_description_)(int) = nullptr;
  std::string error_;
};
