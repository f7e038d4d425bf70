#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// The table of three operations that a run hands to its format-specific work. They are plain
// functions, so what they drive (the progress dialog, or the terminal line of a run without
// windows) is reached through one library-wide ProgressSink pointer, set for the length of a
// run.
typedef void (*StatusFunction)(std::FILE* sink, const char* format, ...);
typedef void (*ProgressFunction)(std::uint32_t position, std::uint32_t total);

struct ProgressCallbacks {
  StatusFunction status;           // the text sink is ignored; runs pass stderr
  ProgressFunction file_progress;  // (position, total) of the file being read or written
  ProgressFunction mesh_progress;  // (done, total) of a mesh operation; may be null

  // Mesh progress, or file progress when the table has no mesh-progress operation.
  void MeshProgress(std::uint32_t position, std::uint32_t total) const {
    (mesh_progress != nullptr ? mesh_progress : file_progress)(position, total);
  }
};

// What the progress callbacks show. The frame's ProgressDialog and the terminal line of a run
// without windows implement it; tests may install their own.
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void SetStatus(const char* text) = 0;
  virtual void SetFileProgress(int percent) = 0;
  virtual void SetMeshProgress(int percent) = 0;
  // True once the user has asked the run to stop (and from then on); runs that stop on Cancel
  // ask at every progress report.
  virtual bool StopRequested() { return false; }
};

// The library-wide sink the callbacks report to; null shows nothing.
ProgressSink* current_progress_sink();
// Installs sink (or null) and returns the previous one.
ProgressSink* set_progress_sink(ProgressSink* sink);

// The frame's callback table: status formats into 1024 bytes (longer text is cut) and passes
// the text to the sink; file and mesh progress compute the percent and pass it on when it
// differs from the last percent that callback computed, or when it is 0. with_mesh false
// leaves mesh_progress null, so that file progress serves for both.
ProgressCallbacks frame_progress_callbacks(bool with_mesh);

// position / (total - 1) * 100 truncated toward zero; 0 when total <= 1. A file read to its
// end reports position == total and so gives more than 100 (50 of 50 gives 102).
int progress_percent(std::uint32_t position, std::uint32_t total);

// Forgets the last percents of both callbacks. They otherwise live as long as the library.
void reset_progress_memory();

// The text of a percentage field: the percent clamped to 0..100, directly followed by "%".
// (A wrapped value such as "2%" for 102 would tell the user the file had barely started.)
std::string progress_percent_text(int percent);

// Keeps the windows painted and the Cancel button alive while a run blocks the
// user-interface thread. Does nothing without an application object.
void pump_messages();
