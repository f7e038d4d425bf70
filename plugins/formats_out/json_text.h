// Text pieces of the glTF JSON document: strings that are always valid UTF-8 JSON, numbers that
// always use ".", and URIs that name a file beside the document.
#pragma once

#include <string>

// Appends text as a quoted JSON string. Bytes that do not form valid UTF-8 are taken as
// Latin-1 characters (the names of older model files), so the result is always valid UTF-8;
// quotes, backslashes and control characters are escaped.
void append_json_string(std::string& out, const std::string& text);

// Appends v with up to nine significant digits, enough that a float reads back as the same
// float (accessor bounds must equal the values they bound); "." whatever the user's locale.
// A value that is not finite is written as 0.
void append_json_number(std::string& out, double v);

// A file name as a relative URI reference: every byte outside the unreserved set (letters,
// digits, "-", ".", "_", "~") is written as %XX.
std::string file_uri(const std::string& file_name);
