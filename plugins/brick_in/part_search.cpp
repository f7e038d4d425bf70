#include "plugins/brick_in/part_search.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>

#include "settings/ascii_case.h"

namespace {

bool is_regular_file(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool is_folder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string join(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

}  // namespace

std::string ldraw_path_name(const std::string& name) {
  std::string path = name;
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

std::string ldraw_part_key(const std::string& name) { return ascii_lower(ldraw_path_name(name)); }

std::vector<std::string> split_search_path(const std::string& search_path) {
  std::vector<std::string> folders;
  std::size_t start = 0;
  for (;;) {
    std::size_t semicolon = search_path.find(';', start);
    if (semicolon == std::string::npos) break;
    if (semicolon > start) folders.push_back(search_path.substr(start, semicolon - start));
    start = semicolon + 1;
  }
  return folders;
}

std::string default_ldraw_folder() {
  const char* env = std::getenv("LDRAWDIR");
  if (env != nullptr && *env != '\0') return env;
  const char* home = std::getenv("HOME");
  std::string home_ldraw = home != nullptr && *home != '\0' ? join(home, "ldraw") : "";
  for (const std::string& candidate :
       {home_ldraw, std::string("/usr/share/ldraw"), std::string("/usr/local/share/ldraw")})
    if (!candidate.empty() && is_folder(candidate)) return candidate;
  return home_ldraw.empty() ? "/usr/share/ldraw" : home_ldraw;
}

std::string default_search_path() {
  std::string folder = default_ldraw_folder();
  return join(folder, "parts") + ";" + join(folder, "p") + ";";
}

std::string PartFinder::find(const std::string& name) {
  std::string relative = ldraw_path_name(name);
  if (relative.empty()) return {};
  for (const std::string& folder : folders_) {
    std::string path = find_in(folder, relative);
    if (!path.empty()) return path;
  }
  return {};
}

std::string PartFinder::find_in(const std::string& folder, const std::string& relative) {
  std::string exact = join(folder, relative);
  if (is_regular_file(exact)) return exact;
  // Folder by folder: the exact component when it exists, else a case-insensitive match.
  std::string current = folder;
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t slash = relative.find('/', start);
    bool last = slash == std::string::npos;
    std::string component = relative.substr(start, last ? std::string::npos : slash - start);
    start = last ? relative.size() + 1 : slash + 1;
    if (component.empty() || component == ".") continue;
    std::string next = join(current, component);
    bool exists = last ? is_regular_file(next) : is_folder(next);
    if (!exists && component != "..") {
      const std::string& real = match_entry(current, component);
      if (real.empty()) return {};
      next = join(current, real);
    }
    current = next;
  }
  return is_regular_file(current) ? current : std::string();
}

const std::string& PartFinder::match_entry(const std::string& folder,
                                           const std::string& component) {
  static const std::string none;
  auto it = listings_.find(folder);
  if (it == listings_.end()) {
    std::map<std::string, std::string> entries;
    if (DIR* dir = opendir(folder.empty() ? "." : folder.c_str())) {
      while (dirent* entry = readdir(dir)) {
        std::string real = entry->d_name;
        if (real == "." || real == "..") continue;
        auto inserted = entries.emplace(ascii_lower(real), real);
        if (!inserted.second && real < inserted.first->second) inserted.first->second = real;
      }
      closedir(dir);
    }
    it = listings_.emplace(folder, std::move(entries)).first;
  }
  auto match = it->second.find(ascii_lower(component));
  return match == it->second.end() ? none : match->second;
}
