// LDraw lines for the tests' models, and the private folder they are written to.
#pragma once

#include <sstream>
#include <string>

#include "support/temp_folder.h"

// An LDraw reference line placing name with colour by the identity matrix moved to (x, y, z).
inline std::string ref_line(int colour, double x, double y, double z, const std::string& name) {
  std::ostringstream line;
  line << "1 " << colour << " " << x << " " << y << " " << z << " 1 0 0 0 1 0 0 0 1 " << name
       << "\n";
  return line.str();
}
