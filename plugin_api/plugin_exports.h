#pragma once

#include "plugin_api/class_description.h"

// The four functions every plug-in library exports under these undecorated names. The host
// resolves them by name (dlsym) after loading the library. Plug-ins are built with hidden
// visibility; the attribute on these declarations is what makes the four definitions visible.
#define MORVANE_PLUGIN_EXPORT __attribute__((visibility("default")))

extern "C" {

// The library's display name; constant text valid while the library is loaded.
MORVANE_PLUGIN_EXPORT const char* LibName(void);
// Number of classes the library publishes; at least 1.
MORVANE_PLUGIN_EXPORT int LibNumberClasses(void);
// The class description with the given index for 0 <= index < LibNumberClasses(), null for
// every other index.
MORVANE_PLUGIN_EXPORT ClassDescription* LibClassDescription(int index);
// PLUGIN_INTERFACE_VERSION.
MORVANE_PLUGIN_EXPORT int LibVersion(void);

typedef const char* (*LibNameFunction)(void);
typedef int (*LibNumberClassesFunction)(void);
typedef ClassDescription* (*LibClassDescriptionFunction)(int index);
typedef int (*LibVersionFunction)(void);

}  // extern "C"
