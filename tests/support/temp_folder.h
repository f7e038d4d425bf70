// A private folder for one test, removed with everything in it (read-only parts too) when the
// object goes, so that tests running side by side never share a file.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class TempFolder {
 public:
  // The folder is made in the system's temporary folder under prefix; path() is empty when
  // it could not be made.
  explicit TempFolder(const char* prefix = "morvane-test") {
    std::string pattern =
        (std::filesystem::temp_directory_path() / (std::string(prefix) + ".XXXXXX")).string();
    if (mkdtemp(&pattern[0]) != nullptr) path_ = pattern;
  }
  ~TempFolder() {
    if (path_.empty()) return;
    namespace fs = std::filesystem;
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(path_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored))
      if (it->is_directory(ignored) && !it->is_symlink(ignored))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& relative) const { return path_ + "/" + relative; }
  std::string operator/(const std::string& relative) const { return file(relative); }

  // Writes text to relative, making its folders; returns the full path.
  std::string write(const std::string& relative, const std::string& text) const {
    const std::string full = file(relative);
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(full).parent_path(), ignored);
    std::ofstream(full, std::ios::binary) << text;
    return full;
  }
  std::string read(const std::string& relative) const { return read_file(file(relative)); }

  static std::string read_file(const std::string& full) {
    std::ifstream in(full, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  std::string path_;
};
