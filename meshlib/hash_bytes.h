// The byte hash shared by the three welding tables, and the keys built from it.
//
// hash_bytes(h, bytes, n, m): for each of the n bytes in memory order h = h*31 + the byte as a
// signed 8-bit value, in unsigned 32-bit arithmetic, and finally h mod m. A key chains the
// hash over its parts (three little-endian doubles for a vertex; the sorted indices of a face
// or edge, four little-endian bytes each), reducing modulo the bucket count after every part.
// The reduction after each part is part of the hash: bucket numbers are stable across
// releases and tested.
//
// The keyed versions compute exactly the same numbers faster: eight (four) rounds of
// h = h*31 + b unroll to h*31^8 + sum(b_i * 31^(7-i)), whose products are independent, and
// the modulo uses a precomputed reciprocal instead of a division.
#pragma once

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "meshlib/vec3d.h"

// The plain definition, byte by byte.
uint32_t hash_bytes(uint32_t h, const void* bytes, int32_t n, uint32_t m);

// x mod d for every 32-bit x, with the reciprocal from bucket_magic(d) (d >= 1).
inline uint64_t bucket_magic(uint32_t d) { return UINT64_MAX / d + 1; }
inline uint32_t bucket_mod(uint32_t x, uint64_t magic, uint32_t d) {
  uint64_t low = magic * x;
  return static_cast<uint32_t>((static_cast<unsigned __int128>(low) * d) >> 64);
}

namespace hash_detail {
constexpr uint32_t kP1 = 31u, kP2 = kP1 * 31u, kP3 = kP2 * 31u, kP4 = kP3 * 31u, kP5 = kP4 * 31u,
                   kP6 = kP5 * 31u, kP7 = kP6 * 31u, kP8 = kP7 * 31u;

inline uint32_t sbyte(uint64_t bits, int i) {
  return static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(bits >> (8 * i))));
}

// Eight rounds over the little-endian bytes of bits.
inline uint32_t rounds8(uint32_t h, uint64_t bits) {
  return h * kP8 + sbyte(bits, 0) * kP7 + sbyte(bits, 1) * kP6 + sbyte(bits, 2) * kP5 +
         sbyte(bits, 3) * kP4 + sbyte(bits, 4) * kP3 + sbyte(bits, 5) * kP2 + sbyte(bits, 6) * kP1 +
         sbyte(bits, 7);
}

// Four rounds over the little-endian bytes of v.
inline uint32_t rounds4(uint32_t h, int32_t v) {
  uint64_t bits = static_cast<uint32_t>(v);
  return h * kP4 + sbyte(bits, 0) * kP3 + sbyte(bits, 1) * kP2 + sbyte(bits, 2) * kP1 +
         sbyte(bits, 3);
}

inline uint64_t double_bits(double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  return bits;
}
}  // namespace hash_detail

#if defined(__SSE2__)
namespace hash_detail {
// The weight 31^(7 - i) of byte i in rounds8 as the sum lo + 65536 * hi of two signed 16-bit
// halves (modulo 2^32), for the 16-bit multiply-adds below.
constexpr uint32_t kWeight[8] = {kP7, kP6, kP5, kP4, kP3, kP2, kP1, 1u};
constexpr int16_t low_half(uint32_t w) { return static_cast<int16_t>(static_cast<uint16_t>(w)); }
constexpr int16_t high_half(uint32_t w) {
  return static_cast<int16_t>(
      static_cast<uint16_t>((w - static_cast<uint32_t>(static_cast<int32_t>(low_half(w)))) >> 16));
}

// rounds8(0, bits) of each of the three doubles of v: the eight signed bytes times their
// weights, summed, all 24 bytes at once. A byte times a half is below 2^22 in size, so the
// multiply-adds are exact, and the sums modulo 2^32 are those of the scalar rounds.
inline void byte_sums(const Vec3d& v, uint32_t out[3]) {
  const __m128i lo = _mm_setr_epi16(
      low_half(kWeight[0]), low_half(kWeight[1]), low_half(kWeight[2]), low_half(kWeight[3]),
      low_half(kWeight[4]), low_half(kWeight[5]), low_half(kWeight[6]), low_half(kWeight[7]));
  const __m128i hi = _mm_setr_epi16(
      high_half(kWeight[0]), high_half(kWeight[1]), high_half(kWeight[2]), high_half(kWeight[3]),
      high_half(kWeight[4]), high_half(kWeight[5]), high_half(kWeight[6]), high_half(kWeight[7]));
  const __m128i xy = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&v.x));
  const __m128i z = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&v.z));
  // Each byte twice in a 16-bit lane, shifted down with its sign: the byte sign-extended.
  const __m128i bytes[3] = {_mm_srai_epi16(_mm_unpacklo_epi8(xy, xy), 8),
                            _mm_srai_epi16(_mm_unpackhi_epi8(xy, xy), 8),
                            _mm_srai_epi16(_mm_unpacklo_epi8(z, z), 8)};
  for (int k = 0; k < 3; ++k) {
    __m128i sum = _mm_add_epi32(_mm_madd_epi16(bytes[k], lo),
                                _mm_slli_epi32(_mm_madd_epi16(bytes[k], hi), 16));
    sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, _MM_SHUFFLE(1, 0, 3, 2)));
    sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, _MM_SHUFFLE(2, 3, 0, 1)));
    out[k] = static_cast<uint32_t>(_mm_cvtsi128_si32(sum));
  }
}
}  // namespace hash_detail
#endif

