#include "plugins/brick_in/ldraw_settings.h"

#include "plugins/brick_in/part_search.h"

const char* const kLDrawFilter = "LDraw DAT File            (*.dat)|*.dat|All Files (*.*)|*.*||";
const char* const kLDrawChooserFilter =
    "LDraw Files (*.dat;*.ldr;*.mpd)|*.dat;*.ldr;*.mpd|"
    "LDraw DAT File            (*.dat)|*.dat|All Files (*.*)|*.*||";

LDrawSettings::LDrawSettings()
    : PluginSettings(kBrickInOwner, "brickin.log"), search_path(default_search_path()) {
  LoadSettings();
}

LDrawSettings::~LDrawSettings() { SaveSettings(); }

void LDrawSettings::LoadSettings() {
  LoadFileTexts(path, file_name);
  SettingsText stored;
  LoadText(kSearchPathKey, stored);
  if (stored.is_set()) search_path = stored.str();
  LoadInt(kOneMeshPerColourKey, one_mesh_per_colour);
}

void LDrawSettings::SaveSettings() {
  SaveFileTexts(path, file_name);
  SettingsText stored;
  stored.set(search_path);
  SaveText(kSearchPathKey, stored);
  SaveInt(kOneMeshPerColourKey, one_mesh_per_colour);
}
