// One parse of arbitrary bytes as a DirectX text file, each mesh reduced to its flat form the
// way the frame finishes it. Every fourth input (by length) runs with the log on, so that every
// message is formatted; the log flushes each line, which would otherwise dominate the run.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "meshlib/mesh3d.h"
#include "plugins/xfile_in/xfile_parser.h"
#include "settings/log_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::vector<char> copy(data, data + size);
  std::FILE* file = fmemopen(copy.data(), copy.size(), "rb");
  if (file == nullptr) return 0;
  static LogFile log_on("/dev/null");
  static LogFile log_off;
  XFileParseHooks hooks;
  hooks.log = size % 4 == 0 ? &log_on : &log_off;
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
  return 0;
}
