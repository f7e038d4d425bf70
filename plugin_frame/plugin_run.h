#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "plugin_frame/plugin_settings.h"
#include "plugin_frame/progress_callbacks.h"

class LogFile;
class Mesh3d;
class ObjectList;

// One parse or write run, as the frame hands it to a class's Parse or Write. The frame has
// already created the log (open only when verbose_mode is exactly 1) and written the banner;
// the class writes the options dump where its format wants it, with DumpOptions, and then its
// own messages. The log is closed by the frame after the run.
class PluginRun {
 public:
  PluginRun(PluginSettings& settings, ObjectList* objects, const ProgressCallbacks& callbacks,
            LogFile& log, std::function<void()> dump_options);

  // The class's own settings object (the one its NewSettings made).
  template <class S>
  S& Settings() const {
    return static_cast<S&>(settings);
  }

  // Status line to the progress dialog (or the terminal line); formatted into 1024 bytes.
  void Status(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Line to the log; formatted into 1024 bytes, flushed at once; nothing without a log.
  void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // File progress; in a run that stops on Cancel, throws RunCancelled once the user has
  // asked to cancel (checked at every report, after the report itself).
  void FileProgress(std::uint32_t position, std::uint32_t total) const;
  void MeshProgress(std::uint32_t position, std::uint32_t total) const;

  // Keeps a message for the user about the run's result (what was missing, what was
  // skipped); the frame shows it once the run and its progress window are over: a message
  // box in a program with windows, standard error otherwise. A later call replaces it.
  void ReportProblem(const std::string& text) { problem_ = text; }
  const std::string& Problem() const { return problem_; }

  // Writes the class's options dump to the log: the common lines, the file lines of each of
  // its files and its own specific lines.
  void DumpOptions() const;

  // Import runs: the mesh finishing sequence (see finish_mesh) into the run's object list.
  // Takes ownership of mesh. Returns true when the mesh joined the list. In a run that stops
  // on Cancel, throws RunCancelled after the mesh has joined (or left) the list when the user
  // asked to cancel meanwhile.
  bool FinishMesh(Mesh3d* mesh);

  PluginSettings& settings;
  ObjectList* objects;  // import: the run's new result list; export: the host's list
  const ProgressCallbacks& callbacks;
  LogFile& log;
  // Set by the frame for import runs: Cancel in the progress window ends the run at its next
  // progress report. Export runs go on to their end.
  bool stop_on_cancel = false;

 private:
  void StopWhenCancelled() const;

  std::function<void()> dump_options_;
  std::string problem_;
};

// Thrown through a class's parse by the progress reports of a run that the user cancelled;
// the frame catches it, drops what the run made and returns an empty list marked cancelled.
struct RunCancelled {};

// The mesh finishing sequence of every import class, for one mesh that a parser built in its
// indexed form:
//  1. a mesh without vertices is deleted and not added (returns false);
//  2. its statistics go to the log;
//  3. status "Sizing: <name>\n", then scale_mesh(size_value) (1.0 leaves it untouched);
//  4. status "Swapping axis: <name>\n", then swap_axes(swap_mode) when swap_mode is not 0;
//  5. status "Unifying: <name>\n", then unify_orientation when unify_mode is not 0, reporting
//     through mesh progress;
//  6. status "Reducing: <name>\n", then to_flat and drop_tables;
//  7. the mesh is appended to objects (which owns it from then on); returns true.
// The four status lines appear even when their step does nothing.
bool finish_mesh(Mesh3d* mesh, const PluginSettings& settings, const ProgressCallbacks& callbacks,
                 LogFile& log, ObjectList& objects);
