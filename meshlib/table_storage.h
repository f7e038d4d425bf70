// Sizing and growth of the welding tables' arrays. Every block comes from must_alloc and
// must_realloc, so an exhausted heap ends the process with exit status 1; a table that would
// need more than 2^31 - 1 entries ends it the same way.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "settings/memory.h"

namespace table_storage {

// Capacity or bucket count factor * n / divisor for a size hint n, with the hint rules of the
// tables: a negative hint ends the process, 0 counts as 1.
inline int32_t scaled_hint(int32_t n, int64_t factor, int64_t divisor, int32_t floor) {
  if (n < 0) std::exit(1);
  if (n == 0) n = 1;
  int64_t v = static_cast<int64_t>(n) * factor / divisor;
  if (v > INT32_MAX) std::exit(1);
  return v < floor ? floor : static_cast<int32_t>(v);
}

template <typename T>
inline T* allocate(int64_t count) {
  return static_cast<T*>(must_alloc(static_cast<size_t>(count) * sizeof(T)));
}

template <typename T>
inline void resize(T*& block, int64_t count) {
  block = static_cast<T*>(must_realloc(block, static_cast<size_t>(count) * sizeof(T)));
}

template <typename T>
inline void release(T*& block) {
  if (block) must_free(block);
  block = nullptr;
}

// Twice capacity, ending the process when that leaves the int32 index range.
inline int32_t doubled(int32_t capacity) {
  if (capacity > INT32_MAX / 2) std::exit(1);
  return capacity < 1 ? 1 : capacity * 2;
}

// A bucket array of m empty chains.
inline int32_t* empty_buckets(int32_t m) {
  int32_t* b = allocate<int32_t>(m);
  for (int32_t i = 0; i < m; ++i) b[i] = -1;
  return b;
}

}  // namespace table_storage
