#include "apps/morvane-convert/convert_options.h"

#include <cstdlib>
#include <cstring>

namespace {

bool is_number(const std::string& text) {
  if (text.empty()) return false;
  char* end = nullptr;
  std::strtod(text.c_str(), &end);
  return *end == '\0';
}

}  // namespace

const char* ConvertUsage() {
  return "Usage: morvane-convert [OPTION]... INPUT... -o OUTPUT\n"
         "       morvane-convert --info [OPTION]... INPUT...\n"
         "       morvane-convert --list\n"
         "Converts polygonal 3D models through the Morvane plug-ins: imports every INPUT,\n"
         "keeps all meshes in one list (clashing names get \"_0\", \"_1\", ...) and writes\n"
         "the list once to OUTPUT.\n"
         "\n"
         "Classes:\n"
         "  --from \"CLASS\"       import class (default: by the input's extension:\n"
         "                       .x, .dat, .ldr, .mpd)\n"
         "  --to \"CLASS\"         export class (default: by the output's extension:\n"
         "                       .x, .inc, .pov, .glb, .gltf, .obj, .stl, .ply)\n"
         "  --udo PATH           second output of the ray-tracer classes (default: the\n"
         "                       .udo beside the .inc)\n"
         "  --plugin-path DIR    folder of the plug-ins (default: plugin/ beside the program)\n"
         "\n"
         "Options for this run only (the options kept for Morvane and MorvaneOGL stay):\n"
         "  --size FACTOR        scale every mesh\n"
         "  --swap MODE          swap axes: 0 none, 1 x/y, 2 x/z, 3 y/z\n"
         "  --unify 0|1          make face orientation consistent on import\n"
         "  --line-ends dos|unix|mac\n"
         "  --smooth-angle DEG   smoothing angle of corner normals\n"
         "  --edge-angle DEG     smallest angle of a visible edge\n"
         "  --radius R           wire and blob radius\n"
         "  --search-path PATHS  LDraw part folders, separated by \";\"\n"
         "  --one-mesh-per-colour  LDraw: a part with faces of several colours becomes one\n"
         "                       mesh per colour\n"
         "  --write-colours      DirectX: each mesh with a colour gets its own material\n"
         "  --keep-y-up          glTF, OBJ, COLLADA, FBX: keep the y axis up (by default the\n"
         "                       model is turned z up, standing as an LDraw model does)\n"
         "  --log FILE           write the plug-ins' verbose log to FILE\n"
         "\n"
         "Other:\n"
         "  --info               print one line per mesh (Nr., type, name, faces, vertices,\n"
         "                       bounding box) instead of converting\n"
         "  --colours            with --info: a last column with the mesh's colour\n"
         "                       (#RRGGBB, #RRGGBBAA when not opaque) and finish, or \"-\"\n"
         "  --list               print the loaded plug-ins and their classes\n"
         "  -q, --quiet          no progress line\n"
         "  -h, --help           this text\n"
         "  --version            the program's version\n"
         "\n"
         "Exit status: 0 when every input was read and the output written, 1 when a\n"
         "conversion failed, 2 for a wrong command line.\n";
}

bool ParseConvertOptions(int argc, const char* const argv[], ConvertOptions& options,
                         std::string& error) {
  struct Valued {
    const char* name;
    std::string* target;
    bool number;
  };
  const Valued valued[] = {
      {"-o", &options.output, false},
      {"--output", &options.output, false},
      {"--udo", &options.udo, false},
      {"--from", &options.from_class, false},
      {"--to", &options.to_class, false},
      {"--plugin-path", &options.plugin_path, false},
      {"--log", &options.log_file, false},
      {"--size", &options.size, true},
      {"--swap", &options.swap, true},
      {"--unify", &options.unify, true},
      {"--line-ends", &options.line_ends, false},
      {"--smooth-angle", &options.smooth_angle, true},
      {"--edge-angle", &options.edge_angle, true},
      {"--radius", &options.radius, true},
      {"--search-path", &options.search_path, false},
  };
  bool only_inputs = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (only_inputs || arg.empty() || arg[0] != '-' || arg == "-") {
      options.inputs.push_back(arg);
      continue;
    }
    if (arg == "--") {
      only_inputs = true;
      continue;
    }
    if (arg == "-h" || arg == "--help") {
      options.action = ConvertOptions::Help;
      return true;
    }
    if (arg == "--version") {
      options.action = ConvertOptions::Version;
      return true;
    }
    if (arg == "--list") {
      options.action = ConvertOptions::List;
      continue;
    }
    if (arg == "--info") {
      options.action = ConvertOptions::Info;
      continue;
    }
    if (arg == "--colours") {
      options.colours = true;
      continue;
    }
    if (arg == "--write-colours") {
      options.write_colours = true;
      continue;
    }
    if (arg == "--keep-y-up") {
      options.keep_y_up = true;
      continue;
    }
    if (arg == "--one-mesh-per-colour") {
      options.one_mesh_per_colour = true;
      continue;
    }
    if (arg == "-q" || arg == "--quiet") {
      options.quiet = true;
      continue;
    }
    std::string value;
    bool has_value = false;
    std::string::size_type equals = arg.find('=');
    if (arg.compare(0, 2, "--") == 0 && equals != std::string::npos) {
      value = arg.substr(equals + 1);
      arg = arg.substr(0, equals);
      has_value = true;
    }
    const Valued* option = nullptr;
    for (const Valued& v : valued)
      if (arg == v.name) option = &v;
    if (option == nullptr) {
      error = "unknown option " + arg;
      return false;
    }
    if (!has_value) {
      if (i + 1 >= argc) {
        error = "option " + arg + " needs a value";
        return false;
      }
      value = argv[++i];
    }
    if (option->number && !is_number(value)) {
      error = "option " + arg + " needs a number, not \"" + value + "\"";
      return false;
    }
    *option->target = value;
  }
  if (!options.line_ends.empty() && options.line_ends != "dos" && options.line_ends != "unix" &&
      options.line_ends != "mac") {
    error = "--line-ends takes dos, unix or mac, not \"" + options.line_ends + "\"";
    return false;
  }
  if (!options.swap.empty() && options.swap != "0" && options.swap != "1" && options.swap != "2" &&
      options.swap != "3") {
    error = "--swap takes 0, 1, 2 or 3";
    return false;
  }
  if (!options.radius.empty() && std::strtod(options.radius.c_str(), nullptr) <= 0.0) {
    error = "--radius must be greater than 0";
    return false;
  }
  if (options.colours && options.action != ConvertOptions::Info) {
    error = "--colours goes with --info";
    return false;
  }
  if (options.action == ConvertOptions::List) return true;
  if (options.inputs.empty()) {
    error = "no input file";
    return false;
  }
  if (options.action == ConvertOptions::Convert && options.output.empty()) {
    error = "no output file (-o OUTPUT)";
    return false;
  }
  return true;
}
