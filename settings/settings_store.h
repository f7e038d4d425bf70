// The per-user settings store. Every persistent option of the hosts and of
// every plug-in class lives here, as text, below an owner (the program's
// base name or the plug-in class's internal name) and a section (a group of
// settings; a backslash nests, as in "Settings\extension").
//
// Each owner is one UTF-8 text file, $XDG_CONFIG_HOME/Kelmar Software/
// <owner>.conf (XDG_CONFIG_HOME defaults to ~/.config). XDG_CONFIG_HOME is
// read at every call, so a process (a test, a batch run with a private copy
// of the store) may point it at a folder of its own at any time.
//
// Every call stands alone and keeps nothing in memory. Opening a section
// creates it (with its owner file and parent sections), so even a read of a
// missing value leaves the section behind. Writes are atomic and safe
// between processes: a reader sees the previous or the new file, never a
// half-written one, and concurrent writers of one owner keep each other's
// values. Lines that cannot be understood are kept as they are. A file that
// cannot be read behaves as an empty store and is never overwritten.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// Value type reported by SettingsEnumValue: every value is text.
constexpr unsigned SETTINGS_TYPE_TEXT = 1;

// Number of values in the section. Returns 1 when the section could be
// opened (created when missing), else 0 (count set to 0).
int SettingsCountValues(const char* owner, const char* section, unsigned long* count);

// The value at `index` (0-based, in the file's order). `name_size` holds the
// capacity of `name` in bytes and receives the name's length without the
// terminator; `data_size` holds the capacity of `data` in bytes and receives
// the value's length with the terminator; `type` receives
// SETTINGS_TYPE_TEXT. Returns 1 on success; 0 past the last value, on error,
// or when a buffer is too small (the sizes then tell what is needed).
int SettingsEnumValue(const char* owner, const char* section, unsigned long index, char* name,
                      unsigned long* name_size, unsigned* type, char* data,
                      unsigned long* data_size);

// Stores `text` under `name`, replacing it in place when it exists, else
// appending it to the section. Returns 1 when the value is stored, 0 when
// it could not be (the section could not be opened, the file could not be
// read or replaced); the file is then left as it was.
int SettingsWriteString(const char* owner, const char* section, const char* name, const char* text);
// Every value of the section in the file's order, each name once, from one read of the file:
// for a caller that loads a whole table. Returns 1 when the section could be opened (created
// when missing), else 0 with `values` empty.
int SettingsReadSection(const char* owner, const char* section,
                        std::vector<std::pair<std::string, std::string>>* values);
// Stores several values of one section (name, text) as SettingsWriteString does each, in
// order, under one lock and with one rewrite of the file. Returns 1 when they are stored, 0
// when none could be (the file is then left as it was).
int SettingsWriteStrings(const char* owner, const char* section,
                         const std::vector<std::pair<std::string, std::string>>& values);
// Stores the number as "%ld" text ("-1").
int SettingsWriteInt(const char* owner, const char* section, const char* name, int value);
// Stores the number as "%0.6lf" text ("1.000000"), always with ".".
int SettingsWriteDouble(const char* owner, const char* section, const char* name, double value);

// Copies the stored text into `destination` of `destination_size` bytes.
// When the value is missing (or cannot be read) the default is copied
// instead, cut to the destination; without a default the destination is
// left as it was. A stored text longer than the destination is cut to fit
// (at a character boundary); use SettingsReadText to get any length whole.
// Always returns 1.
int SettingsReadString(const char* owner, const char* section, const char* name,
                       const char* default_text, char* destination, std::size_t destination_size);

// The stored text, whole, or `default_text` when missing. Returns true when
// the value was found.
bool SettingsReadText(const char* owner, const char* section, const char* name,
                      const std::string& default_text, std::string& result);

// Reads the text and converts it as base-10 (leading blanks skipped, an
// optional sign, the longest run of digits, the rest ignored; no digits
// yields 0; out-of-range values are clamped). A missing value yields the
// default. Always returns 1.
int SettingsReadInt(const char* owner, const char* section, const char* name, int default_value,
                    int* value);

// Reads the text and converts the longest leading part that forms a
// decimal number ("." always); no such part yields 0. A missing value
// yields the default rounded to six decimals. Always returns 1.
int SettingsReadDouble(const char* owner, const char* section, const char* name,
                       double default_value, double* value);

// The folder that holds the owners' files for the current environment.
std::string SettingsRootFolder();
