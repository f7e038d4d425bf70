// The LDraw reader of the import class: logs, reads the model into a scene, and hands one mesh
// per non-empty scene element to the run's finishing sequence.
#pragma once

#include <string>
#include <vector>

#include "plugins/brick_in/scene_reader.h"

class PluginRun;

// The message that tells the user which parts an import did not find (the first five names
// and the count) and which folders it looked in.
std::string missing_parts_message(const std::vector<std::string>& missing,
                                  const std::vector<std::string>& folders);

// Reads the model file of the run's LDrawSettings into run.objects: one mesh per reference of
// the model file, named "<part>_<number>_C<colour>", and the model's own triangles as
// "_default", last. Writes the status lines and the log of the import; parts that were not
// found are reported to the user through the run (missing_parts_message).
void read_ldraw(PluginRun& run, const LDrawLimits& limits = LDrawLimits());
