#include "apps/morvane-convert/private_settings.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "settings/settings_store.h"

namespace {

const char kStoreFolder[] = "/Kelmar Software";
const char kSuffix[] = ".conf";

bool ends_with(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::vector<std::string> conf_files(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name[0] != '.' && ends_with(name, kSuffix)) names.push_back(name);
    }
    closedir(dir);
  }
  return names;
}

void remove_tree(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    if (DIR* dir = opendir(path.c_str())) {
      while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") remove_tree(path + "/" + name);
      }
      closedir(dir);
    }
    rmdir(path.c_str());
  } else {
    unlink(path.c_str());
  }
}

}  // namespace

PrivateSettings::PrivateSettings() {
  // Every write of the store replaces the owner's whole file by rename, so a plain copy
  // reads each file either before or after a concurrent write, never half of one.
  const std::string user_store = SettingsRootFolder();
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern =
      std::string(tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp") + "/morvane-convert.XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (mkdtemp(name.data()) == nullptr) return;
  folder_ = name.data();
  const std::string store = folder_ + "/config" + kStoreFolder;
  mkdir((folder_ + "/config").c_str(), 0700);
  mkdir(store.c_str(), 0700);
  for (const std::string& file : conf_files(user_store)) {
    std::ifstream in(user_store + "/" + file, std::ios::binary);
    std::ofstream out(store + "/" + file, std::ios::binary);
    out << in.rdbuf();
  }
  const char* home = std::getenv("XDG_CONFIG_HOME");
  had_config_home_ = home != nullptr;
  if (home != nullptr) config_home_ = home;
  setenv("XDG_CONFIG_HOME", (folder_ + "/config").c_str(), 1);
  // The copy is removed at the end of the run: its writes need not reach the disk.
  setenv("MORVANE_SETTINGS_SCRATCH", "1", 1);
}

PrivateSettings::~PrivateSettings() {
  if (folder_.empty()) return;
  unsetenv("MORVANE_SETTINGS_SCRATCH");
  if (had_config_home_)
    setenv("XDG_CONFIG_HOME", config_home_.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
  remove_tree(folder_);
}

std::vector<std::string> PrivateSettings::Owners() const {
  std::vector<std::string> owners;
  for (const std::string& file : conf_files(folder_ + "/config" + kStoreFolder))
    owners.push_back(file.substr(0, file.size() - (sizeof kSuffix - 1)));
  return owners;
}
