// Every test process gets a settings store of its own. ctest runs the tests of one program in
// parallel processes, and tests write the plug-ins' options (log file names, modes) into the
// store: a shared store would let one test's options leak into another running beside it.
// Linked into every test program; runs before main and removes the folder at exit.

#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

std::string g_folder;

void remove_store() {
  if (!g_folder.empty() && getpid() == std::atoi(g_folder.substr(g_folder.rfind('-') + 1).c_str()))
    std::system(("rm -rf '" + g_folder + "'").c_str());
}

struct PrivateStore {
  PrivateStore() {
    const char* base = std::getenv("XDG_CONFIG_HOME");
    std::string pattern =
        std::string(base != nullptr && base[0] == '/' ? base : "/tmp") + "/store.XXXXXX";
    if (system(("mkdir -p '" + pattern.substr(0, pattern.rfind('/')) + "'").c_str()) != 0) return;
    char* name = mkdtemp(&pattern[0]);
    if (name == nullptr) return;
    // The owning process's id ends the name, so forked children never remove it.
    g_folder = std::string(name) + "-" + std::to_string(getpid());
    if (rename(name, g_folder.c_str()) != 0) {
      g_folder = name;
      return;
    }
    setenv("XDG_CONFIG_HOME", g_folder.c_str(), 1);
    std::atexit(remove_store);
  }
};

PrivateStore g_store;

}  // namespace