// Bucket of a vertex position among m buckets.
inline uint32_t vertex_key(const Vec3d& v, uint64_t magic, uint32_t m) {
  using namespace hash_detail;
#if defined(__SSE2__)
  // rounds8(h, bits) is h * 31^8 plus the byte sum of bits.
  uint32_t sums[3];
  byte_sums(v, sums);
  uint32_t h = bucket_mod(sums[0], magic, m);
  h = bucket_mod(h * kP8 + sums[1], magic, m);
  return bucket_mod(h * kP8 + sums[2], magic, m);
#else
  uint32_t h = bucket_mod(rounds8(0, double_bits(v.x)), magic, m);
  h = bucket_mod(rounds8(h, double_bits(v.y)), magic, m);
  return bucket_mod(rounds8(h, double_bits(v.z)), magic, m);
#endif
}

// Bucket of the sorted index triple lo <= mid <= hi.
inline uint32_t sorted_face_key(int32_t lo, int32_t mid, int32_t hi, uint64_t magic, uint32_t m) {
  using namespace hash_detail;
  uint32_t h = bucket_mod(rounds4(0, lo), magic, m);
  h = bucket_mod(rounds4(h, mid), magic, m);
  return bucket_mod(rounds4(h, hi), magic, m);
}

// Bucket of the sorted index pair lo <= hi.
inline uint32_t sorted_edge_key(int32_t lo, int32_t hi, uint64_t magic, uint32_t m) {
  using namespace hash_detail;
  uint32_t h = bucket_mod(rounds4(0, lo), magic, m);
  return bucket_mod(rounds4(h, hi), magic, m);
}

inline void sort3(int32_t& a, int32_t& b, int32_t& c) {
  int32_t t;
  if (b < a) {
    t = a;
    a = b;
    b = t;
  }
  if (c < b) {
    t = b;
    b = c;
    c = t;
  }
  if (b < a) {
    t = a;
    a = b;
    b = t;
  }
}

// Chains of the face and edge tables. Face and edge keys are exact (equal sorted indices), so
// the chain a key is looked up in cannot change which index an add returns; the tables
// therefore keep their chains by their own spread of the sorted indices rather than by the
// byte hash above, which folds most index triples of a mesh into few buckets. bucket_of still
// gives the byte hash's bucket numbers.
//
// The chain starts from the smallest index times the table's entries per vertex of a typical
// closed mesh (four face buckets, six edge buckets) and adds a mix of the other indices spread
// over a window of 16384 chains: the faces and edges an importer adds one after another share
// their smallest indices with recent ones, so their chains lie in a few cache lines of the
// bucket array, while faces or edges around one vertex, even thousands of them, still spread
// over the whole window.
inline uint32_t mix_window(uint64_t k) {
  k *= 0x9E3779B97F4A7C15ull;
  k ^= k >> 29;
  return static_cast<uint32_t>(k >> 50);  // 0 ... 16383
}

inline uint32_t sorted_face_chain(int32_t lo, int32_t mid, int32_t hi, uint32_t m) {
  uint64_t rest =
      (static_cast<uint64_t>(static_cast<uint32_t>(mid)) << 32) | static_cast<uint32_t>(hi);
  return static_cast<uint32_t>(
      (static_cast<uint64_t>(static_cast<uint32_t>(lo)) * 4u + mix_window(rest)) % m);
}

inline uint32_t sorted_edge_chain(int32_t lo, int32_t hi, uint32_t m) {
  return static_cast<uint32_t>((static_cast<uint64_t>(static_cast<uint32_t>(lo)) * 6u +
                                mix_window(static_cast<uint32_t>(hi))) %
                               m);
}
