// The plug-in library xfile_in: one import class for DirectX text files on the common frame.
// The frame does the options, the file chooser, the log, progress and the mesh finishing; this
// file adds the class's names and texts, its two remembered file settings and the parse run.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "meshlib/mesh3d.h"
#include "plugin_frame/plugin_frame.h"
#include "plugins/xfile_in/xfile_parser.h"

namespace {

// The class's options: the common ones plus the folder and file its chooser last used.
class DirectXImportSettings final : public PluginSettings {
 public:
  DirectXImportSettings() : PluginSettings(kXFileInOwner, "Xfilein.log") { LoadSettings(); }
  ~DirectXImportSettings() override { SaveSettings(); }

  void LoadSettings() override { LoadFileTexts(path, file_name); }
  void SaveSettings() override { SaveFileTexts(path, file_name); }

  SettingsText path;
  SettingsText file_name;
};

// Twelve blanks before the parenthesis, as the chooser has always shown it.
const char kFilter[] = "Direct X Ascii File            (*.x)|*.x|All Files (*.*)|*.*||";

const FrameClassInfo kInfo = {
    "Direct X Import Plugin 0.1",
    {"\tDirect X Import\n\n- Imports Dirext X ASCII- files (*.x)\nKelmar 1998", "Direct X",
     "Configuration", "Help", "Import"},
    false,  // this class's dump headings carry no colon
};

// The warnings of one read for the user: the first few, then how many more.
std::string WarningsText(const std::vector<std::string>& warnings) {
  const std::size_t kShown = 5;
  std::string text;
  for (std::size_t i = 0; i < warnings.size() && i < kShown; ++i)
    text += (i == 0 ? "" : "\n") + warnings[i];
  if (warnings.size() > kShown)
    text += "\nand " + std::to_string(warnings.size() - kShown) + " more warnings";
  return text;
}

class DirectXImport final : public FrameImporter {
 public:
  DirectXImport() : FrameImporter(kInfo) {}

 protected:
  PluginSettings* NewSettings() override { return new DirectXImportSettings; }

  FileSlot InputFile(PluginSettings& settings) override {
    auto& s = static_cast<DirectXImportSettings&>(settings);
    return {&s.path, &s.file_name, kFilter, nullptr};
  }

  void Parse(PluginRun& run) override {
    run.DumpOptions();
    const char* name = run.Settings<DirectXImportSettings>().file_name.c_str();
    run.Status("Parsing %s started ...      \n", name);
    run.Log("Parsing %s started ...\n", name);

    XFileParseHooks hooks;
    hooks.log = &run.log;
    hooks.status = [&run](const char* text) { run.Status("%s", text); };
    hooks.file_progress = [&run](std::uint32_t position, std::uint32_t total) {
      run.FileProgress(position, total);
    };
    hooks.mesh_progress = [&run](std::uint32_t done, std::uint32_t total) {
      run.MeshProgress(done, total);
    };
    // Warnings go to the log as they come, and together to the user at the end of the run
    // (a message box, or standard error in the batch converter).
    std::vector<std::string> warnings;
    hooks.warning = [&run, &warnings](const char* text) {
      run.Log("%s\n", text);
      warnings.push_back(text);
    };
    // The work a polygon's cut may take: MORVANE_CUT_STEPS replaces the default (for machines
    // with other needs, and for the tests of the limit).
    if (const char* steps = std::getenv("MORVANE_CUT_STEPS"))
      hooks.cut_steps = std::strtoull(steps, nullptr, 10);
    hooks.finish_mesh = [&run](Mesh3d* mesh) { run.FinishMesh(mesh); };
    hooks.mesh_edges = run.settings.unify_mode != 0;
    // The outcome is in the log; the caller gets every mesh completed before the end.
    ParseXFile(name, hooks);
    if (!warnings.empty()) run.ReportProblem(WarningsText(warnings));

    run.Status("Parsing finished       \n");
    run.Log("Parsing finished\n");
  }
};

FrameClassDescription xfile_class("XFILE ASCII (*.x)", MESH_IMPORT_CLASS, 0x10F32E1E,
                                  create_plugin_object<DirectXImport>);

}  // namespace

MORVANE_PLUGIN_LIBRARY("XFILE Import Lib", &xfile_class)
