#include "plugins/xfile_in/number_words.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

static inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IntFromWord(const char* word, int* value) {
  const char* p = word;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (!IsDigit(*p)) return false;
  long long v = 0;
  const long long limit = negative ? 2147483648LL : 2147483647LL;
  for (; IsDigit(*p); ++p) {
    v = v * 10 + (*p - '0');
    if (v > limit) return false;
  }
  *value = static_cast<int>(negative ? -v : v);
  return true;
}

bool FloatFromWord(const char* word, double* value) {
  const char* p = word;
  if (*p == '+' && p[1] != '-') ++p;
  const char* digits = *p == '-' ? p + 1 : p;
  if (!IsDigit(digits[0]) && !(digits[0] == '.' && IsDigit(digits[1]))) return false;
  double v = 0.0;
  const char* end = p + std::strlen(p);
  std::from_chars_result r = std::from_chars(p, end, v, std::chars_format::general);
  if (r.ec == std::errc::result_out_of_range) {
    // Underflow reads as zero; overflow would be infinite and is refused.
    const char* e = r.ptr;
    const char* exponent = nullptr;
    for (const char* q = digits; q < e; ++q)
      if (*q == 'e' || *q == 'E') exponent = q;
    if (exponent == nullptr || exponent[1] != '-') return false;
    v = *p == '-' ? -0.0 : 0.0;
  } else if (r.ec != std::errc()) {
    return false;
  }
  if (!std::isfinite(v)) return false;
  *value = v;
  return true;
}

bool IntFromNumber(double number, int* value) {
  if (!(number > -2147483649.0 && number < 2147483648.0)) return false;
  *value = static_cast<int>(number);
  return true;
}

bool FloatFromNumber(double number, double* value) {
  if (!std::isfinite(number)) return false;
  *value = number;
  return true;
}
