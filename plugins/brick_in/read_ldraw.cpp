#include "plugins/brick_in/read_ldraw.h"

#include <set>
#include <string>

#include "meshlib/mesh3d.h"
#include "plugin_frame/plugin_run.h"
#include "plugins/brick_in/colour_table.h"
#include "plugins/brick_in/element_builder.h"
#include "plugins/brick_in/ldraw_colours.h"
#include "plugins/brick_in/ldraw_settings.h"
#include "plugins/brick_in/scene_mesh.h"
#include "settings/log_file.h"

namespace {

// The appearances of the colour codes of one import; an unknown code is logged once and gets
// the main colour.
class ColourResolver {
 public:
  ColourResolver(PluginRun& run, const std::string& search_path, const std::string& model_file)
      : run_(run) {
    const std::string path = find_colour_file(colour_file_folders(search_path, model_file));
    if (!path.empty() && table_.load_file(path))
      run_.Log("Colours from %s\n", path.c_str());
    else
      run_.Log("Colours from the built-in table\n");
  }

  Appearance operator()(int32_t code) {
    Appearance a;
    if (table_.find(code, a)) return a;
    if (!inherits_colour(code) && unknown_.insert(code).second)
      run_.Log("Unknown colour %d: main colour used\n", code);
    return table_.main_colour();
  }

 private:
  PluginRun& run_;
  LDrawColourTable table_;
  std::set<int32_t> unknown_;
};

void hand_over(PluginRun& run, Mesh3d* mesh, const Appearance& appearance) {
  if (mesh == nullptr) return;
  mesh->has_appearance = 1;
  mesh->appearance = appearance;
  run.FinishMesh(mesh);
}

// The name of the element's mesh of one colour: the element's name with that colour
// ("3001_0_C4" gives "3001_0_C0"), or "_default_C<colour>" for the model's own faces.
std::string name_with_colour(const SceneElement& element, int32_t colour) {
  std::string base = element.name;
  std::size_t at = base.rfind("_C");
  if (element.name != "_default" && at != std::string::npos) base.erase(at);
  return base + "_C" + std::to_string(colour);
}

}  // namespace

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

    ColourResolver colours(run, settings.search_path, file_name);
    const uint32_t count = static_cast<uint32_t>(scene.elements.size());
    auto has_faces = [&scene](uint32_t i) {
      const SceneElement& element = scene.elements[i];
      return element.part != nullptr && element.part->geometry.triangle_count() > 0;
    };
    const bool one_mesh_per_colour = settings.one_mesh_per_colour != 0;
    // Only unifying the windings reads a mesh's edges before it is reduced to its flat form.
    const bool with_edges = settings.unify_mode != 0;
    // The meshes of one element, each with the colour it shows. Runs on either thread.
    auto build = [&](int32_t index) {
      std::vector<BuiltMesh> built;
      if (!has_faces(static_cast<uint32_t>(index))) return built;
      // The model's own faces have no reference: those in the main colour show it.
      SceneElement element = scene.elements[index];
      const bool own_faces = element.part == scene.model.get();
      if (own_faces) element.colour = kMainColour;
      std::vector<int32_t> used = element_colours(element);
      if (one_mesh_per_colour && used.size() > 1) {
        // Each colour's appearance is looked up (and an unknown one logged) even where no
        // mesh comes of it.
        for (int32_t colour : used)
          built.push_back(
              BuiltMesh{build_scene_mesh_of_colour(
                            element, name_with_colour(element, colour).c_str(), colour, with_edges),
                        colour});
        return built;
      }
      Mesh3d* mesh = build_scene_mesh(scene.elements[index], with_edges);
      if (mesh == nullptr) return built;
      // A reference shows its own colour; with one mesh per colour, the one colour its faces
      // have; the model's own faces the colour most of them have.
      int32_t colour = element.colour;
      if (own_faces || (one_mesh_per_colour && used.size() == 1))
        colour = own_faces ? most_used_colour(element) : used[0];
      if (one_mesh_per_colour && !own_faces && colour != element.colour)
        mesh->set_name(name_with_colour(element, colour).c_str());
      built.push_back(BuiltMesh{mesh, colour});
      return built;
    };
    // Each part's distinct positions are found once, for all the meshes that place it.
    for (const auto& part : scene.cache.entries()) index_points(part->geometry);
    if (scene.model) index_points(scene.model->geometry);
    // The meshes are built on a helper thread ahead of this one, which hands them over (and
    // logs, reports and stops on Cancel) in the elements' order.
    ElementBuilder builder(static_cast<int32_t>(count), build);
    for (uint32_t i = 0; i < count; ++i) {
      if (!has_faces(i)) continue;
      // Reported before the element's meshes are taken, so a run stopped at the report holds
      // no mesh that nobody owns (the builder frees those it holds).
      run.FileProgress(i, count);
      std::vector<BuiltMesh> built = builder.take(static_cast<int32_t>(i));
      for (std::size_t k = 0; k < built.size(); ++k) {
        Mesh3d* mesh = built[k].mesh;
        built[k].mesh = nullptr;
        try {
          hand_over(run, mesh, colours(built[k].colour));
        } catch (...) {
          for (BuiltMesh& rest : built) delete rest.mesh;
          throw;
        }
      }
    }
    if (!scene.missing_parts.empty())
      run.ReportProblem(missing_parts_message(scene.missing_parts, scene.searched_folders));
  }

  run.Status("Parsing finished       \n");
  run.Log("Parsing finished\n");
}
