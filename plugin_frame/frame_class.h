#pragma once

#include "plugin_frame/options_dump.h"
#include "plugin_frame/plugin_run.h"
#include "plugin_frame/plugin_settings.h"
#include "plugin_frame/plugin_strings.h"

class LogFile;
class OptionsDialog;

// The constants of one plug-in class that the frame needs around its format work.
struct FrameClassInfo {
  const char* log_title;            // first word group of the log banner
  PluginStrings strings;            // help text, short name, "Configuration", "Help", run word
  bool dump_heading_colons = true;  // false writes "\t Common\n" without the colon
};

// What every import and export class supplies besides its parse or write: its settings, its
// files, its "Specific" dialog controls and its specific dump lines. Shared by FrameImporter
// and FrameExporter; not used on its own.
class FrameClass {
 public:
  explicit FrameClass(const FrameClassInfo& info) : info_(info) {}
  virtual ~FrameClass() = default;
  const FrameClassInfo& Info() const { return info_; }

 protected:
  // A new object of the class's PluginSettings subclass, loaded (its constructor loads).
  virtual PluginSettings* NewSettings() = 0;

  // Fills the "Specific" group of the options dialog (AddNumberField, AddTextField, ...)
  // from the settings. Nothing by default.
  virtual void FillSpecific(OptionsDialog& dialog, PluginSettings& settings);
  // After OK: takes the dialog's specific values into the settings. Nothing by default.
  virtual void TakeSpecific(const OptionsDialog& dialog, PluginSettings& settings);
  // The class's own lines of the options dump, after the file lines. Nothing by default.
  virtual void DumpSpecific(LogFile& log, PluginSettings& settings);

  // The frame's Help and Configure for both kinds of class.
  void RunHelp();
  void RunConfigure(bool import_class, int dialog_template);

 private:
  FrameClassInfo info_;
};
