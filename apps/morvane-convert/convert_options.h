#pragma once

#include <string>
#include <vector>

// What one run of the batch converter is asked to do, as read from its command line.
struct ConvertOptions {
  enum Action { Convert, Info, List, Help, Version };
  Action action = Convert;

  std::vector<std::string> inputs;
  std::string output;       // -o
  std::string udo;          // --udo: the second output file of two-file classes
  std::string from_class;   // --from: import class name instead of the extension's
  std::string to_class;     // --to: export class name instead of the extension's
  std::string plugin_path;  // --plugin-path; empty: the program's plug-in folder
  std::string log_file;     // --log: verbose log of every plug-in run
  bool quiet = false;
  bool colours = false;              // --colours: --info adds each mesh's colour and finish
  bool write_colours = false;        // --write-colours: the DirectX writer's "Write mesh colours"
  bool one_mesh_per_colour = false;  // --one-mesh-per-colour: the LDraw reader's option
  bool keep_y_up = false;            // --keep-y-up: y-up formats keep y up

  // Options for this run only; an empty text leaves the stored value.
  std::string size, swap, unify, line_ends, smooth_angle, edge_angle, radius, search_path;
};

// Reads argv into options. False with a message in error when the command line is wrong.
bool ParseConvertOptions(int argc, const char* const argv[], ConvertOptions& options,
                         std::string& error);

// The text of --help.
const char* ConvertUsage();
