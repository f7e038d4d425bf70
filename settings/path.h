// File paths. Both "/" and "\" separate directories, so references written
// on other systems (such as "s\3001s01.dat") still split; a leading drive
// such as "C:" is still recognised. Paths this system builds join with "/".
#pragma once

#include <cstddef>
#include <string>

// Splits `path` into drive ("C:"), directory (with its final separator),
// name and extension (with its "."). Every output is set, empty when absent.
// The extension starts at the last "." of the last path component.
void split_path(const char* path, std::string& drive, std::string& directory, std::string& name,
                std::string& extension);

// The last component's name with its extension ("table.x"), and its extension alone (".x"), as
// split_path finds them; a null path has neither.
std::string path_file_name(const char* path);
std::string path_extension(const char* path);

// Joins the parts; each may be null or empty. A drive gets a ":" and a
// directory a "/" when it does not already end in one; an extension gets a
// leading "." when it lacks one.
std::string make_path(const char* drive, const char* directory, const char* name,
                      const char* extension);

// As above into `buffer` of `size` bytes, always terminated, cut when too
// long. Returns 1 when the whole path fitted, else 0.
int make_path(char* buffer, std::size_t size, const char* drive, const char* directory,
              const char* name, const char* extension);

// A path is absolute when it starts with "/".
bool is_absolute_path(const char* path);

// The absolute path of the current directory, empty when it cannot be had.
std::string current_directory();

// As above into `buffer` of `size` bytes; returns `buffer`, or null (buffer
// emptied) when the directory is unknown or does not fit.
char* current_directory(char* buffer, std::size_t size);
