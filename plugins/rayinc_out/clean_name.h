// Object names as every output file of the ray-tracer export writes them.
#pragma once

#include <string>

// The name made into a scene-language identifier: every character but A-Z, a-z, 0-9 and "_"
// becomes "_", and a leading "X" is put in front when the name starts with a digit, is empty,
// or is a reserved word of the POV-Ray scene language (box, union, mesh, x, ...), which POV-Ray
// refuses after #declare. The ".inc" and the ".udo" file use the same cleaned name, so the
// modeller's object still finds its declaration. Names of any length are kept whole.
std::string clean_name(const char* name);

// True when word is a reserved word of the POV-Ray 3.7 scene language.
bool is_pov_reserved_word(const std::string& word);
