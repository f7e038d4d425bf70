// A private settings store for one test (XDG_CONFIG_HOME pointed at a private folder, so
// parallel tests never share a store), and small file and stream helpers.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/temp_folder.h"

// Points the settings store at a fresh folder for the life of the object.
class PrivateStore {
 public:
  PrivateStore() {
    const char* old = getenv("XDG_CONFIG_HOME");
    had_old_ = old != nullptr;
    if (old) old_ = old;
    setenv("XDG_CONFIG_HOME", folder_.path().c_str(), 1);
  }
  ~PrivateStore() {
    if (had_old_)
      setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
    else
      unsetenv("XDG_CONFIG_HOME");
  }
  PrivateStore(const PrivateStore&) = delete;
  PrivateStore& operator=(const PrivateStore&) = delete;

  std::string owner_file(const std::string& owner) const {
    return folder_.path() + "/Kelmar Software/" + owner + ".conf";
  }
  const std::string& folder() const { return folder_.path(); }

 private:
  TempFolder folder_;
  bool had_old_ = false;
  std::string old_;
};

inline std::string read_whole_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void write_whole_file(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// A stream over `bytes` for the line reader.
inline std::FILE* stream_of(const std::string& bytes) {
  std::FILE* file = std::tmpfile();
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::rewind(file);
  return file;
}

// Everything written to a stream since it was made.
inline std::string contents_of(std::FILE* file) {
  std::fflush(file);
  std::rewind(file);
  std::string bytes;
  int c;
  while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<char>(c));
  return bytes;
}
