// The plug-in library xfile_in: one import class for DirectX text files on the common frame.
// The frame does the options, the file chooser, the log, progress and the mesh finishing; this
// file adds the class's names and texts, its two remembered file settings and the parse run.

#include <cstdint>
#include <cstdio>

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
    // A warning goes to the log and to standard error, where the batch converter shows it.
    hooks.warning = [&run](const char* text) {
      run.Log("%s\n", text);
      std::fprintf(stderr, "%s\n", text);
    };
    hooks.finish_mesh = [&run](Mesh3d* mesh) { run.FinishMesh(mesh); };
    hooks.mesh_edges = run.settings.unify_mode != 0;
    // The outcome is in the log; the caller gets every mesh completed before the end.
    ParseXFile(name, hooks);

    run.Status("Parsing finished       \n");
    run.Log("Parsing finished\n");
  }
};

FrameClassDescription xfile_class("XFILE ASCII (*.x)", MESH_IMPORT_CLASS, 0x10F32E1E,
                                  create_plugin_object<DirectXImport>);

}  // namespace

MORVANE_PLUGIN_LIBRARY("XFILE Import Lib", &xfile_class)
