// The text of recently written vectors, so that a point written many times is formatted once.
#pragma once

#include <cstdint>
#include <memory>

#include "meshlib/vec3d.h"

class DelimitedWriter;

// Remembers the "x,y,z" text (three "%f" numbers joined by commas, as put_vector writes it) of
// the last vectors written, one per slot of a table addressed by a number the caller gives
// with the vector (a vertex number). A face's corners are mostly corners of the faces just
// before it (every inner vertex of a grid is a corner of six faces), and their vertex numbers
// are near those of the last corners, so most corners are copied from a slot still in the
// processor's cache instead of formatted again. A slot is used only when it holds the
// vector's very bits (-0.0 and 0.0 differ), so the number decides where to look, never what
// is written. One cache serves one thread.
class VectorTextCache {
 public:
  // A table of about expected_vectors slots, at least 64 and at most 4,096.
  explicit VectorTextCache(int32_t expected_vectors);

  // Appends the text of v to out, the same bytes as out.Fixed(v.x).Char(',').Fixed(v.y)
  // .Char(',').Fixed(v.z), looking for it in the slot of number where.
  void put(DelimitedWriter& out, const Vec3d& v, uint32_t where);

 private:
  // 64 bytes: the vector, and its text when that is short enough (length 0: the slot is free).
  struct Slot {
    double key[3];
    char text[39];
    uint8_t length;
  };
  std::unique_ptr<Slot[]> slots_;
  uint32_t mask_;  // slot count less one
};
