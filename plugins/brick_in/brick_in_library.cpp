// The exported functions of the brick_in library: one class, the LDraw import.
#include "plugins/brick_in/ldraw_import.h"

MORVANE_PLUGIN_LIBRARY("LDraw (Lego) Import Lib", &ldraw_import_class)
