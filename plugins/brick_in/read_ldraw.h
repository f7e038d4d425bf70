// The LDraw reader of the import class: logs, reads the model into a scene, and hands one mesh
// per non-empty scene element to the run's finishing sequence.
#pragma once

#include "plugins/brick_in/scene_reader.h"

class PluginRun;

// Reads the model file of the run's LDrawSettings into run.objects: one mesh per reference of
// the model file, named "<part>_<number>_C<colour>", and the model's own triangles as
// "_default", last. Writes the status lines and the log of the import.
void read_ldraw(PluginRun& run, const LDrawLimits& limits = LDrawLimits());
