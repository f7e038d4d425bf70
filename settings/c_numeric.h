// Numbers the system writes or reads always use ".", whatever the user's
// regional settings: the graphical hosts take the process locale from the
// user's environment, and a decimal comma would make "%f" write "1,000000"
// and strtod stop at ".".
#pragma once

#include <locale.h>

// While alive, the calling thread formats and converts numbers in the "C"
// locale; the previous thread locale comes back on destruction.
class CNumericScope {
 public:
  CNumericScope();
  ~CNumericScope();
  CNumericScope(const CNumericScope&) = delete;
  CNumericScope& operator=(const CNumericScope&) = delete;

 private:
  locale_t previous_;
};
