// Reading and writing the text files of the system.
#pragma once

#include <cstdarg>
#include <cstdio>

// Opens path for reading in binary mode when it is a regular file; null for anything else
// (missing, a folder, a FIFO or device, which could block the reader for ever). Never waits.
std::FILE* open_regular_file(const char* path);

// Size in bytes of an open file; the read position is unchanged afterwards.
// -1 when the stream cannot seek.
long file_size(std::FILE* file);

// Reads the next line into `buffer` of `capacity` bytes. "\n", "\r" and
// "\r\n" each end exactly one line; any other byte below 32 except the tab
// ends the line and is consumed; a tab is stored as a blank; bytes of 128
// and above (UTF-8) belong to the line. After capacity - 1 characters the
// line ends and the rest comes with the next call. Returns `buffer` (always
// terminated, never holding line-ending bytes), or null at the end of the
// file when no byte was read, or when capacity < 2.
char* read_line(char* buffer, int capacity, std::FILE* file);

// First character of `text` that is not a blank (tabs are not skipped).
const char* skip_blanks(const char* text);
char* skip_blanks(char* text);

// Line delimiter modes: the bytes written for each "\n" of the formatted text.
enum LineDelimiter { LD_DOS = 0 /* "\r\n" */, LD_UNIX = 1 /* "\n" */, LD_MAC = 2 /* "\r" */ };

// Formats like printf (numbers always with ".", whatever the user's locale)
// and writes the text with every "\n" replaced by the line end of `ld_mode`;
// any other mode drops the newline. Texts of any length are written whole.
// Returns the length of the formatted text before replacement, -1 on a
// format error (nothing written).
int print_delimited(int ld_mode, std::FILE* file, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;
int vprint_delimited(int ld_mode, std::FILE* file, const char* format, std::va_list args);

// Writes the three values with "%f", separated by a blank (separator mode
// 0), a comma (1) or a tab (2; any other mode also a blank), through
// print_delimited. Returns the length written.
int print_vector(int ld_mode, std::FILE* file, const double* xyz, int separator_mode);
int print_vector(int ld_mode, std::FILE* file, double x, double y, double z, int separator_mode);
