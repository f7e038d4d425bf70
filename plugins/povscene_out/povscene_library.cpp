// The export plug-in library "povscene_out" with its one class "POV-Ray 3.7 Scene (*.pov)":
// writes every mesh of the host's list, its colours, a camera that sees it all and lights into
// one scene file that POV-Ray 3.7 renders as it stands.

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include <QCheckBox>
#include <QGroupBox>
#include <QLayout>

#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "plugin_frame/export_mesh.h"
#include "plugin_frame/output_file.h"
#include "plugin_frame/plugin_frame.h"
#include "plugins/povscene_out/povscene_settings.h"
#include "plugins/povscene_out/scene_writer.h"
#include "settings/delimited_writer.h"

namespace {

enum {
  kSmoothAngleControl = 1032,
  // 1035..1040 are the line delimiter radios of the export templates.
  kAzimuthControl = 1041,
  kElevationControl = 1042,
  kFieldOfViewControl = 1043,
  kAspectRatioControl = 1044,
  kGroundPlaneControl = 1045,
};

const FrameClassInfo kInfo = {
    "POV-Ray 3.7 Scene Export Plugin 0.1",
    {"\tPOV-Ray 3.7 Scene Export\n\n- Exports a POV-Ray 3.7 scene (*.pov) that renders as it "
     "stands\n- Supports mesh objects with their colours and finishes\n- Angle for mesh "
     "smoothing\n- Camera from azimuth and elevation (degrees), framing the whole model\n- "
     "Field of view (degrees) and picture width to height ratio\n- Key and fill light, "
     "optional ground plane with shadows\n\nRender with: povray +W640 +H480 scene.pov",
     "POV Scene", "Configuration", "Help", "Export"},
    true};

class WriterRunReport final : public WriterReport {
 public:
  explicit WriterRunReport(PluginRun& run) : run_(run) {}
  void status(const std::string& line) override {
    run_.Status("%s", line.c_str());
    run_.Log("%s", line.c_str());
  }
  void file_progress(int32_t position, int32_t total) override {
    run_.FileProgress(static_cast<std::uint32_t>(position), static_cast<std::uint32_t>(total));
  }

 private:
  PluginRun& run_;
};

class PovSceneExport final : public FrameExporter {
 public:
  PovSceneExport() : FrameExporter(kInfo) {}

 protected:
  PluginSettings* NewSettings() override { return new PovSceneSettings; }

  int OutputFiles(PluginSettings& settings, FileSlot files[2]) override {
    auto& s = static_cast<PovSceneSettings&>(settings);
    files[0] = {&s.path, &s.file_name, kPovSceneFilter, "pov"};
    return 1;
  }

  void FillSpecific(OptionsDialog& dialog, PluginSettings& settings) override {
    auto& s = static_cast<PovSceneSettings&>(settings);
    dialog.AddNumberField(kSmoothAngleControl, "Smooth Angle", s.smooth_angle);
    dialog.AddNumberField(kAzimuthControl, "Azimuth", s.azimuth);
    dialog.AddNumberField(kElevationControl, "Elevation", s.elevation);
    dialog.AddNumberField(kFieldOfViewControl, "Field of View", s.field_of_view);
    dialog.AddNumberField(kAspectRatioControl, "Aspect Ratio", s.aspect_ratio);
    auto* ground =
        new QCheckBox(QStringLiteral("Ground Plane with Shadows"), dialog.SpecificGroup());
    ground->setProperty("controlId", kGroundPlaneControl);
    ground->setChecked(s.ground_plane != 0);
    dialog.SpecificGroup()->layout()->addWidget(ground);
    ground->show();
  }

  void TakeSpecific(const OptionsDialog& dialog, PluginSettings& settings) override {
    auto& s = static_cast<PovSceneSettings&>(settings);
    s.smooth_angle = dialog.NumberValue(kSmoothAngleControl);
    // Values a camera cannot use are brought into range, so the dialog shows them as stored.
    SceneView view;
    view.azimuth = dialog.NumberValue(kAzimuthControl);
    view.elevation = dialog.NumberValue(kElevationControl);
    view.field_of_view = dialog.NumberValue(kFieldOfViewControl);
    view.aspect_ratio = dialog.NumberValue(kAspectRatioControl);
    view = usable_view(view);
    s.azimuth = view.azimuth;
    s.elevation = view.elevation;
    s.field_of_view = view.field_of_view;
    s.aspect_ratio = view.aspect_ratio;
    auto* ground = qobject_cast<QCheckBox*>(
        find_control(const_cast<OptionsDialog*>(&dialog), kGroundPlaneControl));
    if (ground != nullptr) s.ground_plane = ground->isChecked() ? 1 : 0;
  }

  void DumpSpecific(LogFile& log, PluginSettings& settings) override {
    auto& s = static_cast<PovSceneSettings&>(settings);
    char number[64];
    log.LogWrite("\t smooth_angle: %s\n", format_lf(s.smooth_angle, number));
    log.LogWrite("\t azimuth: %s\n", format_lf(s.azimuth, number));
    log.LogWrite("\t elevation: %s\n", format_lf(s.elevation, number));
    log.LogWrite("\t field_of_view: %s\n", format_lf(s.field_of_view, number));
    log.LogWrite("\t aspect_ratio: %s\n", format_lf(s.aspect_ratio, number));
    log.LogWrite("\t ground_plane: %d\n", s.ground_plane);
  }

  void Write(PluginRun& run) override {
    auto& s = run.Settings<PovSceneSettings>();
    const std::string file_name = s.file_name.str();
    run.DumpOptions();

    OutputFile output(file_name);
    if (!output.is_open()) {
      run.Log("Cannot write %s: %s\n", file_name.c_str(), output.error().c_str());
      return;
    }
    run.Status("Writing %s started ...\n", file_name.c_str());
    run.Log("Writing %s started ...\n", file_name.c_str());

    WriterRunReport report(run);
    DelimitedWriter writer(s.ld_mode, output.stream());
    const IncStream out{output.stream(), s.ld_mode, &writer};
    SceneWriter scene(out, s.Scene());
    scene.Head();
    for (int32_t i = 0; i < run.objects->count(); ++i) {
      auto* object = static_cast<Obj3d*>(run.objects->get(i));
      if (object == nullptr || object->kind() != Obj3d::kMesh) continue;
      // The writer reads vertices, faces and the faces around each vertex: no edges.
      ExportMesh pass(*static_cast<Mesh3d*>(object), s, false);
      scene.Mesh(pass.mesh(), &report);
    }
    scene.Tail();
    writer.Flush();

    if (!output.Commit()) {
      run.Log("Cannot write %s: %s\n", file_name.c_str(), output.error().c_str());
      return;
    }
    run.Status("Writing %s finished       \n", file_name.c_str());
    run.Log("Writing %s finished       \n", file_name.c_str());
  }
};

FrameClassDescription pov_scene_class("POV-Ray 3.7 Scene (*.pov)", MESH_EXPORT_CLASS, 0x37A5CE7E,
                                      create_plugin_object<PovSceneExport>);

}  // namespace

MORVANE_PLUGIN_LIBRARY("POV-Ray Scene Export Lib", &pov_scene_class)
