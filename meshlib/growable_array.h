// GrowableArray: the one shape of the library's small growable arrays (PointList, RecordList,
// IndexList). The importers collect positions, index lists and per-part records in them
// before the triangles go into a mesh. Memory comes from must_alloc / must_realloc, so an
// exhausted heap ends the process with exit status 1.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "settings/memory.h"

template <typename T, int32_t DefaultCapacity>
class GrowableArray {
 public:
  // Room for capacity elements (a negative capacity counts as 0: no block yet).
  explicit GrowableArray(int32_t capacity = DefaultCapacity)
      : data(nullptr), capacity(capacity > 0 ? capacity : 0), count(0) {
    if (this->capacity > 0) data = static_cast<T*>(must_alloc(sizeof(T) * this->capacity));
  }
  ~GrowableArray() {
    if (data) must_free(data);
    data = nullptr;
    capacity = 0;
    count = 0;
  }
  GrowableArray(const GrowableArray&) = delete;
  GrowableArray& operator=(const GrowableArray&) = delete;

  // Copies element to index count. When full the capacity doubles (an array made with
  // capacity 0 gets room for one element first).
  void append(const T& element) {
    if (count + 1 > capacity) {
      if (capacity > INT32_MAX / 2) std::exit(1);
      int32_t grown = capacity > 0 ? capacity * 2 : 1;
      data = static_cast<T*>(must_realloc(data, sizeof(T) * static_cast<size_t>(grown)));
      capacity = grown;
    }
    data[count++] = element;
  }

  // Copy out of / into index i. i must be below count; both do nothing while there is no block.
  void get(int32_t i, T& out) const {
    if (data) out = data[i];
  }
  void set(int32_t i, const T& element) {
    if (data) data[i] = element;
  }

  // Drops the last element.
  void pop() {
    if (data && count > 0) --count;
  }

  T* data;
  int32_t capacity;
  int32_t count;
};
