#pragma once

#include <cstdint>
#include <string>

#include "plugin_frame/settings_keys.h"

// An owned text option that may be unset ("path", "file_name", ...). An unset text is saved
// as an empty text, and an empty stored text reads back as empty, not as unset; a missing
// stored value leaves the field as it was.
class SettingsText {
 public:
  bool is_set() const { return set_; }
  // The text, or "" while unset.
  const char* c_str() const { return text_.c_str(); }
  const std::string& str() const { return text_; }
  void set(const char* text) {
    text_ = text != nullptr ? text : "";
    set_ = true;
  }
  void set(const std::string& text) {
    text_ = text;
    set_ = true;
  }
  void reset() {
    text_.clear();
    set_ = false;
  }

 private:
  bool set_ = false;
  std::string text_;
};

// The options of one plug-in class for the length of one command. Construction loads the
// section "Common Settings" of the class's owner from the settings store, destruction saves it
// back, so every command leaves the current options stored, even a cancelled one.
//
// Each class derives its own settings from this one for its section "Specific Settings":
//
//     class MySettings : public PluginSettings {
//     public:
//         MySettings() : PluginSettings("my_in", "myin.log") { LoadSettings(); }
//         ~MySettings() override { SaveSettings(); }
//         void LoadSettings() override { LoadFileTexts(path, file_name); }
//         void SaveSettings() override { SaveFileTexts(path, file_name); }
//         SettingsText path, file_name;
//     };
//
// The subclass's LoadSettings and SaveSettings handle only its own section; they do not call
// the base versions (the base constructor and destructor do that).
class PluginSettings {
 public:
  // Copies both names, sets the defaults (modes 0, size 1.0) and loads "Common Settings";
  // each stored value missing keeps its default.
  PluginSettings(const char* owner, const char* default_log_file);
  // Saves "Common Settings" (after the subclass's destructor saved its own section).
  virtual ~PluginSettings();

  PluginSettings(const PluginSettings&) = delete;
  PluginSettings& operator=(const PluginSettings&) = delete;

  // Base versions: "Common Settings". Overridden by each class for "Specific Settings".
  virtual void LoadSettings();
  virtual void SaveSettings();

  // All six common options at once.
  void GetCommonOptions(std::uint16_t* verbose, std::uint16_t* swap, std::uint16_t* unify,
                        std::uint16_t* ld, double* size, std::string* log_file_name) const;
  // Stores all six; each mode is cut to its low 16 bits, the log name is copied.
  void SetCommonOptions(long verbose, long swap, long unify, long ld, double size,
                        const char* log_file_name);

  std::string owner;           // the class's internal name; owner in the settings store
  std::uint16_t verbose_mode;  // exactly 1 writes the log file
  std::uint16_t swap_mode;     // 0 none, 1 X<->Y, 2 X<->Z, 3 Y<->Z
  std::uint16_t unify_mode;    // nonzero unifies the face orientation of imported meshes
  std::uint16_t ld_mode;       // line delimiter of text output: 0 DOS, 1 UNIX, 2 MAC
  double size_value;           // scale factor of every mesh
  std::string logfilename;     // relative to the current directory unless it has a folder

 protected:
  // Helpers for a subclass's own section "Specific Settings" of this owner. A missing value
  // keeps the field as it is.
  void LoadText(const char* name, SettingsText& field) const;
  void SaveText(const char* name, const SettingsText& field) const;
  // The folder and file a class's file chooser last used: "path<suffix>" and
  // "file_name<suffix>", in that order (suffix "" for the first file, "2" for the second).
  void LoadFileTexts(SettingsText& path, SettingsText& file_name, const char* suffix = "") const;
  void SaveFileTexts(const SettingsText& path, const SettingsText& file_name,
                     const char* suffix = "") const;
  void LoadDouble(const char* name, double& field) const;
  void SaveDouble(const char* name, double field) const;
  void LoadInt(const char* name, int& field) const;
  void SaveInt(const char* name, int field) const;
};
