#include "plugins/povscene_out/povscene_settings.h"

const char kPovSceneFilter[] =
    "POV-Ray Scene File     (*.pov)|*.pov|All Files              (*.*)|*.*||";

PovSceneSettings::PovSceneSettings() : PluginSettings(kPovSceneOwner, "povsceneout.log") {
  LoadSettings();
}

PovSceneSettings::~PovSceneSettings() { SaveSettings(); }

void PovSceneSettings::LoadSettings() {
  LoadFileTexts(path, file_name);
  LoadDouble("smooth_angle", smooth_angle);
  LoadDouble("azimuth", azimuth);
  LoadDouble("elevation", elevation);
  LoadDouble("field_of_view", field_of_view);
  LoadDouble("aspect_ratio", aspect_ratio);
  LoadInt("ground_plane", ground_plane);
}

void PovSceneSettings::SaveSettings() {
  SaveFileTexts(path, file_name);
  SaveDouble("smooth_angle", smooth_angle);
  SaveDouble("azimuth", azimuth);
  SaveDouble("elevation", elevation);
  SaveDouble("field_of_view", field_of_view);
  SaveDouble("aspect_ratio", aspect_ratio);
  SaveInt("ground_plane", ground_plane);
}

SceneOptions PovSceneSettings::Scene() const {
  SceneOptions options;
  options.smooth_angle = smooth_angle;
  options.view.azimuth = azimuth;
  options.view.elevation = elevation;
  options.view.field_of_view = field_of_view;
  options.view.aspect_ratio = aspect_ratio;
  options.view = usable_view(options.view);
  options.ground_plane = ground_plane != 0;
  return options;
}
