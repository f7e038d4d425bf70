// The colours of LDraw colour codes: the library's colour file ("LDConfig.ldr", lines of the form
// "0 !COLOUR name CODE n VALUE #RRGGBB EDGE ... [ALPHA a] [LUMINANCE l] [CHROME | PEARLESCENT |
// RUBBER | MATTE_METALLIC | METAL | MATERIAL ...]"), a built-in table of the standard codes when
// there is no such file, and direct colours ("0x2RRGGBB" opaque, "0x3RRGGBB" transparent).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "meshlib/appearance.h"

// The code that stands for the colour of the reference that places a part ("main colour"), and
// the edge colour, which faces inherit the same way.
constexpr int32_t kMainColour = 16;
constexpr int32_t kEdgeColour = 24;

// One colour definition of a "0 !COLOUR" line.
struct LDrawColour {
  int32_t code = 0;
  uint32_t rgb = 0;       // 0xRRGGBB
  int32_t alpha = 255;    // 0 to 255
  int32_t luminance = 0;  // 0 to 255; above 0 the colour glows
  Finish finish = Finish::kPlastic;
};

// Reads a "0 !COLOUR" line (leading blanks allowed, words in any case). False for any other
// line and for a definition without a CODE in 0..2^31-1 or without a VALUE "#RRGGBB"; unknown
// words are passed over, and the words after MATERIAL (which name a second colour) are not read.
bool parse_colour_line(const std::string& line, LDrawColour& colour);

// The appearance of a definition: its colour, alpha as opacity, and a highlight that suits its
// finish (the finish words first, then glowing, then transparent, then rubber, else plastic).
Appearance appearance_of(const LDrawColour& colour);

class LDrawColourTable {
 public:
  // The built-in table: the library's values for 0 to 47, 70 to 72, the common solid colours,
  // the chrome, metallic, pearlescent and rubber colours most parts use.
  LDrawColourTable();

  // Replaces the table with the definitions of the colour file text (later definitions of a
  // code win). False, table unchanged, when the text defines no colour.
  bool load_text(const std::string& text);
  // The same for the text of the file at path; false when it is not a readable regular file.
  bool load_file(const std::string& path);

  // The appearance of code: a defined code, or a direct colour 0x2RRGGBB (opaque) or 0x3RRGGBB
  // (transparent, half opacity). False, appearance untouched, for any other code.
  bool find(int32_t code, Appearance& appearance) const;

  // The main colour: the definition of code 16, or light grey (code 7) when the table has none.
  Appearance main_colour() const;

  int32_t size() const { return static_cast<int32_t>(colours_.size()); }

 private:
  std::map<int32_t, LDrawColour> colours_;
};

// The library's colour file: "LDConfig.ldr" (any case) in the first of folders that holds one.
// Empty when none does.
std::string find_colour_file(const std::vector<std::string>& folders);

// The folders where a colour file is looked for, in order: the library folder (LDRAWDIR or the
// usual places), the parent of every folder of the search path, the model file's folder.
std::vector<std::string> colour_file_folders(const std::string& search_path,
                                             const std::string& model_file);
