#include "host/plugin_library.h"

#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace {

// dlsym gives an object pointer; the exports are functions.
template <typename Function>
Function resolve(void* module, const char* name) {
  void* address = dlsym(module, name);
  Function function = nullptr;
  static_assert(sizeof(function) == sizeof(address), "function and object pointers differ");
  std::memcpy(&function, &address, sizeof(function));
  return function;
}

// dlopen maps a library's segments as its headers describe them; a file cut short (an
// interrupted copy, a full disk) maps pages past its end, and the loader dies of SIGBUS when it
// touches them. Only a regular file that is an ELF object of this machine and holds every byte
// its headers point at is handed to dlopen.
bool whole_elf_object(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info;
  ElfW(Ehdr) head;
  bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
            pread(fd, &head, sizeof head, 0) == static_cast<ssize_t>(sizeof head) &&
            std::memcmp(head.e_ident, ELFMAG, SELFMAG) == 0 &&
            head.e_ident[EI_CLASS] ==
#if __SIZEOF_POINTER__ == 8
                ELFCLASS64
#else
                ELFCLASS32
#endif
            && head.e_phentsize == sizeof(ElfW(Phdr)) && head.e_phnum > 0;
  const auto size = static_cast<unsigned long long>(ok ? info.st_size : 0);
  auto inside = [size](unsigned long long offset, unsigned long long length) {
    return offset <= size && length <= size - offset;
  };
  ok = ok && inside(head.e_phoff, static_cast<unsigned long long>(head.e_phnum) * head.e_phentsize);
  for (unsigned i = 0; ok && i < head.e_phnum; ++i) {
    ElfW(Phdr) segment;
    ok = pread(fd, &segment, sizeof segment,
               static_cast<off_t>(head.e_phoff + i * sizeof segment)) ==
             static_cast<ssize_t>(sizeof segment) &&
         inside(segment.p_offset, segment.p_filesz);
  }
  if (ok && head.e_shoff != 0)
    ok = inside(head.e_shoff, static_cast<unsigned long long>(head.e_shnum) * head.e_shentsize);
  close(fd);
  return ok;
}

}  // namespace

PluginLibrary::PluginLibrary(const std::string& path) : path_(path) {
  // A name without a slash would make dlopen search the system library folders instead of
  // the plug-in folder; such a name means the current directory here.
  std::string load_path = path_.find('/') == std::string::npos ? "./" + path_ : path_;
  // RTLD_LOCAL keeps one plug-in's symbols from satisfying another's: every plug-in carries
  // its own copy of the mesh library and the settings store.
  if (!whole_elf_object(load_path)) {
    status_ = PLUGIN_LIBRARY_NOT_LOADED;
    return;
  }
  module_ = dlopen(load_path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module_ == nullptr) {
    status_ = PLUGIN_LIBRARY_NOT_LOADED;
    return;
  }
  status_ = PLUGIN_LIBRARY_MISSING_EXPORT;
  lib_name_ = resolve<LibNameFunction>(module_, "LibName");
  if (lib_name_ == nullptr) return;
  lib_number_classes_ = resolve<LibNumberClassesFunction>(module_, "LibNumberClasses");
  if (lib_number_classes_ == nullptr) return;
  lib_class_description_ = resolve<LibClassDescriptionFunction>(module_, "LibClassDescription");
  if (lib_class_description_ == nullptr) return;
  lib_version_ = resolve<LibVersionFunction>(module_, "LibVersion");
  if (lib_version_ == nullptr) return;
  status_ = PLUGIN_LIBRARY_COMPLETE;
}

PluginLibrary::~PluginLibrary() { Unload(); }

void PluginLibrary::Unload() {
  if (module_ == nullptr) return;
  lib_name_ = nullptr;
  lib_number_classes_ = nullptr;
  lib_class_description_ = nullptr;
  lib_version_ = nullptr;
  status_ = dlclose(module_) == 0 ? PLUGIN_LIBRARY_COMPLETE : PLUGIN_LIBRARY_NOT_LOADED;
  module_ = nullptr;
}

const char* PluginLibrary::Name() const {
  return status_ == PLUGIN_LIBRARY_COMPLETE && module_ != nullptr ? lib_name_() : nullptr;
}

int PluginLibrary::ClassCount() const {
  return status_ == PLUGIN_LIBRARY_COMPLETE && module_ != nullptr ? lib_number_classes_() : 0;
}

int PluginLibrary::Version() const {
  return status_ == PLUGIN_LIBRARY_COMPLETE && module_ != nullptr ? lib_version_() : 0;
}

ClassDescription* PluginLibrary::ClassDescriptionAt(int index) const {
  if (status_ != PLUGIN_LIBRARY_COMPLETE || module_ == nullptr) return nullptr;
  return lib_class_description_(index);
}
