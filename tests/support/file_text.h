// Whole files as text, for tests that check what a program wrote byte for byte.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

// The bytes of the file, or "" when it cannot be read.
inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline void write_file(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}
