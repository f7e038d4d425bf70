#pragma once

#include <string>

// A small writer of binary and compressed DirectX files for the tests: it takes a DirectX text
// file and writes the same content in another form, so that every text the tests read can
// also be read as binary, compressed binary and compressed text.
enum class XForm { kBinary, kCompressedBinary, kCompressedText };

// Text words become binary tokens: names, strings (with their terminator), GUIDs, braces,
// "template"; runs of numbers become integer lists and float lists of float_bytes (4 or 8)
// bytes; separators are left out, as binary files do. A number a list cannot hold as its
// text reads (an integer beyond 32 bits, a float beyond the range of a 32-bit float) is
// written as a name, which the reader converts like the text word. The header gets the form
// and float size; a text without a header gets one.
std::string ToXForm(const std::string& text, XForm form, int float_bytes);

// Packs a whole stream (header excluded) the way compressed DirectX files hold it, in blocks
// of at most block_bytes, each deflated with the previous block as its dictionary. The result
// starts with the 32-bit size of header and stream and is to follow a 16-byte header.
std::string PackXData(const std::string& stream, std::size_t block_bytes = 32768);
