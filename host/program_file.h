#pragma once

#include <string>

// The running program's own file (/proc/self/exe resolved), or empty when it cannot be read.
std::string ProgramFilePath();

// The base name of a file path: without its folder and without its last extension
// ("/usr/lib/morvane/Morvane" -> "Morvane", "a/b.bin" -> "b").
std::string ProgramBaseName(const std::string& program_file);

// The default plug-in folder of a program: its folder followed by "plugin/"
// ("/usr/lib/morvane/Morvane" -> "/usr/lib/morvane/plugin/"). A program path without a folder
// gives "plugin/".
std::string DefaultPluginPath(const std::string& program_file);
