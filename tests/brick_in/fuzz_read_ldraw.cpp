// libFuzzer target: the LDraw reader over a small part folder made for each input.
//
// The input is cut at every "#F#" into the model file, up to four part files and a colour file,
// written as model.ldr, parts/a.dat, parts/s/b.dat, parts/C.DAT, p/d.dat and LDConfig.ldr, so
// that references (in any spelling, with "\" folders, to multi-part sections, in cycles) meet
// real files and colour codes meet colour definitions. The scene is read with the log on, the
// colour file is found and read as the import does, and every element is welded into a mesh
// and reduced, once whole and once per colour, each colour looked up in the table.
#include <stdlib.h>
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "meshlib/mesh3d.h"
#include "plugins/brick_in/colour_table.h"
#include "plugins/brick_in/scene_mesh.h"
#include "plugins/brick_in/scene_reader.h"
#include "settings/log_file.h"
#include "tests/support/temp_folder.h"

namespace {

// The fuzzed files' folder, made at the first input and removed when the run ends.
const std::string& folder() {
  static const TempFolder temp("fuzz_read_ldraw");
  static const std::string made = [] {
    const std::string f = temp.path();
    mkdir((f + "/parts").c_str(), 0755);
    mkdir((f + "/parts/s").c_str(), 0755);
    mkdir((f + "/p").c_str(), 0755);
    setenv("LDRAWDIR", f.c_str(), 1);  // the colour file is found there first
    return f;
  }();
  return made;
}

void write_file(const std::string& path, const char* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const char* const kFiles[] = {"model.ldr",   "parts/a.dat", "parts/s/b.dat",
                                       "parts/C.DAT", "p/d.dat",     "LDConfig.ldr"};
  constexpr int kFileCount = sizeof(kFiles) / sizeof(kFiles[0]);
  const std::string& f = folder();
  std::string input(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  for (int i = 0; i < kFileCount; ++i) {
    std::size_t cut = input.find("#F#", start);
    std::size_t end = cut == std::string::npos || i == kFileCount - 1 ? input.size() : cut;
    if (start > input.size()) start = input.size();
    write_file(f + "/" + kFiles[i], input.data() + start, end - start);
    start = end == input.size() ? input.size() + 1 : end + 3;
  }

  LDrawLimits limits;
  limits.max_part_triangles = 20000;
  limits.max_total_triangles = 200000;
  LDrawScene scene;
  {
    LogFile log((f + "/fuzz.log").c_str());
    read_ldraw_scene(f + "/model.ldr", f + "/parts;" + f + "/p;", log, FileProgress(), scene,
                     limits);
  }
  const std::string search_path = f + "/parts;" + f + "/p;";
  LDrawColourTable colours;
  colours.load_file(find_colour_file(colour_file_folders(search_path, f + "/model.ldr")));
  Appearance main = colours.main_colour();
  for (const SceneElement& element : scene.elements) {
    Appearance appearance;
    if (!colours.find(element.colour, appearance)) appearance = main;
    std::unique_ptr<Mesh3d> mesh(build_scene_mesh(element));
    if (mesh == nullptr) continue;
    mesh->to_flat();
    mesh->drop_tables();
    (void)most_used_colour(element);
    for (int32_t colour : element_colours(element)) {
      if (!colours.find(colour, appearance)) appearance = main;
      std::unique_ptr<Mesh3d> part(build_scene_mesh_of_colour(element, "c", colour));
      if (part == nullptr) __builtin_trap();  // every colour found has a face
      part->to_flat();
    }
  }
  return 0;
}
