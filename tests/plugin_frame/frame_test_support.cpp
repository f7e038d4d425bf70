#include "frame_test_support.h"

#include "settings/path.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "settings/settings_store.h"

TriPlugin::TriPlugin() { handle_ = dlopen(FRAME_TRI_PLUGIN, RTLD_NOW | RTLD_LOCAL); }

TriPlugin::~TriPlugin() {
  if (handle_ != nullptr) dlclose(handle_);
}

void* TriPlugin::symbol(const char* name) const {
  return handle_ != nullptr ? dlsym(handle_, name) : nullptr;
}

ClassDescription* TriPlugin::import_class() const {
  auto get = reinterpret_cast<LibClassDescriptionFunction>(symbol("LibClassDescription"));
  return get != nullptr ? get(0) : nullptr;
}

ClassDescription* TriPlugin::export_class() const {
  auto get = reinterpret_cast<LibClassDescriptionFunction>(symbol("LibClassDescription"));
  return get != nullptr ? get(1) : nullptr;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void write_file(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

void forget_settings(const char* owner) {
  std::error_code ignored;
  std::filesystem::remove(SettingsRootFolder() + "/" + owner + ".conf", ignored);
}

std::string stored(const char* owner, const char* section, const char* name) {
  std::string value;
  SettingsReadText(owner, section, name, "<missing>", value);
  return value;
}

std::string two_mesh_file() {
  return "mesh cube_top\n"
         "tri 0 0 1 1 0 1 1 1 1\n"
         "tri 0 0 1 1 1 1 0 1 1\n"
         "mesh empty\n"
         "mesh wedge\n"
         "tri 0 0 0 2 0 0 0 3 0\n";
}

namespace {

// CTest runs the tests of one program as parallel processes that share one settings folder;
// each process takes a folder of its own below it, so that one test's settings never meet
// another's.
class PrivateSettingsFolder : public ::testing::Environment {
 public:
  void SetUp() override {
    const char* base = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path root = base != nullptr && *base != '\0'
                                     ? std::filesystem::path(base)
                                     : std::filesystem::temp_directory_path();
    folder_ = root / ("process-" + std::to_string(getpid()));
    std::error_code ignored;
    std::filesystem::create_directories(folder_, ignored);
    setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

 private:
  std::filesystem::path folder_;
};

const auto* const kSettingsFolder = ::testing::AddGlobalTestEnvironment(new PrivateSettingsFolder);

}  // namespace

void TriRunFixture::Prepare() {
  forget_settings("tri_in");
  forget_settings("tri_out");
  model = folder.file("model.tri");
  write_file(model, two_mesh_file());
  start_directory = current_directory();
}
