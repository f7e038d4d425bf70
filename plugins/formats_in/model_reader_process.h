// Runs the model reader program (morvane-model-reader) as a child process and decodes what it
// streams back. The child's crash, a hang past the time limit, memory past the limit, a broken
// stream and a Cancel all end in an error message; the host process never runs the foreign
// reading library itself.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "plugins/formats_in/reader_stream.h"

struct ModelReaderLimits {
  int seconds = 60;                         // wall time of the whole read
  std::uint64_t memory_bytes = 4ull << 30;  // address space of the child (RLIMIT_AS)
};

// The limits of a normal run for a file of file_bytes: 60 seconds and one more per MiB (a
// sound file of 1,000,000 triangles reads in a few seconds; the library loops for ever on some
// damaged ones), and three quarters of the machine's memory (at least 2 GiB).
// MORVANE_READER_SECONDS and MORVANE_READER_MEMORY_MB in the environment replace them (for machines
// with other needs, and for the tests of the limits).
ModelReaderLimits DefaultModelReaderLimits(std::uint64_t file_bytes);

struct ModelReaderHooks {
  std::function<void(const std::string& line)> log;
  // Progress of the reading library's work, and then of the meshes streamed back.
  std::function<void(std::uint32_t done, std::uint32_t total)> progress;
  // Asked several times a second while the child runs; true ends the child.
  std::function<bool()> cancelled;
  // One mesh: begin, its triangles in pieces (nine floats each), end.
  std::function<void(const std::string& name, const reader_stream::MeshMaterial& material,
                     std::uint32_t triangles)>
      begin_mesh;
  std::function<void(const float* corners, std::uint32_t triangles)> add_triangles;
  std::function<void()> end_mesh;
};

// The error text of a read that hooks.cancelled ended.
extern const char kReaderCancelled[];

// Reads file with program. A hook that throws ends the child before the exception goes on. Returns
// an empty text when every mesh arrived, else the reason in one line (the meshes completed before
// it have been handed over all the same).
std::string RunModelReader(const std::string& program, const std::string& file,
                           const ModelReaderLimits& limits, const ModelReaderHooks& hooks);

// The reader program beside the plug-in library that holds this code: "<dir>/../<name>" for a
// plug-in in "<dir>", as the build (bin/plugin/ and bin/) and the installation
// (lib/morvane/plugin/ and lib/morvane/) place them.
std::string ModelReaderBesidePlugin();
