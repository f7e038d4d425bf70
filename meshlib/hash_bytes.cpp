#include "meshlib/hash_bytes.h"

uint32_t hash_bytes(uint32_t h, const void* bytes, int32_t n, uint32_t m) {
  const unsigned char* p = static_cast<const unsigned char*>(bytes);
  for (int32_t i = 0; i < n; ++i)
    h = h * 31u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(p[i])));
  return h % m;
}
