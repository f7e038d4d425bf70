// The options of the LDraw import class: the common ones and, in "Specific Settings", the
// folder and name of the last model and the part search path.
#pragma once

#include <string>

#include "plugin_frame/plugin_settings.h"

class LDrawSettings : public PluginSettings {
 public:
  LDrawSettings();
  ~LDrawSettings() override;

  void LoadSettings() override;
  void SaveSettings() override;

  SettingsText path;        // folder of the last model file
  SettingsText file_name;   // the model file to read
  std::string search_path;  // part folders, each followed by ";"
  // 1: a reference whose part has faces of several colours becomes one mesh per colour.
  int one_mesh_per_colour = 0;
};

// The open-dialog filter of the class (twelve blanks after "File").
extern const char* const kLDrawFilter;
// What the file chooser offers: all LDraw files first, then the class's own filter.
extern const char* const kLDrawChooserFilter;
