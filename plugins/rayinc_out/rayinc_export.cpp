#include "plugins/rayinc_out/rayinc_export.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "meshlib/corner_normal_pass.h"
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
#include "settings/chunked_text.h"
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

// What a writer reports while it works on a helper thread: the status lines are kept, and of
// the progress only the last total, so that the calling thread can pass them on in order
// when it writes the mesh's text.
class DeferredReport final : public WriterReport {
 public:
  void status(const std::string& line) override { lines.push_back(line); }
  void file_progress(int32_t, int32_t total) override { last_total = total; }
  void replay(WriterReport& to) const {
    for (const std::string& line : lines) to.status(line);
    if (last_total > 0) to.file_progress(last_total, last_total);
  }

 private:
  std::vector<std::string> lines;
  int32_t last_total = 0;
};

// Meshes of a model of many meshes handled as one chunk on either thread (see
// write_in_chunks); a model of at most this many meshes is written on the calling thread.
constexpr int32_t kMeshesPerChunk = 8;

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
  // The ".udo" file's writer. A model of many meshes has its ".udo" text made with its ".inc"
  // text, mesh by mesh on both threads, and written in order as the ".inc" pass goes; what
  // that text's writer reports is kept for the ".udo" pass, which passes it on in order. A
  // model of few meshes written by a surface writer has each mesh's ".udo" text made into
  // memory on the helper thread that makes its edge object, beside the ".inc" text, and
  // written in the ".udo" pass; the wire writers' meshes have theirs made in that pass.
  DelimitedWriter udo_writer(s.ld_mode, udo.stream());
  const IncStream udo_out{udo.stream(), s.ld_mode, &udo_writer};
  write_udo_head(udo_out, udo_name.c_str(), inc_name.c_str());
  std::vector<DeferredReport> udo_reports;
  bool udo_written = false;
  std::vector<std::string> udo_mesh_texts;

  // The ".inc" pass.
  {
    report.both("Writing %s started ...\n", inc_name);
    if (class_.dump_at == OptionsDumpAt::AfterStarted) run.DumpOptions();
    DelimitedWriter writer(s.ld_mode, inc.stream());
    const IncStream out{inc.stream(), s.ld_mode, &writer};
    // Each mesh's indexed form is built once: its edge object, which the wire and blob
    // writers draw and the ".udo" pass writes, is made here and kept for that pass.
    std::vector<Mesh3d*> meshes;
    for (int32_t i = 0; i < run.objects->count(); ++i) {
      auto* object = static_cast<Obj3d*>(run.objects->get(i));
      if (object != nullptr && object->kind() == Obj3d::kMesh)
        meshes.push_back(static_cast<Mesh3d*>(object));
    }
    const int32_t mesh_count = static_cast<int32_t>(meshes.size());
    edge_objects.resize(meshes.size());
    // With udo_beside, a surface writer (which does not draw the edges) writes the ".inc"
    // text while a helper thread makes the edge object, which only the ".udo" pass needs,
    // from the same tables (neither side changes them), and then the mesh's ".udo" text.
    auto write_one = [&](const IncStream& to, int32_t m, WriterReport* mesh_report,
                         bool udo_beside) {
      ExportMesh pass(*meshes[m], s);
      if (!udo_beside || class_.wire) {
        // The face normals found for the edge object serve the corner normals as well.
        FaceNormalCache normals(pass.mesh());
        edge_objects[m] = make_edge_object(pass.mesh(), s.edge_angle, &normals);
        class_.write_inc(to, pass.mesh(), edge_objects[m], &normals, s, mesh_report);
        return;
      }
      std::thread edges_maker([&] {
        EdgeObject edges = make_edge_object(pass.mesh(), s.edge_angle);
        DelimitedWriter udo_text(s.ld_mode, &udo_mesh_texts[m]);
        write_udo_mesh(IncStream{udo.stream(), s.ld_mode, &udo_text}, edges, &udo_reports[m]);
      });
      struct Joiner {
        std::thread& thread;
        ~Joiner() { thread.join(); }
      } joiner{edges_maker};
      class_.write_inc(to, pass.mesh(), EdgeObject(), nullptr, s, mesh_report);
    };
    if (mesh_count <= kMeshesPerChunk) {
      udo_reports.resize(meshes.size());
      if (!class_.wire) udo_mesh_texts.resize(meshes.size());
      for (int32_t m = 0; m < mesh_count; ++m) write_one(out, m, &report, true);
    } else {
      // Many meshes: whole meshes (indexed form, edge object and text) are made on two
      // threads and written in list order; what their writers report is passed on by the
      // calling thread as each mesh is written.
      std::vector<DeferredReport> reports(meshes.size());
      udo_reports.resize(meshes.size());
      std::vector<std::string> udo_texts((mesh_count + kMeshesPerChunk - 1) / kMeshesPerChunk);
      write_in_chunks(
          mesh_count, kMeshesPerChunk, s.ld_mode,
          [&](DelimitedWriter& w, int32_t first, int32_t end, int) {
            const IncStream to{inc.stream(), s.ld_mode, &w};
            DelimitedWriter udo_text(s.ld_mode, &udo_texts[first / kMeshesPerChunk]);
            const IncStream udo_to{udo.stream(), s.ld_mode, &udo_text};
            for (int32_t m = first; m < end; ++m) {
              write_one(to, m, &reports[m], false);
              write_udo_mesh(udo_to, edge_objects[m], &udo_reports[m]);
              edge_objects[m] = EdgeObject();
            }
          },
          [&](const char* text, std::size_t length, int32_t first, int32_t end) {
            for (int32_t m = first; m < end; ++m) reports[m].replay(report);
            writer.Raw(text, length);
            std::string& udo_text = udo_texts[first / kMeshesPerChunk];
            udo_writer.Raw(udo_text.data(), udo_text.size());
            std::string().swap(udo_text);
          });
      udo_written = true;
    }
    writer.Flush();
    if (!reached_disk(inc.stream())) {
      run.Log("Cannot write %s: %s\n", inc_name.c_str(), std::strerror(errno));
      return;
    }
    report.both("Writing %s finished       \n", inc_name);
  }

  // The ".udo" pass, over the edge objects of the meshes as the first pass had them.
  {
    report.both("Writing %s started ...\n", udo_name);
    if (udo_written) {
      for (const DeferredReport& r : udo_reports) r.replay(report);
    } else if (!udo_mesh_texts.empty()) {
      for (std::size_t m = 0; m < udo_mesh_texts.size(); ++m) {
        udo_reports[m].replay(report);
        udo_writer.Raw(udo_mesh_texts[m].data(), udo_mesh_texts[m].size());
        std::string().swap(udo_mesh_texts[m]);
      }
    } else {
      for (const EdgeObject& edges : edge_objects) write_udo_mesh(udo_out, edges, &report);
    }
    report.both("Writing %s finished       \n", udo_name);
    write_udo_tail(udo_out);
    udo_writer.Flush();
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
