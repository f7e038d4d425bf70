#include "plugin_frame/plugin_settings.h"

#include "settings/settings_store.h"

namespace {

// The stored log file name is read into a destination of this size, as the options dialog
// keeps at most 258 characters of it.
constexpr std::size_t kLogNameSize = 259;

}  // namespace

PluginSettings::PluginSettings(const char* owner_name, const char* default_log_file)
    : owner(owner_name != nullptr ? owner_name : ""),
      verbose_mode(0),
      swap_mode(0),
      unify_mode(0),
      ld_mode(0),
      size_value(1.0),
      logfilename(default_log_file != nullptr ? default_log_file : "") {
  // Qualified: the subclass's part does not exist yet, and it loads its own section.
  PluginSettings::LoadSettings();
}

PluginSettings::~PluginSettings() { PluginSettings::SaveSettings(); }

void PluginSettings::LoadSettings() {
  const char* o = owner.c_str();
  int value = 0;
  SettingsReadInt(o, FRAME_COMMON_SECTION, kVerboseModeKey, verbose_mode, &value);
  verbose_mode = static_cast<std::uint16_t>(value);
  SettingsReadInt(o, FRAME_COMMON_SECTION, kSwapModeKey, swap_mode, &value);
  swap_mode = static_cast<std::uint16_t>(value);
  SettingsReadInt(o, FRAME_COMMON_SECTION, kUnifyModeKey, unify_mode, &value);
  unify_mode = static_cast<std::uint16_t>(value);
  SettingsReadInt(o, FRAME_COMMON_SECTION, kLdModeKey, ld_mode, &value);
  ld_mode = static_cast<std::uint16_t>(value);
  SettingsReadDouble(o, FRAME_COMMON_SECTION, kSizeValueKey, size_value, &size_value);
  std::string name;
  SettingsReadText(o, FRAME_COMMON_SECTION, kLogFileNameKey, logfilename, name);
  if (name.size() > kLogNameSize - 1) name.resize(kLogNameSize - 1);
  logfilename = name;
}

void PluginSettings::SaveSettings() {
  const char* o = owner.c_str();
  SettingsWriteInt(o, FRAME_COMMON_SECTION, kVerboseModeKey, verbose_mode);
  SettingsWriteInt(o, FRAME_COMMON_SECTION, kSwapModeKey, swap_mode);
  SettingsWriteInt(o, FRAME_COMMON_SECTION, kUnifyModeKey, unify_mode);
  SettingsWriteInt(o, FRAME_COMMON_SECTION, kLdModeKey, ld_mode);
  SettingsWriteDouble(o, FRAME_COMMON_SECTION, kSizeValueKey, size_value);
  SettingsWriteString(o, FRAME_COMMON_SECTION, kLogFileNameKey, logfilename.c_str());
}

void PluginSettings::GetCommonOptions(std::uint16_t* verbose, std::uint16_t* swap,
                                      std::uint16_t* unify, std::uint16_t* ld, double* size,
                                      std::string* log_file_name) const {
  if (verbose != nullptr) *verbose = verbose_mode;
  if (swap != nullptr) *swap = swap_mode;
  if (unify != nullptr) *unify = unify_mode;
  if (ld != nullptr) *ld = ld_mode;
  if (size != nullptr) *size = size_value;
  if (log_file_name != nullptr) *log_file_name = logfilename;
}

void PluginSettings::SetCommonOptions(long verbose, long swap, long unify, long ld, double size,
                                      const char* log_file_name) {
  verbose_mode = static_cast<std::uint16_t>(verbose);
  swap_mode = static_cast<std::uint16_t>(swap);
  unify_mode = static_cast<std::uint16_t>(unify);
  ld_mode = static_cast<std::uint16_t>(ld);
  size_value = size;
  logfilename = log_file_name != nullptr ? log_file_name : "";
}

void PluginSettings::LoadFileTexts(SettingsText& path, SettingsText& file_name,
                                   const char* suffix) const {
  LoadText((std::string("path") + suffix).c_str(), path);
  LoadText((std::string("file_name") + suffix).c_str(), file_name);
}

void PluginSettings::SaveFileTexts(const SettingsText& path, const SettingsText& file_name,
                                   const char* suffix) const {
  SaveText((std::string("path") + suffix).c_str(), path);
  SaveText((std::string("file_name") + suffix).c_str(), file_name);
}

void PluginSettings::LoadText(const char* name, SettingsText& field) const {
  std::string text;
  if (SettingsReadText(owner.c_str(), FRAME_SPECIFIC_SECTION, name, field.str(), text))
    field.set(text);
}

void PluginSettings::SaveText(const char* name, const SettingsText& field) const {
  SettingsWriteString(owner.c_str(), FRAME_SPECIFIC_SECTION, name, field.c_str());
}

void PluginSettings::LoadDouble(const char* name, double& field) const {
  SettingsReadDouble(owner.c_str(), FRAME_SPECIFIC_SECTION, name, field, &field);
}

void PluginSettings::SaveDouble(const char* name, double field) const {
  SettingsWriteDouble(owner.c_str(), FRAME_SPECIFIC_SECTION, name, field);
}

void PluginSettings::LoadInt(const char* name, int& field) const {
  SettingsReadInt(owner.c_str(), FRAME_SPECIFIC_SECTION, name, field, &field);
}

void PluginSettings::SaveInt(const char* name, int field) const {
  SettingsWriteInt(owner.c_str(), FRAME_SPECIFIC_SECTION, name, field);
}
