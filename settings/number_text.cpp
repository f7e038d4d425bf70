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
    // r < 2^52, so the conversion to an integer truncates exactly: the floor of r.
    const uint64_t whole = static_cast<uint64_t>(r);
    const double fraction = r - static_cast<double>(whole);
    if (std::fabs(fraction - 0.5) > r * 0x1p-51) {
      const uint64_t n = whole + (fraction > 0.5 ? 1u : 0u);
      if (negative) *out++ = '-';
      uint32_t integer = static_cast<uint32_t>(n / 1000000u);
      const uint32_t decimals = static_cast<uint32_t>(n - uint64_t{integer} * 1000000u);
      // Whole parts of up to four digits (nearly every coordinate) in fixed-size pieces.
      if (integer < 10) {
        *out++ = static_cast<char>('0' + integer);
      } else if (integer < 100) {
        std::memcpy(out, kPairs.text + 2 * integer, 2);
        out += 2;
      } else if (integer < 1000) {
        *out = static_cast<char>('0' + integer / 100u);
        std::memcpy(out + 1, kPairs.text + 2 * (integer % 100u), 2);
        out += 3;
      } else if (integer < 10000) {
        std::memcpy(out, kPairs.text + 2 * (integer / 100u), 2);
        std::memcpy(out + 2, kPairs.text + 2 * (integer % 100u), 2);
        out += 4;
      } else {
        char digits[12];
        int k = 12;
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
        std::memcpy(out, digits + k, static_cast<std::size_t>(12 - k));
        out += 12 - k;
      }
      *out = '.';
      const uint32_t high = decimals / 10000u, low = decimals % 10000u;
      std::memcpy(out + 1, kPairs.text + 2 * high, 2);
      std::memcpy(out + 3, kPairs.text + 2 * (low / 100u), 2);
      std::memcpy(out + 5, kPairs.text + 2 * (low % 100u), 2);
      return out + 7;
    }
  }
  // The exact conversion: the standard library's shortest-digit machinery for a fixed
  // precision, which rounds the exact binary value as printf does.
  if (negative) *out++ = '-';
  std::to_chars_result r =
      std::to_chars(out, out + kFixed6Capacity - 1, a, std::chars_format::fixed, 6);
  return r.ptr;
}
