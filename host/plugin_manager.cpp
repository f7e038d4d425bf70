#include "host/plugin_manager.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

std::vector<std::string> ListMatchingFiles(const std::string& pattern_prefix,
                                           const std::string& suffix) {
  std::string folder;
  std::string name_prefix;
  std::string::size_type slash = pattern_prefix.rfind('/');
  if (slash == std::string::npos) {
    folder = ".";
    name_prefix = pattern_prefix;
  } else {
    folder = pattern_prefix.substr(0, slash + 1);
    name_prefix = pattern_prefix.substr(slash + 1);
  }

  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name.size() < name_prefix.size() + suffix.size()) continue;
    if (name.compare(0, name_prefix.size(), name_prefix) != 0) continue;
    if (name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) continue;
    if (name[0] == '.' && (name_prefix.empty() || name_prefix[0] != '.')) continue;
    // Only regular files: opening a FIFO or device named like a library would block or
    // worse, and a folder cannot be loaded anyway.
    std::string full = folder + "/" + name;
    struct stat info;
    if (stat(full.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    names.push_back(name);
  }
  closedir(dir);
  // std::string compares as unsigned bytes: the order does not depend on the user's locale.
  std::sort(names.begin(), names.end());
  return names;
}

PluginManager::~PluginManager() {
  // Class descriptions live in the libraries: forget them first, then unload in load order.
  classes_.clear();
  for (auto& library : libraries_) library.reset();
  libraries_.clear();
}

int PluginManager::Scan(const std::string& directory, int required_version) {
  for (const std::string& name : ListMatchingFiles(directory, ".so")) {
    // The original's directory search reports names only; the full name is the directory
    // text followed directly by the found name, also when the text lacks its final "/".
    auto library = std::make_unique<PluginLibrary>(directory + name);
    if (library->Status() != PLUGIN_LIBRARY_COMPLETE) continue;
    // A negative count is no more usable than none.
    if (library->ClassCount() < 1) continue;
    if (library->Version() != required_version) continue;
    libraries_.push_back(std::move(library));
  }
  RegisterClasses();
  return 0;
}

void PluginManager::RegisterClasses() {
  for (const auto& library : libraries_) {
    int count = library->ClassCount();
    for (int index = 0; index < count; ++index) {
      ClassDescription* description = library->ClassDescriptionAt(index);
      // Every index below the count must give a description; a library that breaks
      // that rule loses the class rather than crashing the host.
      if (description == nullptr) continue;
      std::uint32_t id = description->ClassID();
      bool taken = std::any_of(classes_.begin(), classes_.end(),
                               [id](ClassDescription* c) { return c->ClassID() == id; });
      if (!taken) classes_.push_back(description);
    }
  }
}

ClassDescription* PluginManager::ClassAt(int position) const {
  if (position < 0 || position >= ClassCount()) return nullptr;
  return classes_[static_cast<size_t>(position)];
}

const PluginLibrary* PluginManager::LibraryAt(int index) const {
  if (index < 0 || index >= LibraryCount()) return nullptr;
  return libraries_[static_cast<size_t>(index)].get();
}
