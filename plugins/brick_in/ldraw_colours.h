// Colour texts of the "Scene Elements" log.
#pragma once

#include <cstdint>
#include <string>

// The text that follows "Scene Name: <name> (<colour>) ", newline included: "[Solid Red]\n" for
// the sixteen solid colours 0 to 15, "[Clear Light Blue]\n" for their transparent forms 32 to
// 47, a bare "\n" for 16, 24 and 256 to 511, and "color unknown\n" for any other value (direct
// colours such as 0x2FF0000 among them).
std::string ldraw_colour_description(int32_t colour);
