#pragma once

#include <string>
#include <vector>

class PluginManager;

// The plug-in summary: for every accepted library in load order its file name, name, class
// count and version, then a block for every class it publishes (also classes that were not
// registered because their ClassID was taken), and at the end the totals. The lines carry no
// line end; the "Plugin Info" list shows them as they are.
std::vector<std::string> PluginSummaryLines(const PluginManager& manager);

// Writes the lines to a new text file at path, each followed by "\n". Returns false, writing
// nothing, when the file cannot be opened, and false when a write fails.
bool SavePluginSummary(const std::string& path, const std::vector<std::string>& lines);
