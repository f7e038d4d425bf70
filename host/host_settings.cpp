#include "host/host_settings.h"

#include <vector>

#include "host/program_file.h"
#include "settings/settings_store.h"

namespace {

const char SETTINGS_SECTION[] = "Settings";
const char EXTENSION_SECTION[] = "Settings\\extension";

// Reads an int; a value outside [lowest, highest] (a store edited by hand) keeps the current
// value, so that no later array index or switch sees a mode the program does not know.
void read_bounded(const char* owner, const char* name, int lowest, int highest, int& value) {
  int read = value;
  SettingsReadInt(owner, SETTINGS_SECTION, name, value, &read);
  if (read >= lowest && read <= highest) value = read;
}

}  // namespace

HostSettings::HostSettings(HostProgram program)
    : HostSettings(program, ProgramBaseName(ProgramFilePath()),
                   DefaultPluginPath(ProgramFilePath())) {}

HostSettings::HostSettings(HostProgram program, const std::string& program_key,
                           const std::string& default_plugin_path)
    : program_(program),
      program_key_(program_key),
      plugin_path_(default_plugin_path),
      extensions_(DefaultExtensionTable(program)) {
  Load();
}

HostSettings::~HostSettings() { Save(); }

int HostSettings::Build() const {
  return program_ == HostProgram::Viewer ? VIEWER_BUILD : CONVERTER_BUILD;
}

void HostSettings::SetLastImportClass(const char* class_name) {
  if (class_name != nullptr) last_import_class_ = class_name;
}

void HostSettings::SetLastExportClass(const char* class_name) {
  if (class_name != nullptr) last_export_class_ = class_name;
}

void HostSettings::Load() {
  const char* owner = program_key_.c_str();
  std::string text;
  SettingsReadText(owner, SETTINGS_SECTION, "plugin_path", plugin_path_, text);
  plugin_path_ = text;
  read_bounded(owner, "clear_flag", 0, 1, clear_flag_);
  read_bounded(owner, "check_name_mode", 0, 2, check_name_mode_);
  SettingsReadText(owner, SETTINGS_SECTION, "last_import_class", last_import_class_, text);
  last_import_class_ = text;
  SettingsReadText(owner, SETTINGS_SECTION, "last_export_class", last_export_class_, text);
  last_export_class_ = text;

  if (program_ == HostProgram::Viewer) {
    read_bounded(owner, "view_title", 0, 1, views_.view_title);
    read_bounded(owner, "vo_top", 0, HIGHEST_RENDER_MODE, views_.vo_top);
    read_bounded(owner, "vo_top_fast", 0, HIGHEST_RENDER_MODE, views_.vo_top_fast);
    read_bounded(owner, "vo_side", 0, HIGHEST_RENDER_MODE, views_.vo_side);
    read_bounded(owner, "vo_side_fast", 0, HIGHEST_RENDER_MODE, views_.vo_side_fast);
    read_bounded(owner, "vo_front", 0, HIGHEST_RENDER_MODE, views_.vo_front);
    read_bounded(owner, "vo_front_fast", 0, HIGHEST_RENDER_MODE, views_.vo_front_fast);
    read_bounded(owner, "vo_user", 0, HIGHEST_RENDER_MODE, views_.vo_user);
    read_bounded(owner, "vo_user_fast", 0, HIGHEST_RENDER_MODE, views_.vo_user_fast);
    read_bounded(owner, "model_colours", 0, 1, views_.model_colours);
  }

  LoadExtensions();
}

void HostSettings::LoadExtensions() {
  // The section is read in one go: a table of thousands of rows (a store edited by hand or
  // by a tool) would otherwise cost one read of the whole file per row.
  std::vector<std::pair<std::string, std::string>> rows;
  if (!SettingsReadSection(program_key_.c_str(), EXTENSION_SECTION, &rows) || rows.empty()) return;
  // Rows in the store replace the default table, and are never changed; only the rows of the
  // exchange formats, which a table stored before them lacks, are added after them.
  extensions_.Clear();
  for (const auto& row : rows) extensions_.Append(row.first, row.second);
  const ExtensionTable added = ExchangeFormatRows();
  for (int row = 0; row < added.Count(); ++row) {
    if (extensions_.FindClassName(added.Extension(row)) == nullptr)
      extensions_.Append(added.Extension(row), added.ClassName(row));
  }
}

void HostSettings::Save() const {
  const char* owner = program_key_.c_str();
  SettingsWriteString(owner, SETTINGS_SECTION, "plugin_path", plugin_path_.c_str());
  SettingsWriteInt(owner, SETTINGS_SECTION, "clear_flag", clear_flag_);
  SettingsWriteInt(owner, SETTINGS_SECTION, "check_name_mode", check_name_mode_);
  SettingsWriteString(owner, SETTINGS_SECTION, "last_import_class", last_import_class_.c_str());
  SettingsWriteString(owner, SETTINGS_SECTION, "last_export_class", last_export_class_.c_str());
  SettingsWriteInt(owner, SETTINGS_SECTION, "Build", Build());
  if (program_ == HostProgram::Viewer) {
    SettingsWriteInt(owner, SETTINGS_SECTION, "view_title", views_.view_title);
    SettingsWriteInt(owner, SETTINGS_SECTION, "model_colours", views_.model_colours);
    SettingsWriteInt(owner, SETTINGS_SECTION, "vo_top", views_.vo_top);
    SettingsWriteInt(owner, SETTINGS_SECTION, "vo_top_fast", views_.vo_top_fast);
    SettingsWriteInt(owner, SETTINGS_SECTION, "vo_side", views_.vo_side);
    SettingsWriteInt(owner, SETTINGS_SECTION, "vo_side_fast", views_.vo_side_fast);
    SettingsWriteInt(owner, SETTINGS_SECTION, "vo_front", views_.vo_front);
    SettingsWriteInt(owner, SETTINGS_SECTION, "vo_front_fast", views_.vo_front_fast);
    SettingsWriteInt(owner, SETTINGS_SECTION, "vo_user", views_.vo_user);
    SettingsWriteInt(owner, SETTINGS_SECTION, "vo_user_fast", views_.vo_user_fast);
  }
  std::vector<std::pair<std::string, std::string>> rows;
  for (int row = 0; row < extensions_.Count(); ++row)
    rows.emplace_back(extensions_.Extension(row), extensions_.ClassName(row));
  SettingsWriteStrings(owner, EXTENSION_SECTION, rows);
}
