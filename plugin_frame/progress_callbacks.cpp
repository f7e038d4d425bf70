#include "plugin_frame/progress_callbacks.h"

#include <cstdarg>
#include <cstdint>

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

// The positions around the last one asked for that give the same percent of the same total.
// A writer reports every face and vertex, and the percent changes at most about a hundred
// times per pass: inside the run two comparisons replace the division. progress_percent
// grows with the position, so the run is found by searching outwards from the position.
struct PercentRun {
  std::uint32_t total = 0;
  std::uint32_t low = 1;
  std::uint32_t high = 0;  // empty
  int percent = 0;

  int Get(std::uint32_t position, std::uint32_t total_now) {
    if (total_now == total && position >= low && position <= high) return percent;
    total = total_now;
    percent = progress_percent(position, total);
    high = Reach(position, +1);
    low = Reach(position, -1);
    return percent;
  }

  // The farthest position from start in direction that still gives percent.
  std::uint32_t Reach(std::uint32_t start, int direction) const {
    std::uint64_t good = 0, bad = 1;  // distances from start
    const std::uint64_t room = direction > 0 ? UINT32_MAX - start : start;
    while (bad <= room && Same(start, direction, bad)) {
      good = bad;
      bad *= 2;
    }
    if (bad > room) {
      if (Same(start, direction, room)) return At(start, direction, room);
      bad = room;
    }
    while (bad - good > 1) {
      const std::uint64_t mid = good + (bad - good) / 2;
      (Same(start, direction, mid) ? good : bad) = mid;
    }
    return At(start, direction, good);
  }
  static std::uint32_t At(std::uint32_t start, int direction, std::uint64_t distance) {
    return static_cast<std::uint32_t>(direction > 0 ? start + distance : start - distance);
  }
  bool Same(std::uint32_t start, int direction, std::uint64_t distance) const {
    return progress_percent(At(start, direction, distance), total) == percent;
  }
};

PercentRun g_file_run;
PercentRun g_mesh_run;

void frame_file_progress(std::uint32_t position, std::uint32_t total) {
  int percent = g_file_run.Get(position, total);
  if (percent != g_last_file_percent || percent == 0) {
    if (g_sink != nullptr) g_sink->SetFileProgress(percent);
  }
  g_last_file_percent = percent;
}

void frame_mesh_progress(std::uint32_t position, std::uint32_t total) {
  int percent = g_mesh_run.Get(position, total);
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
