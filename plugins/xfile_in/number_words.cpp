#include "plugins/xfile_in/number_words.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>

static inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value of a plain decimal word (digits with at most one point, nothing else, as every
// writer of coordinates puts them), or false for any other word. When the digits make a
// whole number m of at most 2^53 and the point stands k <= 22 places from the end, m and 10^k
// are exact doubles and their quotient is the correctly rounded value: exactly what the full
// conversion gives, for a fraction of its time.
static bool PlainDecimal(const char* digits, double* value) {
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  std::uint64_t m = 0;
  int count = 0, decimals = -1;
  for (const char* p = digits;; ++p) {
    if (IsDigit(*p)) {
      if (++count > 19) return false;
      m = m * 10 + static_cast<std::uint64_t>(*p - '0');
      if (decimals >= 0) ++decimals;
    } else if (*p == '.' && decimals < 0) {
      decimals = 0;
    } else if (*p == '\0') {
      break;
    } else {
      return false;
    }
  }
  if (count == 0 || m > (std::uint64_t(1) << 53) || decimals > 22) return false;
  *value = static_cast<double>(m) / kPowers[decimals < 0 ? 0 : decimals];
  return true;
}

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
  if (PlainDecimal(digits, &v)) {
    *value = *p == '-' ? -v : v;
    return true;
  }
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
