#include "plugin_frame/progress_callbacks.h"

#include <cstdarg>

#include <QCoreApplication>

#include "settings/c_numeric.h"

namespace {

// Library-wide, because the callbacks are plain functions that the format code calls without
// context: the sink of the running run, and the last percent each callback computed. The last
// percents live as long as the library, across runs.
ProgressSink* g_sink = nullptr;
int g_last_file_percent = 0;
int g_last_mesh_percent = 0;

constexpr int kStatusBuffer = 1024;

void frame_status(std::FILE*, const char* format, ...) {
  if (format == nullptr) return;
  char text[kStatusBuffer];
  va_list args;
  va_start(args, format);
  int length = c_vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (length < 0) return;
  if (g_sink != nullptr) g_sink->SetStatus(text);
}

void frame_file_progress(std::uint32_t position, std::uint32_t total) {
  int percent = progress_percent(position, total);
  if (percent != g_last_file_percent || percent == 0) {
    if (g_sink != nullptr) g_sink->SetFileProgress(percent);
  }
  g_last_file_percent = percent;
}

void frame_mesh_progress(std::uint32_t position, std::uint32_t total) {
  int percent = progress_percent(position, total);
  if (percent != g_last_mesh_percent || percent == 0) {
    if (g_sink != nullptr) g_sink->SetMeshProgress(percent);
  }
  g_last_mesh_percent = percent;
}

}  // namespace

ProgressSink* current_progress_sink() { return g_sink; }

ProgressSink* set_progress_sink(ProgressSink* sink) {
  ProgressSink* previous = g_sink;
  g_sink = sink;
  return previous;
}

ProgressCallbacks frame_progress_callbacks(bool with_mesh) {
  return ProgressCallbacks{frame_status, frame_file_progress,
                           with_mesh ? frame_mesh_progress : nullptr};
}

int progress_percent(std::uint32_t position, std::uint32_t total) {
  if (total <= 1) return 0;
  // position may exceed total (a file read to its end gives 102 for 50 of 50); a position
  // far beyond total would leave the int range, so the quotient is held inside it.
  double percent = static_cast<double>(position) / static_cast<double>(total - 1) * 100.0;
  if (percent > 2147483647.0) return 2147483647;
  return static_cast<int>(percent);
}

void reset_progress_memory() {
  g_last_file_percent = 0;
  g_last_mesh_percent = 0;
}

std::string progress_percent_text(int percent) {
  if (percent < 0) percent = 0;
  if (percent > 100) percent = 100;
  return std::to_string(percent) + "%";
}

void pump_messages() {
  if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
}
