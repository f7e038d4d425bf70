#include "plugins/formats_out/formats_export.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "plugin_frame/options_dialog.h"
#include "plugin_frame/options_dump.h"
#include "plugin_frame/output_file.h"
#include "plugin_frame/plugin_run.h"
#include "plugin_frame/settings_keys.h"
#include "plugins/formats_out/export_geometry.h"
#include "plugins/formats_out/gltf_writer.h"
#include "plugins/formats_out/json_text.h"
#include "plugins/formats_out/obj_writer.h"
#include "plugins/formats_out/ply_writer.h"
#include "plugins/formats_out/stl_writer.h"
#include "settings/log_file.h"

namespace {

const int kSmoothAngleControl = 1032;

class FormatSettings : public PluginSettings {
 public:
  FormatSettings(const char* owner, const char* log_file) : PluginSettings(owner, log_file) {
    LoadSettings();
  }
  ~FormatSettings() override { SaveSettings(); }

  void LoadSettings() override {
    LoadFileTexts(path, file_name);
    LoadDouble(kSmoothAngleKey, smooth_angle);
  }
  void SaveSettings() override {
    SaveFileTexts(path, file_name);
    SaveDouble(kSmoothAngleKey, smooth_angle);
  }

  SettingsText path;
  SettingsText file_name;
  double smooth_angle = 70.0;
};

// The writers' reports go to the run: status line and log alike, and the file progress bar.
class RunReport final : public ExportReport {
 public:
  explicit RunReport(PluginRun& run) : run_(run) {}
  void status(const char* line) override {
    run_.Status("%s", line);
    run_.Log("%s", line);
  }
  void progress(int32_t position, int32_t total) override {
    run_.FileProgress(static_cast<std::uint32_t>(position), static_cast<std::uint32_t>(total));
  }

 private:
  PluginRun& run_;
};

// Every byte written so far is on the disk: the last step that can fail for want of space
// before the files are renamed into place.
bool reached_disk(std::FILE* stream) {
  return std::fflush(stream) == 0 && !std::ferror(stream) && fsync(fileno(stream)) == 0;
}

std::string file_part(const std::string& path) {
  const std::string::size_type slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string companion_path(const std::string& target, const char* companion) {
  const std::string::size_type slash = target.rfind('/');
  const std::string::size_type dot = target.rfind('.');
  const bool has_extension =
      dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (has_extension ? target.substr(0, dot) : target) + "." + companion;
}

PluginSettings* FormatExport::NewSettings() {
  return new FormatSettings(class_.owner, class_.log_file);
}

int FormatExport::OutputFiles(PluginSettings& settings, FileSlot files[2]) {
  auto& s = static_cast<FormatSettings&>(settings);
  files[0] = {&s.path, &s.file_name, class_.filter, class_.extension};
  return 1;
}

void FormatExport::FillSpecific(OptionsDialog& dialog, PluginSettings& settings) {
  if (class_.smoothing)
    dialog.AddNumberField(kSmoothAngleControl, "Smooth Angle",
                          static_cast<FormatSettings&>(settings).smooth_angle);
}

void FormatExport::TakeSpecific(const OptionsDialog& dialog, PluginSettings& settings) {
  if (class_.smoothing)
    static_cast<FormatSettings&>(settings).smooth_angle = dialog.NumberValue(kSmoothAngleControl);
}

void FormatExport::DumpSpecific(LogFile& log, PluginSettings& settings) {
  if (!class_.smoothing) return;
  char number[64];
  log.LogWrite("\t smooth_angle: %s\n",
               format_lf(static_cast<FormatSettings&>(settings).smooth_angle, number));
}

void FormatExport::Write(PluginRun& run) {
  auto& s = run.Settings<FormatSettings>();
  const std::string target = s.file_name.str();
  run.DumpOptions();

  // Both files are written under temporary names and renamed into place only when both are
  // whole, the companion first, so a document never names a buffer or library that is missing
  // or older than itself.
  OutputFile main(target);
  if (!main.is_open()) {
    run.Log("Cannot write %s: %s\n", target.c_str(), main.error().c_str());
    return;
  }
  std::unique_ptr<OutputFile> companion;
  std::string companion_name;
  if (class_.companion != nullptr) {
    companion_name = companion_path(target, class_.companion);
    companion.reset(new OutputFile(companion_name));
    if (!companion->is_open()) {
      run.Log("Cannot write %s: %s\n", companion_name.c_str(), companion->error().c_str());
      return;
    }
  }

  run.Status("Writing %s started ...\n", target.c_str());
  run.Log("Writing %s started ...\n", target.c_str());
  RunReport report(run);
  const MeshSource meshes = [&](const MeshVisitor& visit) {
    ExportGeometry geometry;
    for (int32_t i = 0; i < run.objects->count(); ++i) {
      auto* object = static_cast<Obj3d*>(run.objects->get(i));
      if (object == nullptr || object->kind() != Obj3d::kMesh) continue;
      geometry_from_flat(*static_cast<Mesh3d*>(object), s.size_value, s.swap_mode, &geometry);
      visit(geometry);
    }
  };
  WriteOptions options;
  options.smooth_angle = s.smooth_angle;
  options.ld_mode = s.ld_mode;
  bool written = true;
  switch (class_.kind) {
    case FormatKind::kGlb:
      written = write_gltf({main.stream(), nullptr, ""}, meshes, options, &report);
      break;
    case FormatKind::kGltf:
      written =
          write_gltf({main.stream(), companion->stream(), file_uri(file_part(companion_name))},
                     meshes, options, &report);
      break;
    case FormatKind::kObj:
      write_obj(main.stream(), companion->stream(), file_part(companion_name), meshes, options,
                &report);
      break;
    case FormatKind::kStl:
      write_stl(main.stream(), meshes, &report);
      break;
    case FormatKind::kPly:
      write_ply(main.stream(), meshes, &report);
      break;
  }

  if (!written) {
    run.Log("Cannot write %s\n", target.c_str());
    return;
  }
  // Neither file is renamed into place unless both are whole on the disk (a full disk, a file
  // size limit), so an old pair is never half replaced.
  if (!reached_disk(main.stream())) {
    run.Log("Cannot write %s: %s\n", target.c_str(), std::strerror(errno));
    return;
  }
  if (companion != nullptr && !reached_disk(companion->stream())) {
    run.Log("Cannot write %s: %s\n", companion_name.c_str(), std::strerror(errno));
    return;
  }
  if (companion != nullptr && !companion->Commit()) {
    run.Log("Cannot write %s: %s\n", companion_name.c_str(), companion->error().c_str());
    return;
  }
  if (!main.Commit()) {
    run.Log("Cannot write %s: %s\n", target.c_str(), main.error().c_str());
    return;
  }
  run.Status("Writing %s finished       \n", target.c_str());
  run.Log("Writing %s finished       \n", target.c_str());
}
