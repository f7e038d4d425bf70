#pragma once

#include "plugin_frame/plugin_settings.h"

class LogFile;

// One file a class reads or writes, with the settings fields that remember it.
struct FileSlot {
  SettingsText* path;       // the folder last used by the file chooser
  SettingsText* file_name;  // the file last chosen, as a full path
  const char* filter;       // chooser filter, "Desc|*.x|All Files (*.*)|*.*||"
  const char* ext;          // default extension without "."; null for an import
};

// How a class's options dump looks.
struct OptionsDumpLayout {
  bool heading_colons;  // "\t Common:\n" / "\t File format specific:\n"; false: no colon
  bool line_delimiter;  // export classes: "\t LineDelimiter: %d\n" after the unify line
};

// Writes "Options:\n", the common lines ("\t current directory: ...", verbose_mode,
// swap_mode, unify_mode, [LineDelimiter], size_value, "\t Log File: ..."), the heading
// "\t File format specific" and, for each file slot k (k = 0, 1, ...), "\t path<s>: %s:\n",
// "\t file_name<s>: %s\n" and, when the slot has an extension, "\t ext<s>: %s\n", where <s>
// is empty for the first slot and k + 1 for the others ("path2"). Numbers always with ".".
// The class's own specific lines follow from the caller.
void write_options_dump(LogFile& log, const PluginSettings& settings,
                        const OptionsDumpLayout& layout, const FileSlot* files, int file_count);

// "%lf" of value, with "." whatever the locale: six decimals.
const char* format_lf(double value, char buffer[64]);
