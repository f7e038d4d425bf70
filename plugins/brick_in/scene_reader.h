// Reading an LDraw model into a scene: the model file's part references (each part flattened
// with all of its sub-parts, read once per import) and the model's own triangles.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "plugins/brick_in/part_cache.h"

class LogFile;

struct LDrawScene {
  PartCache cache;                     // parts in the order they finished reading
  std::unique_ptr<PartEntry> model;    // the model's own triangles, "_default"
  std::vector<SceneElement> elements;  // one per model reference, "_default" last
  // Parts that were referred to but found nowhere, each once, as first written; and the
  // folders the search went through, in order (the search path's, then the model's own).
  std::vector<std::string> missing_parts;
  std::vector<std::string> searched_folders;
};

struct LDrawLimits {
  // Most triangles one flattened part may hold. Parts that nest many copies of sub-parts
  // multiply their triangles; without a bound a few hundred bytes of references could ask for
  // more memory than any machine has. The largest parts of the official library hold well
  // under a million triangles.
  int64_t max_part_triangles = int64_t{1} << 24;
  // Most triangles all flattened parts of one import may hold together (about 2.3 GB of
  // corners), so that a chain of such parts cannot exhaust the memory of the host either.
  int64_t max_total_triangles = int64_t{1} << 25;
};

// Called at depth 0 before each line with the read position and the model file's size.
using FileProgress = std::function<void(uint32_t position, uint32_t total)>;

// Reads the model file file_name (not searched) into scene. Parts are looked up first among
// the parts already read, then among the sections of a multi-part model file, then along
// search_path (folders each followed by ";"), then in the model file's folder. Messages go to
// log. False, with "File <name> not found" in the log, when the model file cannot be read.
bool read_ldraw_scene(const std::string& file_name, const std::string& search_path, LogFile& log,
                      const FileProgress& file_progress, LDrawScene& scene,
                      const LDrawLimits& limits = LDrawLimits());
