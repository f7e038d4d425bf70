// A private folder of LDraw files for one test, removed afterwards.
#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/brick_in_test_XXXXXX";
    char* made = mkdtemp(pattern);
    path_ = made != nullptr ? made : "/tmp";
  }
  ~TempFolder() {
    std::string command = "rm -rf '" + path_ + "'";
    if (std::system(command.c_str()) != 0) std::perror("rm");
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

  // Writes text to relative, making its folders.
  std::string write(const std::string& relative, const std::string& text) const {
    std::string full = path_ + "/" + relative;
    for (std::size_t slash = full.find('/', path_.size() + 1); slash != std::string::npos;
         slash = full.find('/', slash + 1))
      mkdir(full.substr(0, slash).c_str(), 0755);
    std::ofstream out(full, std::ios::binary);
    out << text;
    return full;
  }

  std::string read(const std::string& relative) const { return read_file(path_ + "/" + relative); }

  static std::string read_file(const std::string& full) {
    std::ifstream in(full, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  std::string path_;
};

// An LDraw reference line placing name with colour by the identity matrix moved to (x, y, z).
inline std::string ref_line(int colour, double x, double y, double z, const std::string& name) {
  std::ostringstream line;
  line << "1 " << colour << " " << x << " " << y << " " << z << " 1 0 0 0 1 0 0 0 1 " << name
       << "\n";
  return line.str();
}
