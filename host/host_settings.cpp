#include "host/host_settings.h"

#include <vector>

#include "host/program_file.h"
#include "settings/settings_store.h"

namespace {

const char SETTINGS_SECTION[] = "Settings";
const char EXTENSION_SECTION[] = "Settings\\extension";

// A row that cannot be read takes this place, so the table keeps its row count.
const char FALLBACK_EXTENSION[] = ".3ds";
const char FALLBACK_CLASS_NAME[] = "3D Studio (*.3ds, *.prj)";

// Reads an int; a value outside [lowest, highest] (a store edited by hand) keeps the current
// value, so that no later array index or switch sees a mode the program does not know.
void read_bounded(const char *owner, const char *name, int lowest, int highest, int &value)
{
    int read = value;
    SettingsReadInt(owner, SETTINGS_SECTION, name, value, &read);
    if (read >= lowest && read <= highest)
        value = read;
}

// One value of the extension section, name and text whole; false when it cannot be read.
bool read_extension_row(const char *owner, unsigned long index, std::string &name,
                        std::string &text)
{
    std::vector<char> name_buffer(1024);
    std::vector<char> data_buffer(1024);
    // The store says how large the buffers must be when they are too small; a value may also
    // grow between two calls when another process writes, hence a few rounds.
    for (int round = 0; round < 4; ++round) {
        unsigned long name_size = name_buffer.size();
        unsigned long data_size = data_buffer.size();
        unsigned type = 0;
        if (SettingsEnumValue(owner, EXTENSION_SECTION, index, name_buffer.data(), &name_size,
                              &type, data_buffer.data(), &data_size)) {
            name.assign(name_buffer.data(), name_size);
            text.assign(data_buffer.data());
            return true;
        }
        bool larger = false;
        if (name_size + 1 > name_buffer.size()) {
            name_buffer.resize(name_size + 1);
            larger = true;
        }
        if (data_size + 1 > data_buffer.size()) {
            data_buffer.resize(data_size + 1);
            larger = true;
        }
        if (!larger)
            return false;
    }
    return false;
}

}  // namespace

HostSettings::HostSettings(HostProgram program)
    : HostSettings(program, ProgramBaseName(ProgramFilePath()), DefaultPluginPath(ProgramFilePath()))
{
}

HostSettings::HostSettings(HostProgram program, const std::string &program_key,
                           const std::string &default_plugin_path)
    : program_(program),
      program_key_(program_key),
      plugin_path_(default_plugin_path),
      extensions_(DefaultExtensionTable(program))
{
    Load();
}

HostSettings::~HostSettings()
{
    Save();
}

int HostSettings::Build() const
{
    return program_ == HostProgram::Viewer ? VIEWER_BUILD : CONVERTER_BUILD;
}

void HostSettings::SetLastImportClass(const char *class_name)
{
    if (class_name != nullptr)
        last_import_class_ = class_name;
}

void HostSettings::SetLastExportClass(const char *class_name)
{
    if (class_name != nullptr)
        last_export_class_ = class_name;
}

void HostSettings::Load()
{
    const char *owner = program_key_.c_str();
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
    }

    LoadExtensions();
}

void HostSettings::LoadExtensions()
{
    const char *owner = program_key_.c_str();
    unsigned long count = 0;
    if (!SettingsCountValues(owner, EXTENSION_SECTION, &count) || count == 0)
        return;
    // Rows in the store replace the whole default table.
    extensions_.Clear();
    for (unsigned long index = 0; index < count; ++index) {
        std::string extension;
        std::string class_name;
        if (read_extension_row(owner, index, extension, class_name))
            extensions_.Append(extension, class_name);
        else
            extensions_.Append(FALLBACK_EXTENSION, FALLBACK_CLASS_NAME);
    }
}

void HostSettings::Save() const
{
    const char *owner = program_key_.c_str();
    SettingsWriteString(owner, SETTINGS_SECTION, "plugin_path", plugin_path_.c_str());
    SettingsWriteInt(owner, SETTINGS_SECTION, "clear_flag", clear_flag_);
    SettingsWriteInt(owner, SETTINGS_SECTION, "check_name_mode", check_name_mode_);
    SettingsWriteString(owner, SETTINGS_SECTION, "last_import_class", last_import_class_.c_str());
    SettingsWriteString(owner, SETTINGS_SECTION, "last_export_class", last_export_class_.c_str());
    SettingsWriteInt(owner, SETTINGS_SECTION, "Build", Build());
    if (program_ == HostProgram::Viewer) {
        SettingsWriteInt(owner, SETTINGS_SECTION, "view_title", views_.view_title);
        SettingsWriteInt(owner, SETTINGS_SECTION, "vo_top", views_.vo_top);
        SettingsWriteInt(owner, SETTINGS_SECTION, "vo_top_fast", views_.vo_top_fast);
        SettingsWriteInt(owner, SETTINGS_SECTION, "vo_side", views_.vo_side);
        SettingsWriteInt(owner, SETTINGS_SECTION, "vo_side_fast", views_.vo_side_fast);
        SettingsWriteInt(owner, SETTINGS_SECTION, "vo_front", views_.vo_front);
        SettingsWriteInt(owner, SETTINGS_SECTION, "vo_front_fast", views_.vo_front_fast);
        SettingsWriteInt(owner, SETTINGS_SECTION, "vo_user", views_.vo_user);
        SettingsWriteInt(owner, SETTINGS_SECTION, "vo_user_fast", views_.vo_user_fast);
    }
    for (int row = 0; row < extensions_.Count(); ++row)
        SettingsWriteString(owner, EXTENSION_SECTION, extensions_.Extension(row),
                            extensions_.ClassName(row));
}
