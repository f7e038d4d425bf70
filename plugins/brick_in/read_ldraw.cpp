#include "plugins/brick_in/read_ldraw.h"

#include "meshlib/mesh3d.h"
#include "plugin_frame/plugin_run.h"
#include "plugins/brick_in/ldraw_colours.h"
#include "plugins/brick_in/ldraw_settings.h"
#include "plugins/brick_in/scene_mesh.h"
#include "settings/log_file.h"

void read_ldraw(PluginRun& run, const LDrawLimits& limits) {
  LDrawSettings& settings = run.Settings<LDrawSettings>();
  const std::string file_name = settings.file_name.str();

  run.Status("Parsing %s started ...      \n", file_name.c_str());
  run.Log("Parsing %s started ...\n", file_name.c_str());
  run.DumpOptions();

  LDrawScene scene;
  FileProgress progress = [&run](uint32_t position, uint32_t total) {
    run.FileProgress(position, total);
  };
  if (read_ldraw_scene(file_name, settings.search_path, run.log, progress, scene, limits)) {
    run.Log("Used Parts\n");
    for (const auto& part : scene.cache.entries()) run.Log("Ref Name: %s\n", part->name.c_str());

    run.Log("Scene Elements\n");
    for (const SceneElement& element : scene.elements)
      run.Log("Scene Name: %s (%d) %s", element.name.c_str(), element.colour,
              ldraw_colour_description(element.colour).c_str());

    const uint32_t count = static_cast<uint32_t>(scene.elements.size());
    for (uint32_t i = 0; i < count; ++i) {
      Mesh3d* mesh = build_scene_mesh(scene.elements[i]);
      if (mesh == nullptr) continue;
      run.FileProgress(i, count);
      run.FinishMesh(mesh);
    }
  }

  run.Status("Parsing finished       \n");
  run.Log("Parsing finished\n");
}
