// Helpers shared by the frame's tests: a private folder, the example plug-in library loaded
// with dlopen, reading files and stored settings.
#pragma once

#include <string>
#include <vector>

#include "plugin_api/plugin_api.h"
#include "plugin_frame/progress_callbacks.h"
#include "support/temp_folder.h"

// The example triangle plug-in, loaded as the hosts load plug-ins.
class TriPlugin {
 public:
  TriPlugin();
  ~TriPlugin();
  bool loaded() const { return handle_ != nullptr; }
  ClassDescription* import_class() const;
  ClassDescription* export_class() const;
  void* symbol(const char* name) const;

 private:
  void* handle_ = nullptr;
};

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& text);
std::vector<std::string> split_lines(const std::string& text);

// Removes the stored settings of owner, so a test starts from the defaults.
void forget_settings(const char* owner);
std::string stored(const char* owner, const char* section, const char* name);

// A sink that records what the progress callbacks pass on.
class RecordingSink : public ProgressSink {
 public:
  void SetStatus(const char* text) override { statuses.push_back(text); }
  void SetFileProgress(int percent) override { file.push_back(percent); }
  void SetMeshProgress(int percent) override { mesh.push_back(percent); }
  std::vector<std::string> statuses;
  std::vector<int> file;
  std::vector<int> mesh;
};

// Installs a sink for the length of a scope.
class SinkScope {
 public:
  explicit SinkScope(ProgressSink* sink) : previous_(set_progress_sink(sink)) {}
  ~SinkScope() { set_progress_sink(previous_); }

 private:
  ProgressSink* previous_;
};

// A small two-mesh triangle file for the example plug-in.
std::string two_mesh_file();

// What a run of the example plug-in starts from: the plug-in loaded, its settings forgotten,
// the two-mesh model in a fresh folder, and the directory the run started in.
struct TriRunFixture {
  // Forgets the settings, writes the model and notes the current directory.
  void Prepare();

  TriPlugin plugin;
  TempFolder folder;
  std::string model;
  std::string start_directory;
};
