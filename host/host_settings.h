#pragma once

#include <string>

#include "host/extension_table.h"

// Build numbers written as "Build" at shut-down.
constexpr int CONVERTER_BUILD = 216;
constexpr int VIEWER_BUILD = 1049;

// Render modes of the viewer's four views (top, side, front, user), each with its fast mode
// used while a view moves, whether the views are framed windows with a title bar, and
// whether meshes show their own colours.
struct ViewValues {
  int view_title = 1;
  int vo_top = 1;
  int vo_top_fast = 0;
  int vo_side = 1;
  int vo_side_fast = 0;
  int vo_front = 1;
  int vo_front_fast = 0;
  int vo_user = 3;
  int vo_user_fast = 1;
  // 1: meshes that carry a colour of their own are drawn in it; 0: all in palette colours.
  int model_colours = 0;
};

// Highest render mode a view knows (0 box ... 5 point, 6 only by key).
constexpr int HIGHEST_RENDER_MODE = 6;

// The values of one running host, kept in the settings store under the program's base name,
// sections "Settings" and "Settings\extension". Created at start-up, which fills the defaults
// and loads what the store holds; destroyed at shut-down, which writes everything back.
// Changes reach the store only then.
class HostSettings {
 public:
  // Owner is the base name of the running program's file; the default plug-in path is the
  // program's folder followed by "plugin/".
  explicit HostSettings(HostProgram program);
  // The same with an explicit owner and default plug-in path (tests, tools).
  HostSettings(HostProgram program, const std::string& program_key,
               const std::string& default_plugin_path);
  ~HostSettings();

  HostSettings(const HostSettings&) = delete;
  HostSettings& operator=(const HostSettings&) = delete;

  HostProgram Program() const { return program_; }
  const std::string& ProgramKey() const { return program_key_; }
  int Build() const;

  const std::string& PluginPath() const { return plugin_path_; }
  void SetPluginPath(const std::string& path) { plugin_path_ = path; }
  // 1: the object list is cleared before each import.
  int ClearFlag() const { return clear_flag_; }
  void SetClearFlag(int flag) { clear_flag_ = flag; }
  // What happens to an imported name already in the list: 0 none, 1 manual, 2 automatic.
  int CheckNameMode() const { return check_name_mode_; }
  void SetCheckNameMode(int mode) { check_name_mode_ = mode; }

  const std::string& LastImportClass() const { return last_import_class_; }
  const std::string& LastExportClass() const { return last_export_class_; }
  // A null text leaves the stored one unchanged.
  void SetLastImportClass(const char* class_name);
  void SetLastExportClass(const char* class_name);

  ExtensionTable& Extensions() { return extensions_; }
  const ExtensionTable& Extensions() const { return extensions_; }

  // Only the viewer reads and writes these.
  ViewValues& Views() { return views_; }
  const ViewValues& Views() const { return views_; }

  // Writes every value to the store. Runs at destruction; callable earlier.
  void Save() const;

 private:
  void Load();
  void LoadExtensions();

  HostProgram program_;
  std::string program_key_;
  std::string plugin_path_;
  int clear_flag_ = 1;
  int check_name_mode_ = 2;
  std::string last_import_class_;
  std::string last_export_class_;
  ExtensionTable extensions_;
  ViewValues views_;
};
