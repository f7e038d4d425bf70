#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/temp_folder.h"

// A temporary folder that the tests fill with copies of the test plug-in libraries under
// chosen names; removed with everything in it at the end of the test.
class PluginFolder {
 public:
  // The folder with a trailing "/", as the host stores a plug-in path.
  std::string Path() const { return folder_.path() + "/"; }

  // Copies the built test library `library` (for example "tp_good") to name, which may
  // contain a subfolder; returns the full name of the copy.
  std::string Add(const std::string& library, const std::string& name) const {
    std::filesystem::path target = std::filesystem::path(folder_.path()) / name;
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(std::string(HOST_TEST_PLUGIN_DIR) + "/" + library + ".so", target,
                               std::filesystem::copy_options::overwrite_existing);
    return target.string();
  }

  // Writes a file with the given text.
  std::string AddText(const std::string& name, const std::string& text) const {
    return folder_.write(name, text);
  }

 private:
  TempFolder folder_{"morvane-host"};
};
