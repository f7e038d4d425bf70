#include "plugins/brick_in/read_ldraw.h"

#include "meshlib/mesh3d.h"
#include "plugin_frame/plugin_run.h"
#include "plugins/brick_in/ldraw_colours.h"
#include "plugins/brick_in/ldraw_settings.h"
#include "plugins/brick_in/scene_mesh.h"
#include "settings/log_file.h"

std::string missing_parts_message(const std::vector<std::string>& missing,
                                  const std::vector<std::string>& folders) {
  const std::size_t kNamesShown = 5;
  std::string text = std::to_string(missing.size()) +
                     (missing.size() == 1 ? " part was not found:\n" : " parts were not found:\n");
  for (std::size_t i = 0; i < missing.size() && i < kNamesShown; ++i)
    text += "    " + missing[i] + "\n";
  if (missing.size() > kNamesShown)
    text += "    and " + std::to_string(missing.size() - kNamesShown) + " more\n";
  text += "\nLooked in:\n";
  for (const std::string& folder : folders) text += "    " + folder + "\n";
  text += "\nThe folders are set in the import options (Add Part Directory).";
  return text;
}

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
      // Reported before the mesh is built, so a run stopped at the report holds no mesh
      // that nobody owns.
      const SceneElement& element = scene.elements[i];
      if (element.part == nullptr || element.part->geometry.triangle_count() <= 0) continue;
      run.FileProgress(i, count);
      Mesh3d* mesh = build_scene_mesh(element);
      if (mesh == nullptr) continue;
      run.FinishMesh(mesh);
    }
    if (!scene.missing_parts.empty())
      run.ReportProblem(missing_parts_message(scene.missing_parts, scene.searched_folders));
  }

  run.Status("Parsing finished       \n");
  run.Log("Parsing finished\n");
}
