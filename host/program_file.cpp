#include "host/program_file.h"

#include <unistd.h>

#include <vector>

std::string ProgramFilePath() {
  // readlink does not say when the buffer was too small, except by filling it.
  std::vector<char> buffer(4096);
  for (;;) {
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return std::string();
    if (static_cast<size_t>(length) < buffer.size())
      return std::string(buffer.data(), static_cast<size_t>(length));
    buffer.resize(buffer.size() * 2);
  }
}

std::string ProgramBaseName(const std::string& program_file) {
  std::string::size_type slash = program_file.rfind('/');
  std::string name = slash == std::string::npos ? program_file : program_file.substr(slash + 1);
  std::string::size_type dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

std::string DefaultPluginPath(const std::string& program_file) {
  std::string::size_type slash = program_file.rfind('/');
  if (slash == std::string::npos) return "plugin/";
  return program_file.substr(0, slash + 1) + "plugin/";
}
