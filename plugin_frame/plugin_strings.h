#pragma once

// The string table of one plug-in class: every dialog takes its texts from here. A dialog's
// title is the short name, one blank and "Configuration", "Help" or the run word.
struct PluginStrings {
  const char* help;           // 1: the help text ("\n" separates lines)
  const char* short_name;     // 2: e.g. "Direct X"
  const char* configuration;  // 3: "Configuration"
  const char* help_word;      // 4: "Help"
  const char* run_word;       // 5: "Import" or "Export"
};
