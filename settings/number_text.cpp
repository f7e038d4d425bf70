#include "settings/number_text.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// "00" ... "99".
struct DigitPairs {
  char text[200];
  constexpr DigitPairs() : text() {
    for (int i = 0; i < 100; ++i) {
      text[2 * i] = static_cast<char>('0' + i / 10);
      text[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
  }
};
constexpr DigitPairs kPairs;

char* copy(char* out, const char* text) {
  std::size_t n = std::strlen(text);
  std::memcpy(out, text, n);
  return out + n;
}

}  // namespace

char* format_fixed6(char* out, double v) {
  const bool negative = std::signbit(v);
  if (std::isnan(v)) return copy(out, negative ? "-nan" : "nan");
  if (std::isinf(v)) return copy(out, negative ? "-inf" : "inf");
  const double a = negative ? -v : v;
  if (a < 2147483648.0) {
    // r = a * 10^6 rounded; it lies within r * 2^-53 of the exact product. When its fraction
    // is farther than that from one half, the exact product rounds to the same whole number,
    // so the six decimals are those of r rounded. Closer cases (true halves among them) go to
    // the exact conversion below.
    const double r = a * 1e6;
    const double whole = std::floor(r);
    const double fraction = r - whole;
    if (std::fabs(fraction - 0.5) > r * 0x1p-51) {
      uint64_t n = static_cast<uint64_t>(whole) + (fraction > 0.5 ? 1u : 0u);
      if (negative) *out++ = '-';
      uint64_t integer = n / 1000000u;
      uint32_t decimals = static_cast<uint32_t>(n % 1000000u);
      if (integer < 10) {
        *out++ = static_cast<char>('0' + integer);
      } else {
        char digits[20];
        int k = 20;
        while (integer >= 100) {
          k -= 2;
          std::memcpy(digits + k, kPairs.text + 2 * (integer % 100u), 2);
          integer /= 100u;
        }
        if (integer >= 10) {
          k -= 2;
          std::memcpy(digits + k, kPairs.text + 2 * integer, 2);
        } else {
          digits[--k] = static_cast<char>('0' + integer);
        }
        std::memcpy(out, digits + k, static_cast<std::size_t>(20 - k));
        out += 20 - k;
      }
      *out++ = '.';
      std::memcpy(out + 4, kPairs.text + 2 * (decimals % 100u), 2);
      decimals /= 100u;
      std::memcpy(out + 2, kPairs.text + 2 * (decimals % 100u), 2);
      std::memcpy(out, kPairs.text + 2 * (decimals / 100u), 2);
      return out + 6;
    }
  }
  // The exact conversion: the standard library's shortest-digit machinery for a fixed
  // precision, which rounds the exact binary value as printf does.
  if (negative) *out++ = '-';
  std::to_chars_result r =
      std::to_chars(out, out + kFixed6Capacity - 1, a, std::chars_format::fixed, 6);
  return r.ptr;
}
