#include "plugins/brick_in/ldraw_colours.h"

namespace {

const char* const kColourNames[16] = {"Black",     "Blue",       "Green",       "Dark Cyan",
                                      "Red",       "Magenta",    "Brown",       "Grey",
                                      "Dark Grey", "Light Blue", "Light Green", "Cyan",
                                      "Light Red", "Pink",       "Yellow",      "White"};

}  // namespace

std::string ldraw_colour_description(int32_t colour) {
  if (colour >= 0 && colour <= 15) return std::string("[Solid ") + kColourNames[colour] + "]\n";
  if (colour == 16 || colour == 24 || (colour >= 256 && colour <= 511)) return "\n";
  if (colour >= 32 && colour <= 47)
    return std::string("[Clear ") + kColourNames[colour - 32] + "]\n";
  return "color unknown\n";
}
