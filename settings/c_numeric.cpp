#include "settings/c_numeric.h"

#include <cstdio>

namespace {

// One "C" locale object for the life of the process, made on first use.
locale_t c_locale() {
  static locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return locale;
}

}  // namespace

CNumericScope::CNumericScope() : previous_(static_cast<locale_t>(0)) {
  if (locale_t c = c_locale()) previous_ = uselocale(c);
}

CNumericScope::~CNumericScope() {
  if (previous_ != static_cast<locale_t>(0)) uselocale(previous_);
}

int c_vsnprintf(char* buffer, std::size_t size, const char* format, va_list args) {
  CNumericScope numbers;
  return std::vsnprintf(buffer, size, format, args);
}
