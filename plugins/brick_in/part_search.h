// Finding LDraw part files on disk.
//
// LDraw names are case-insensitive and written with "\" as the folder separator
// ("s\3001s01.dat", "48\4-4cyli.dat", "3001.DAT"), while libraries on disk are mostly lower case
// with "/" folders. A name is looked up along the search path, then in the model file's own
// folder (where models keep their sub-model files); in each folder the exact spelling is tried
// first, then a case-insensitive match, folder by folder.
#pragma once

#include <map>
#include <string>
#include <vector>

// The name with every "\" turned into "/".
std::string ldraw_path_name(const std::string& name);

// The key under which a part is cached and compared: "/" separators and ASCII lower case, so
// "S\3001S01.DAT" and "s/3001s01.dat" are one part.
std::string ldraw_part_key(const std::string& name);

// The folders of a search path: every entry followed by ";", in order. Text after the last ";"
// does not count; empty entries are skipped. Entries may be of any length.
std::vector<std::string> split_search_path(const std::string& search_path);

// The LDraw library folder of this machine: $LDRAWDIR when set and not empty, otherwise the
// first of ~/ldraw, /usr/share/ldraw, /usr/local/share/ldraw that exists, otherwise ~/ldraw.
std::string default_ldraw_folder();

// "<folder>/parts;<folder>/p;" for default_ldraw_folder().
std::string default_search_path();

// Looks names up along a fixed list of folders. Folder listings are read once and kept, so a
// model that names many parts in odd spellings costs one listing per folder.
class PartFinder {
 public:
  PartFinder() = default;
  explicit PartFinder(std::vector<std::string> folders) : folders_(std::move(folders)) {}

  void add_folder(const std::string& folder) { folders_.push_back(folder); }
  const std::vector<std::string>& folders() const { return folders_; }

  // The path of the first regular file that name denotes in a folder, in folder order; empty
  // when there is none.
  std::string find(const std::string& name);

 private:
  std::string find_in(const std::string& folder, const std::string& relative);
  // Real name of the entry of folder that matches component ignoring ASCII case; empty when
  // none does. Among several matches the bytewise smallest wins, so the choice is stable.
  const std::string& match_entry(const std::string& folder, const std::string& component);

  std::vector<std::string> folders_;
  std::map<std::string, std::map<std::string, std::string>> listings_;
};
