#pragma once

// One parse of a DirectX file held in memory, each mesh reduced to its flat form the way the
// frame finishes it, as every fuzz target of the reader runs it. Every fourth input (by
// length) runs with the log on, so that every message is formatted.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "meshlib/mesh3d.h"
#include "plugins/xfile_in/xfile_parser.h"
#include "settings/log_file.h"

inline void RunXFileBytes(const std::vector<char>& bytes) {
  std::vector<char> copy(bytes);
  if (copy.empty()) return;
  std::FILE* file = fmemopen(copy.data(), copy.size(), "rb");
  if (file == nullptr) return;
  static LogFile log_on("/dev/null");
  static LogFile log_off;
  XFileParseHooks hooks;
  hooks.log = copy.size() % 4 == 0 ? &log_on : &log_off;
  hooks.status = [](const char*) {};
  hooks.file_progress = [](std::uint32_t position, std::uint32_t total) {
    if (position > total) __builtin_trap();
  };
  hooks.finish_mesh = [](Mesh3d* mesh) {
    mesh->to_flat();
    mesh->drop_tables();
    delete mesh;
  };
  ParseXFileStream(file, hooks);
  std::fclose(file);
}
