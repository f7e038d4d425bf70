#include "plugins/rayinc_out/rayinc_export.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "plugin_frame/export_mesh.h"
#include "plugin_frame/options_dialog.h"
#include "plugin_frame/options_dump.h"
#include "plugin_frame/output_file.h"
#include "plugin_frame/plugin_run.h"
#include "plugins/rayinc_out/edge_object.h"
#include "plugins/rayinc_out/inc_text.h"
#include "plugins/rayinc_out/positive_field.h"
#include "plugins/rayinc_out/rayinc_controls.h"
#include "plugins/rayinc_out/rayinc_settings.h"
#include "plugins/rayinc_out/udo_writer.h"
#include "settings/delimited_writer.h"
#include "settings/log_file.h"

namespace {

// The writers' reports go to the run: status line and log alike, and the file progress bar.
class RunReport final : public WriterReport {
 public:
  explicit RunReport(PluginRun& run) : run_(run) {}
  void status(const std::string& line) override {
    run_.Status("%s", line.c_str());
    run_.Log("%s", line.c_str());
  }
  void file_progress(int32_t position, int32_t total) override {
    run_.FileProgress(static_cast<std::uint32_t>(position), static_cast<std::uint32_t>(total));
  }
  void both(const char* format, const std::string& file) {
    run_.Status(format, file.c_str());
    run_.Log(format, file.c_str());
  }

 private:
  PluginRun& run_;
};

// One pass over the host's list: every mesh (kind 0) in list order, its indexed form built,
// scaled and swapped for the pass and dropped again, its bounding box as it was found.
template <class WriteMesh>
void for_each_mesh(PluginRun& run, const RayIncSettings& settings, WriteMesh write_mesh) {
  for (int32_t i = 0; i < run.objects->count(); ++i) {
    auto* object = static_cast<Obj3d*>(run.objects->get(i));
    if (object == nullptr || object->kind() != Obj3d::kMesh) continue;
    ExportMesh pass(*static_cast<Mesh3d*>(object), settings);
    write_mesh(pass.mesh());
  }
}

}  // namespace

PluginSettings* RayIncExport::NewSettings() {
  return new RayIncSettings(class_.owner, class_.log_file, class_.wire);
}

int RayIncExport::OutputFiles(PluginSettings& settings, FileSlot files[2]) {
  auto& s = static_cast<RayIncSettings&>(settings);
  files[0] = {&s.path, &s.file_name, class_.inc_filter, "inc"};
  files[1] = {&s.path2, &s.file_name2, kUdoFilter, "udo"};
  return 2;
}

int RayIncExport::DialogTemplate() const {
  return class_.wire ? OptionsDialog::ExportSecondTemplate : OptionsDialog::ExportTemplate;
}

void RayIncExport::FillSpecific(OptionsDialog& dialog, PluginSettings& settings) {
  auto& s = static_cast<RayIncSettings&>(settings);
  // The wire classes keep and show the smooth angle too, although their writers do not use it.
  dialog.AddNumberField(kSmoothAngleControl, "Smooth Angle", s.smooth_angle);
  dialog.AddNumberField(kEdgeAngleControl, "Edge Angle", s.edge_angle);
  if (class_.wire) {
    QLineEdit* radius = dialog.AddNumberField(kWireRadiusControl, "Wire Radius", s.radius);
    keep_field_positive(dialog, radius, kWireRadiusControl);
  }
}

void RayIncExport::TakeSpecific(const OptionsDialog& dialog, PluginSettings& settings) {
  auto& s = static_cast<RayIncSettings&>(settings);
  s.smooth_angle = dialog.NumberValue(kSmoothAngleControl);
  s.edge_angle = dialog.NumberValue(kEdgeAngleControl);
  if (class_.wire && dialog.NumberValue(kWireRadiusControl) > 0.0)
    s.radius = dialog.NumberValue(kWireRadiusControl);
}

void RayIncExport::DumpSpecific(LogFile& log, PluginSettings& settings) {
  auto& s = static_cast<RayIncSettings&>(settings);
  char number[64];
  log.LogWrite("\t edge_angle: %s\n", format_lf(s.edge_angle, number));
  log.LogWrite("\t smooth_angle: %s\n", format_lf(s.smooth_angle, number));
  if (class_.wire) log.LogWrite("\t radius: %s\n", format_lf(s.radius, number));
}

namespace {

// Every byte written so far is on the disk: the last step that can fail for want of space
// before the files are renamed into place.
bool reached_disk(std::FILE* stream) {
  return std::fflush(stream) == 0 && !std::ferror(stream) && fsync(fileno(stream)) == 0;
}

}  // namespace

void RayIncExport::Write(PluginRun& run) {
  auto& s = run.Settings<RayIncSettings>();
  const std::string inc_name = s.file_name.str();
  const std::string udo_name = s.file_name2.str();
  RunReport report(run);

  if (class_.dump_at == OptionsDumpAt::BeforeIncOpen) run.DumpOptions();

  // Both files are opened first and renamed into place only when both are written whole: a
  // ".udo" that cannot be written (a folder in its place, a full disk) leaves the old ".inc"
  // as it was, so the two never disagree.
  OutputFile inc(inc_name);
  if (!inc.is_open()) {
    run.Log("Cannot write %s: %s\n", inc_name.c_str(), inc.error().c_str());
    return;
  }
  OutputFile udo(udo_name);
  if (!udo.is_open()) {
    run.Log("Cannot write %s: %s\n", udo_name.c_str(), udo.error().c_str());
    return;
  }

  std::vector<EdgeObject> edge_objects;

  // The ".inc" pass.
  {
    report.both("Writing %s started ...\n", inc_name);
    if (class_.dump_at == OptionsDumpAt::AfterStarted) run.DumpOptions();
    DelimitedWriter writer(s.ld_mode, inc.stream());
    const IncStream out{inc.stream(), s.ld_mode, &writer};
    // Each mesh's indexed form is built once: its edge object, which the wire and blob
    // writers draw and the ".udo" pass writes, is made here and kept for that pass.
    for_each_mesh(run, s, [&](const Mesh3d& mesh) {
      edge_objects.push_back(make_edge_object(mesh, s.edge_angle));
      class_.write_inc(out, mesh, edge_objects.back(), s, &report);
    });
    writer.Flush();
    if (!reached_disk(inc.stream())) {
      run.Log("Cannot write %s: %s\n", inc_name.c_str(), std::strerror(errno));
      return;
    }
    report.both("Writing %s finished       \n", inc_name);
  }

  // The ".udo" pass, over the edge objects of the meshes as the first pass had them.
  {
    DelimitedWriter writer(s.ld_mode, udo.stream());
    const IncStream out{udo.stream(), s.ld_mode, &writer};
    write_udo_head(out, udo_name.c_str(), inc_name.c_str());
    report.both("Writing %s started ...\n", udo_name);
    for (const EdgeObject& edges : edge_objects) write_udo_mesh(out, edges, &report);
    report.both("Writing %s finished       \n", udo_name);
    write_udo_tail(out);
    writer.Flush();
    if (!reached_disk(udo.stream())) {
      run.Log("Cannot write %s: %s\n", udo_name.c_str(), std::strerror(errno));
      return;
    }
  }
  if (!inc.Commit()) {
    run.Log("Cannot write %s: %s\n", inc_name.c_str(), inc.error().c_str());
    return;
  }
  if (!udo.Commit()) run.Log("Cannot write %s: %s\n", udo_name.c_str(), udo.error().c_str());
}
