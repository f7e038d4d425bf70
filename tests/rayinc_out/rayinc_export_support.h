// Runs of the real rayinc_out library, loaded as the hosts load it, over meshes made here.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "meshlib/object_list.h"
#include "rayinc_test_support.h"
#include "settings/settings_store.h"
#include "support/file_text.h"
#include "support/plugin_under_test.h"

// Keeps a plug-in of the build (and the system libraries it pulls in) mapped until the process
// ends, as a host keeps it. A system library below the user-interface framework allocates a
// block when it is loaded; once unloaded by the last dlclose, the leak checker no longer sees
// the pointer to that block and would report it.
inline void keep_plugin_loaded(const char* library) {
  const std::string path = std::string(MORVANE_BINARY_DIR) + "/bin/plugin/" + library;
  dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
}

// The five class names in class-description order.
inline const std::vector<std::string>& rayinc_class_names() {
  static const std::vector<std::string> names = {
      "POV-Ray Moray (*.inc, *.udo)", "PolyRay Moray (*.inc, *.udo)",
      "POV-Ray Moray (Wire) (*.inc, *.udo)", "POV-Ray Moray (Blob) (*.inc, *.udo)",
      "POV-Ray3 Moray (*.inc, *.udo)"};
  return names;
}

inline const std::vector<std::string>& rayinc_owners() {
  static const std::vector<std::string> owners = {"pvu_out", "plu_out", "pvwu_out", "pvbwu_out",
                                                  "pv3u_out"};
  return owners;
}

// A fresh folder below the system's temporary folder, removed with its files at the end.
class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/rayinc_test_XXXXXX";
    const char* made = mkdtemp(pattern);
    path_ = made != nullptr ? made : "";
  }
  ~TempFolder() {
    if (!path_.empty())
      std::system(("chmod -R u+w '" + path_ + "'; rm -rf '" + path_ + "'").c_str());
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// The loaded library, a temporary folder, and the same plain options for all five classes:
// no log, size 1, no swap, edge angle 1, smooth angle 70. Tests add what they vary.
class RayIncExport : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(library_.loaded()) << library_.error();
    keep_plugin_loaded("rayinc_out.so");
    for (const std::string& owner : rayinc_owners()) {
      SettingsWriteInt(owner.c_str(), "Common Settings", "verbose_mode", 0);
      SettingsWriteDouble(owner.c_str(), "Common Settings", "size_value", 1.0);
      SettingsWriteInt(owner.c_str(), "Common Settings", "swap_mode", 0);
      SettingsWriteDouble(owner.c_str(), "Specific Settings", "edge_angle", 1.0);
      SettingsWriteDouble(owner.c_str(), "Specific Settings", "smooth_angle", 70.0);
    }
  }
  PluginUnderTest library_{"rayinc_out.so"};
  TempFolder folder_;
};

inline bool file_exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// The host's list: meshes in the flat form, owned by the list.
class HostObjects {
 public:
  HostObjects() : list_(release_object) {}
  void add(std::unique_ptr<Mesh3d> mesh) { list_.append(flat_only(std::move(mesh))); }
  ObjectList* list() { return &list_; }
  Mesh3d* mesh(int i) { return static_cast<Mesh3d*>(list_.get(i)); }

 private:
  ObjectList list_;
};

// Runs class `index` with mode 2 and the two base names.
inline void export_given_names(const PluginUnderTest& library, int index, ObjectList* objects,
                               const std::string& first, const std::string& second) {
  MeshExporter* exporter = library.NewExporter(rayinc_class_names()[index].c_str());
  ASSERT_NE(exporter, nullptr);
  ExportFileNames names{first.c_str(), second.c_str()};
  exporter->Export(objects, EXPORT_GIVEN_NAMES, &names);
  exporter->DeleteThis();
}
