// The options of the POV-Ray scene class for the length of one command: the common options,
// the ".pov" file with its folder, the smoothing angle and the view (camera direction, field
// of view, picture proportions, ground plane).
#pragma once

#include "plugin_frame/plugin_settings.h"
#include "plugins/povscene_out/scene_writer.h"

extern const char kPovSceneFilter[];

class PovSceneSettings : public PluginSettings {
 public:
  PovSceneSettings();
  ~PovSceneSettings() override;

  void LoadSettings() override;
  void SaveSettings() override;

  // The writer's options, the view made usable.
  SceneOptions Scene() const;

  SettingsText path;       // folder of the ".pov" chooser
  SettingsText file_name;  // the ".pov" file
  double smooth_angle = 70.0;
  double azimuth = SceneView().azimuth;
  double elevation = SceneView().elevation;
  double field_of_view = SceneView().field_of_view;
  double aspect_ratio = SceneView().aspect_ratio;
  int ground_plane = 0;  // 1: a floor under the model that takes its shadows
};
