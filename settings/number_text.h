// Numbers written as text without printf: the same bytes as the "%f" and "%d" conversions in
// the "C" locale, at a fraction of their cost. The exporters write millions of numbers per
// model, and printf's general machinery (locale, format parsing, multi-precision rounding)
// was most of an export's time.
#pragma once

#include <cstdint>

// Longest text format_fixed6 writes: the sign, 309 integer digits, "." and six decimals.
constexpr int kFixed6Capacity = 320;

// Writes v as "%f" does (six decimals, round half to even on the exact binary value, "-" for
// every negative value including -0.0 and those that round to zero, "inf", "-inf", "nan",
// "-nan") at out, which holds kFixed6Capacity bytes, and returns the end. No terminating NUL.
char* format_fixed6(char* out, double v);

// Writes v as "%d" does at out (at least 11 bytes) and returns the end. No terminating NUL.
inline char* format_int(char* out, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  if (v < 0) {
    *out++ = '-';
    u = 0u - u;
  }
  char digits[10];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + u % 10u);
    u /= 10u;
  } while (u != 0);
  while (n > 0) *out++ = digits[--n];
  return out;
}
