#include "plugin_frame/plugin_run.h"

#include <cstdarg>
#include <utility>

#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "settings/c_numeric.h"
#include "settings/log_file.h"

namespace {

// The mesh progress of the running finishing sequence: unify_orientation reports through a
// plain function, so the table it should reach is kept here for the length of the call.
const ProgressCallbacks* g_finishing_callbacks = nullptr;

void report_mesh_progress(int32_t done, int32_t total) {
  if (g_finishing_callbacks == nullptr) return;
  g_finishing_callbacks->MeshProgress(done < 0 ? 0u : static_cast<std::uint32_t>(done),
                                      total < 0 ? 0u : static_cast<std::uint32_t>(total));
}

}  // namespace

PluginRun::PluginRun(PluginSettings& run_settings, ObjectList* run_objects,
                     const ProgressCallbacks& run_callbacks, LogFile& run_log,
                     std::function<void()> dump_options)
    : settings(run_settings),
      objects(run_objects),
      callbacks(run_callbacks),
      log(run_log),
      dump_options_(std::move(dump_options)) {}

void PluginRun::Status(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  int length = c_vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (length >= 0 && callbacks.status != nullptr) callbacks.status(stderr, "%s", text);
}

void PluginRun::Log(const char* format, ...) {
  va_list args;
  va_start(args, format);
  log.LogWriteV(format, args);
  va_end(args);
}

void PluginRun::FileProgress(std::uint32_t position, std::uint32_t total) const {
  if (callbacks.file_progress != nullptr) callbacks.file_progress(position, total);
  StopWhenCancelled();
}

void PluginRun::StopWhenCancelled() const {
  if (!stop_on_cancel) return;
  ProgressSink* sink = current_progress_sink();
  if (sink != nullptr && sink->StopRequested()) throw RunCancelled();
}

void PluginRun::MeshProgress(std::uint32_t position, std::uint32_t total) const {
  if (callbacks.file_progress != nullptr || callbacks.mesh_progress != nullptr)
    callbacks.MeshProgress(position, total);
}

void PluginRun::DumpOptions() const {
  if (dump_options_) dump_options_();
}

bool PluginRun::FinishMesh(Mesh3d* mesh) {
  if (objects == nullptr) {
    delete mesh;
    return false;
  }
  const bool joined = finish_mesh(mesh, settings, callbacks, log, *objects);
  StopWhenCancelled();
  return joined;
}

bool finish_mesh(Mesh3d* mesh, const PluginSettings& settings, const ProgressCallbacks& callbacks,
                 LogFile& log, ObjectList& objects) {
  if (mesh == nullptr) return false;
  // A mesh without vertices (every face had fewer than three corners) is not a result; it
  // is freed here, as nobody else holds it.
  if (mesh->vertex_count() == 0) {
    delete mesh;
    return false;
  }
  auto status = [&callbacks](const char* format, const char* name) {
    if (callbacks.status != nullptr) callbacks.status(stderr, format, name);
  };
  mesh->write_statistics(log);

  status("Sizing: %s\n", mesh->name());
  mesh->scale_mesh(settings.size_value);

  status("Swapping axis: %s\n", mesh->name());
  if (settings.swap_mode != 0) mesh->swap_axes(settings.swap_mode);

  status("Unifying: %s\n", mesh->name());
  if (settings.unify_mode != 0) {
    const ProgressCallbacks* previous = g_finishing_callbacks;
    g_finishing_callbacks = &callbacks;
    mesh->unify_orientation(report_mesh_progress);
    g_finishing_callbacks = previous;
  }

  status("Reducing: %s\n", mesh->name());
  mesh->to_flat();
  mesh->drop_tables();

  objects.append(mesh);
  return true;
}
