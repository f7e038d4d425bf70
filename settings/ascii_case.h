// Case folding of ASCII letters only. Names, extensions and file names compare this way so
// that the user's locale (a Turkish dotless i, say) never changes which of them match.
#pragma once

#include <string>

char ascii_lower(char c);
std::string ascii_lower(std::string text);

// True when a and b differ at most in the case of ASCII letters.
bool equal_ignoring_ascii_case(const char* a, const char* b);
