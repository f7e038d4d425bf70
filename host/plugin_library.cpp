#include "host/plugin_library.h"

#include <dlfcn.h>

#include <cstring>

namespace {

// dlsym gives an object pointer; the exports are functions.
template <typename Function>
Function resolve(void *module, const char *name)
{
    void *address = dlsym(module, name);
    Function function = nullptr;
    static_assert(sizeof(function) == sizeof(address), "function and object pointers differ");
    std::memcpy(&function, &address, sizeof(function));
    return function;
}

}  // namespace

PluginLibrary::PluginLibrary(const std::string &path) : path_(path)
{
    // A name without a slash would make dlopen search the system library folders instead of
    // the plug-in folder; such a name means the current directory here.
    std::string load_path = path_.find('/') == std::string::npos ? "./" + path_ : path_;
    // RTLD_LOCAL keeps one plug-in's symbols from satisfying another's: every plug-in carries
    // its own copy of the mesh library and the settings store.
    module_ = dlopen(load_path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module_ == nullptr) {
        status_ = PLUGIN_LIBRARY_NOT_LOADED;
        return;
    }
    status_ = PLUGIN_LIBRARY_MISSING_EXPORT;
    lib_name_ = resolve<LibNameFunction>(module_, "LibName");
    if (lib_name_ == nullptr)
        return;
    lib_number_classes_ = resolve<LibNumberClassesFunction>(module_, "LibNumberClasses");
    if (lib_number_classes_ == nullptr)
        return;
    lib_class_description_ = resolve<LibClassDescriptionFunction>(module_, "LibClassDescription");
    if (lib_class_description_ == nullptr)
        return;
    lib_version_ = resolve<LibVersionFunction>(module_, "LibVersion");
    if (lib_version_ == nullptr)
        return;
    status_ = PLUGIN_LIBRARY_COMPLETE;
}

PluginLibrary::~PluginLibrary()
{
    Unload();
}

void PluginLibrary::Unload()
{
    if (module_ == nullptr)
        return;
    lib_name_ = nullptr;
    lib_number_classes_ = nullptr;
    lib_class_description_ = nullptr;
    lib_version_ = nullptr;
    status_ = dlclose(module_) == 0 ? PLUGIN_LIBRARY_COMPLETE : PLUGIN_LIBRARY_NOT_LOADED;
    module_ = nullptr;
}

const char *PluginLibrary::Name() const
{
    return status_ == PLUGIN_LIBRARY_COMPLETE && module_ != nullptr ? lib_name_() : nullptr;
}

int PluginLibrary::ClassCount() const
{
    return status_ == PLUGIN_LIBRARY_COMPLETE && module_ != nullptr ? lib_number_classes_() : 0;
}

int PluginLibrary::Version() const
{
    return status_ == PLUGIN_LIBRARY_COMPLETE && module_ != nullptr ? lib_version_() : 0;
}

ClassDescription *PluginLibrary::ClassDescriptionAt(int index) const
{
    if (status_ != PLUGIN_LIBRARY_COMPLETE || module_ == nullptr)
        return nullptr;
    return lib_class_description_(index);
}
