#include "settings/path.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

bool is_separator(char c) { return c == '/' || c == '\\'; }

// A drive is a letter and ":" at the very start ("C:", "d:"). Colons later
// in a path are ordinary characters of file names here.
bool has_drive(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

}  // namespace

void split_path(const char* path, std::string& drive, std::string& directory, std::string& name,
                std::string& extension) {
  drive.clear();
  directory.clear();
  name.clear();
  extension.clear();
  if (!path) return;
  std::string rest(path);

  std::size_t last_separator = std::string::npos;
  for (std::size_t i = 0; i < rest.size(); ++i)
    if (is_separator(rest[i])) last_separator = i;
  std::size_t component = last_separator == std::string::npos ? 0 : last_separator + 1;
  std::size_t dot = rest.rfind('.');
  if (dot != std::string::npos && dot >= component) {
    extension = rest.substr(dot);
    rest.erase(dot);
  }

  if (has_drive(rest)) {
    drive = rest.substr(0, 2);
    rest.erase(0, 2);
    if (last_separator != std::string::npos) last_separator -= 2;
  }
  if (last_separator != std::string::npos) {
    directory = rest.substr(0, last_separator + 1);
    name = rest.substr(last_separator + 1);
  } else {
    name = rest;
  }
}

std::string path_file_name(const char* path) {
  std::string drive, directory, name, extension;
  split_path(path != nullptr ? path : "", drive, directory, name, extension);
  return name + extension;
}

std::string path_extension(const char* path) {
  std::string drive, directory, name, extension;
  split_path(path != nullptr ? path : "", drive, directory, name, extension);
  return extension;
}

std::string make_path(const char* drive, const char* directory, const char* name,
                      const char* extension) {
  std::string path;
  if (drive && *drive) {
    path += drive;
    if (path.back() != ':') path += ':';
  }
  if (directory && *directory) {
    path += directory;
    if (!is_separator(path.back())) path += '/';
  }
  if (name && *name) path += name;
  if (extension && *extension) {
    if (*extension != '.') path += '.';
    path += extension;
  }
  return path;
}

int make_path(char* buffer, std::size_t size, const char* drive, const char* directory,
              const char* name, const char* extension) {
  if (!buffer || size == 0) return 0;
  std::string path = make_path(drive, directory, name, extension);
  std::size_t length = path.size() < size ? path.size() : size - 1;
  std::memcpy(buffer, path.data(), length);
  buffer[length] = '\0';
  return length == path.size() ? 1 : 0;
}

bool is_absolute_path(const char* path) { return path && path[0] == '/'; }

std::string current_directory() {
  std::vector<char> buffer(4096);
  for (;;) {
    if (getcwd(buffer.data(), buffer.size())) return std::string(buffer.data());
    if (errno != ERANGE || buffer.size() > (1u << 20)) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

char* current_directory(char* buffer, std::size_t size) {
  if (!buffer || size == 0) return nullptr;
  std::string directory = current_directory();
  if (directory.empty() || directory.size() >= size) {
    buffer[0] = '\0';
    return nullptr;
  }
  std::memcpy(buffer, directory.c_str(), directory.size() + 1);
  return buffer;
}
