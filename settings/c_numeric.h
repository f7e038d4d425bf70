// Numbers the system writes or reads always use ".", whatever the user's
// regional settings: the graphical hosts take the process locale from the
// user's environment, and a decimal comma would make "%f" write "1,000000"
// and strtod stop at ".".
#pragma once

#include <locale.h>

#include <cstdarg>
#include <cstddef>

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

// vsnprintf in the "C" locale: the same result and return value, with "."
// for every decimal point.
int c_vsnprintf(char* buffer, std::size_t size, const char* format, va_list args);
