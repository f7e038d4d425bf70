// The options of one ray-tracer export class for the length of one command: the common
// options, the two output files (".inc" and ".udo") with their folders, and the angles and
// wire radius of the writers.
#pragma once

#include "plugin_frame/plugin_settings.h"

// The ".inc" chooser filter of the POV-Ray classes and of the PolyRay class, and the ".udo"
// chooser filter of all five.
extern const char kPovIncFilter[];
extern const char kPolyRayIncFilter[];
extern const char kUdoFilter[];

class RayIncSettings : public PluginSettings {
 public:
  // owner and log_file: the class's internal name and default log file name. with_radius:
  // the wire and blob classes, which also keep "radius".
  RayIncSettings(const char* owner, const char* log_file, bool with_radius);
  ~RayIncSettings() override;

  void LoadSettings() override;
  void SaveSettings() override;

  SettingsText path;           // folder of the ".inc" chooser
  SettingsText file_name;      // the ".inc" file
  SettingsText path2;          // folder of the ".udo" chooser
  SettingsText file_name2;     // the ".udo" file
  double edge_angle = 1.0;     // degrees; faces meeting at this angle or more show their edge
  double smooth_angle = 70.0;  // degrees; neighbours closer than this are smoothed together
  double radius = 0.1;         // cylinders, spheres and blob components of the wire classes
  const bool with_radius;
};
