#include "plugins/rayinc_out/vector_text_cache.h"

#include <cstring>

#include "settings/delimited_writer.h"
#include "settings/number_text.h"

VectorTextCache::VectorTextCache(int32_t expected_vectors) {
  uint32_t bits = 6;
  while (bits < 12 && (int64_t{1} << bits) < int64_t{expected_vectors}) ++bits;
  mask_ = (uint32_t{1} << bits) - 1;
}

void VectorTextCache::put(DelimitedWriter& out, const Vec3d& v, uint32_t where) {
  uint64_t bits[3];
  std::memcpy(&bits[0], &v.x, 8);
  std::memcpy(&bits[1], &v.y, 8);
  std::memcpy(&bits[2], &v.z, 8);
  // The table is made on first use: a writer of many small meshes makes a cache per mesh, and
  // one for normals that a mesh of flat faces never uses.
  if (!slots_) slots_.reset(new Slot[std::size_t{mask_} + 1]());
  Slot& slot = slots_[where & mask_];
  if (slot.length != 0 && std::memcmp(slot.key, bits, sizeof bits) == 0) {
    out.Raw(slot.text, slot.length);
    return;
  }
  char text[3 * kFixed6Capacity + 2];
  char* end = format_fixed6(text, v.x);
  *end++ = ',';
  end = format_fixed6(end, v.y);
  *end++ = ',';
  end = format_fixed6(end, v.z);
  const std::size_t length = static_cast<std::size_t>(end - text);
  out.Raw(text, length);
  if (length <= sizeof slot.text) {
    std::memcpy(slot.key, bits, sizeof bits);
    std::memcpy(slot.text, text, length);
    slot.length = static_cast<uint8_t>(length);
  }
}
