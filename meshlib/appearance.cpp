#include "meshlib/appearance.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

const char* const kFinishWords[] = {"plastic", "transparent", "chrome", "metal",
                                    "pearl",   "rubber",      "glow"};
constexpr int kFinishCount = sizeof(kFinishWords) / sizeof(kFinishWords[0]);

int channel_byte(double c) {
  if (!(c > 0.0)) return 0;  // also NaN
  if (c >= 1.0) return 255;
  return static_cast<int>(std::lround(c * 255.0));
}

bool same3(const double* a, const double* b) { return std::memcmp(a, b, 3 * sizeof(double)) == 0; }

}  // namespace

bool operator==(const Appearance& a, const Appearance& b) {
  return std::memcmp(a.rgba, b.rgba, sizeof(a.rgba)) == 0 && a.finish == b.finish &&
         a.specular_power == b.specular_power && same3(a.specular, b.specular) &&
         same3(a.emissive, b.emissive);
}

const char* finish_word(Finish finish) {
  int i = static_cast<int>(finish);
  return i >= 0 && i < kFinishCount ? kFinishWords[i] : kFinishWords[0];
}

bool finish_from_word(const char* word, Finish* finish) {
  if (!word) return false;
  for (int i = 0; i < kFinishCount; ++i) {
    if (std::strcmp(word, kFinishWords[i]) == 0) {
      *finish = static_cast<Finish>(i);
      return true;
    }
  }
  return false;
}

std::string colour_text(const Appearance& appearance) {
  char text[16];
  const double* c = appearance.rgba;
  int alpha = channel_byte(c[3]);
  if (alpha == 255)
    std::snprintf(text, sizeof text, "#%02X%02X%02X", channel_byte(c[0]), channel_byte(c[1]),
                  channel_byte(c[2]));
  else
    std::snprintf(text, sizeof text, "#%02X%02X%02X%02X", channel_byte(c[0]), channel_byte(c[1]),
                  channel_byte(c[2]), alpha);
  return text;
}

void finish_to_pbr(const Appearance& appearance, double* metallic, double* roughness) {
  switch (appearance.finish) {
    case Finish::kChrome:
      *metallic = 1.0, *roughness = 0.05;
      break;
    case Finish::kMetal:
      *metallic = 1.0, *roughness = 0.35;
      break;
    case Finish::kPearl:
      *metallic = 0.4, *roughness = 0.25;
      break;
    case Finish::kRubber:
      *metallic = 0.0, *roughness = 0.9;
      break;
    case Finish::kTransparent:
      *metallic = 0.0, *roughness = 0.05;
      break;
    case Finish::kGlow:
    case Finish::kPlastic:
    default:
      *metallic = 0.0, *roughness = 0.3;
      break;
  }
}

Finish finish_from_pbr(double metallic, double roughness, double alpha, bool emissive) {
  if (emissive) return Finish::kGlow;
  if (alpha < 1.0) return Finish::kTransparent;
  if (metallic >= 0.7) return roughness < 0.2 ? Finish::kChrome : Finish::kMetal;
  if (metallic >= 0.3) return Finish::kPearl;
  if (roughness >= 0.75) return Finish::kRubber;
  return Finish::kPlastic;
}
