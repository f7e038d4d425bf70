#include "plugins/rayinc_out/rayinc_settings.h"

// Five blanks after "File" and eleven after "Files" ("PolyRay ... File" likewise), six after
// the ".udo" "File": the choosers show them as written.
const char kPovIncFilter[] = "PovRay INC File     (*.inc)|*.inc|All Files           (*.*)|*.*||";
const char kPolyRayIncFilter[] =
    "PolyRay INC File     (*.inc)|*.inc|All Files           (*.*)|*.*||";
const char kUdoFilter[] = "Moray UDO File      (*.udo)|*.udo|All Files           (*.*)|*.*||";

RayIncSettings::RayIncSettings(const char* owner, const char* log_file, bool radius_option)
    : PluginSettings(owner, log_file), with_radius(radius_option) {
  LoadSettings();
}

RayIncSettings::~RayIncSettings() { SaveSettings(); }

void RayIncSettings::LoadSettings() {
  LoadFileTexts(path, file_name);
  LoadFileTexts(path2, file_name2, "2");
  LoadDouble(kSmoothAngleKey, smooth_angle);
  LoadDouble(kEdgeAngleKey, edge_angle);
  if (with_radius) LoadDouble(kRadiusKey, radius);
}

void RayIncSettings::SaveSettings() {
  SaveFileTexts(path, file_name);
  SaveFileTexts(path2, file_name2, "2");
  SaveDouble(kSmoothAngleKey, smooth_angle);
  SaveDouble(kEdgeAngleKey, edge_angle);
  if (with_radius) SaveDouble(kRadiusKey, radius);
}
