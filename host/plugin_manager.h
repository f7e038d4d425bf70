#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/plugin_library.h"

// Finds the plug-in libraries of a folder, keeps the accepted ones loaded and registers their
// classes in one ordered list. The position of a class in that list is its index for the rest
// of the host. Destroying the manager unloads every library, so every importer and exporter
// must be deleted before.
class PluginManager {
 public:
  PluginManager() = default;
  ~PluginManager();

  PluginManager(const PluginManager&) = delete;
  PluginManager& operator=(const PluginManager&) = delete;

  // Lists the files matching directory + "*.so" in bytewise name order and loads each as
  // directory + file name. The directory text is used unchanged as a prefix, so it normally
  // ends with "/". A library is accepted when all four exports resolve, it has at least one
  // class and its version equals required_version; others are unloaded at once. Then the
  // classes of the accepted libraries are registered in load and index order, each unless
  // its ClassID is already registered. Returns 0. Meant to run once.
  int Scan(const std::string& directory, int required_version);

  int ClassCount() const { return static_cast<int>(classes_.size()); }
  // The registered class at position, or null when position is out of range.
  ClassDescription* ClassAt(int position) const;

  // Accepted libraries in load order (also those none of whose classes were registered).
  int LibraryCount() const { return static_cast<int>(libraries_.size()); }
  const PluginLibrary* LibraryAt(int index) const;

 private:
  void RegisterClasses();

  std::vector<ClassDescription*> classes_;
  std::vector<std::unique_ptr<PluginLibrary>> libraries_;
};

// The file names in the folder part of pattern_prefix that begin with its name part and end
// in suffix, sorted bytewise. Only regular files (after following links) are listed; hidden
// names (leading ".") only when the name part itself starts with ".". Used for the plug-in
// scan; exposed for its tests.
std::vector<std::string> ListMatchingFiles(const std::string& pattern_prefix,
                                           const std::string& suffix);
