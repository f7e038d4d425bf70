// The export plug-in library "xfile_out" with its one class "Direct 3D (*.x)": writes every mesh
// of the host's list into one DirectX text file.

#include <string>

#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "plugin_frame/export_mesh.h"
#include "plugin_frame/output_file.h"
#include "plugin_frame/plugin_frame.h"
#include "plugins/xfile_out/xfile_writer.h"

namespace {

const char kFilter[] = "Direct 3D ASCII File     (*.x)|*.x|All Files                (*.*)|*.*||";
const int kSmoothAngleControl = 1032;
const int kMeshColoursControl = 1041;

class DirectXExportSettings : public PluginSettings {
 public:
  DirectXExportSettings() : PluginSettings(kXFileOutOwner, "xfileout.log") { LoadSettings(); }
  ~DirectXExportSettings() override { SaveSettings(); }

  void LoadSettings() override {
    LoadFileTexts(path, file_name);
    LoadDouble(kSmoothAngleKey, smooth_angle);
    LoadInt(kWriteMeshColoursKey, write_mesh_colours);
  }
  void SaveSettings() override {
    SaveFileTexts(path, file_name);
    SaveDouble(kSmoothAngleKey, smooth_angle);
    SaveInt(kWriteMeshColoursKey, write_mesh_colours);
  }

  SettingsText path;
  SettingsText file_name;
  double smooth_angle = 70.0;
  // 1: each mesh with a colour gets a material of its own instead of "mat_default".
  int write_mesh_colours = 0;
};

const FrameClassInfo kInfo = {
    "Direct X Export Plugin 0.2",
    {"\t3DX Export\n\n- Exports Direct 3D ASCII file (*.x)\n- Supports mesh objects\n"
     "- Angle for mesh smoothing\n\nKelmar 1997",
     "3DX", "Configuration", "Help", "Export"},
    true};

class DirectXExport final : public FrameExporter {
 public:
  DirectXExport() : FrameExporter(kInfo) {}

 protected:
  PluginSettings* NewSettings() override { return new DirectXExportSettings; }

  int OutputFiles(PluginSettings& settings, FileSlot files[2]) override {
    auto& s = static_cast<DirectXExportSettings&>(settings);
    files[0] = {&s.path, &s.file_name, kFilter, "x"};
    return 1;
  }

  void FillSpecific(OptionsDialog& dialog, PluginSettings& settings) override {
    auto& s = static_cast<DirectXExportSettings&>(settings);
    dialog.AddNumberField(kSmoothAngleControl, "Smooth Angle", s.smooth_angle);
    dialog.AddCheckBox(kMeshColoursControl, "Write mesh colours", s.write_mesh_colours != 0);
  }

  void TakeSpecific(const OptionsDialog& dialog, PluginSettings& settings) override {
    auto& s = static_cast<DirectXExportSettings&>(settings);
    s.smooth_angle = dialog.NumberValue(kSmoothAngleControl);
    s.write_mesh_colours = dialog.CheckValue(kMeshColoursControl) ? 1 : 0;
  }

  void DumpSpecific(LogFile& log, PluginSettings& settings) override {
    char number[64];
    auto& s = static_cast<DirectXExportSettings&>(settings);
    log.LogWrite("\t smooth_angle: %s\n", format_lf(s.smooth_angle, number));
    log.LogWrite("\t write mesh colours: %d\n", s.write_mesh_colours);
  }

  void Write(PluginRun& run) override {
    auto& s = run.Settings<DirectXExportSettings>();
    const char* file_name = s.file_name.c_str();
    run.DumpOptions();

    OutputFile output(file_name);
    if (!output.is_open()) {
      run.Log("Cannot write %s: %s\n", file_name, output.error().c_str());
      return;
    }
    write_header(output.stream(), s.ld_mode);
    run.Status("Writing %s started ...\n", file_name);
    run.Log("Writing %s started ...\n", file_name);

    for (int32_t i = 0; i < run.objects->count(); ++i) {
      auto* object = static_cast<Obj3d*>(run.objects->get(i));
      if (object == nullptr || object->kind() != 0) continue;
      // The writer reads vertices, faces and the faces around each vertex: no edges.
      ExportMesh pass(*static_cast<Mesh3d*>(object), s, false);
      write_mesh(output.stream(), pass.mesh(), s.smooth_angle, s.ld_mode, &run,
                 s.write_mesh_colours != 0);
    }

    if (!output.Commit()) {
      run.Log("Cannot write %s: %s\n", file_name, output.error().c_str());
      return;
    }
    run.Status("Writing %s finished       \n", file_name);
    run.Log("Writing %s finished       \n", file_name);
  }
};

FrameClassDescription directx_export_class("Direct 3D (*.x)", MESH_EXPORT_CLASS, 0x4F0763BE,
                                           create_plugin_object<DirectXExport>);

}  // namespace

MORVANE_PLUGIN_LIBRARY("3DX Export Lib", &directx_export_class)
