// Appearance: the colour and finish a mesh may carry from file to file. A mesh without one
// (Mesh3d::has_appearance 0) is drawn and written as before colours travelled; writers that
// know no colours ignore it. It is plain data, so it crosses the plug-in boundary with the mesh.
#pragma once

#include <cstdint>
#include <string>

// The kind of surface, enough to render it believably in every writer that knows materials.
// The values are stored in files and settings by their words, never by number.
enum class Finish : int32_t {
  kPlastic = 0,  // plain, slightly shiny
  kTransparent,  // see-through plastic or glass (colour alpha below 1)
  kChrome,       // mirror-like metal
  kMetal,        // dull or brushed metal
  kPearl,        // pearlescent
  kRubber,       // dull, no highlight
  kGlow,         // emits light of its colour
};

struct Appearance {
  // Colour as written in model files (sRGB, 0 to 1) and its opacity (1 opaque, 0 invisible).
  double rgba[4] = {0.8, 0.8, 0.8, 1.0};
  Finish finish = Finish::kPlastic;
  // Highlight as DirectX materials state it: the exponent (0 for none) and its colour.
  double specular_power = 0.0;
  double specular[3] = {0.0, 0.0, 0.0};
  // Light the surface gives off by itself (sRGB, 0 to 1); black for all but glowing finishes.
  double emissive[3] = {0.0, 0.0, 0.0};
};

bool operator==(const Appearance& a, const Appearance& b);
inline bool operator!=(const Appearance& a, const Appearance& b) { return !(a == b); }

// The finish's word: "plastic", "transparent", "chrome", "metal", "pearl", "rubber", "glow".
const char* finish_word(Finish finish);
// The finish of a word above; false (finish untouched) for any other text.
bool finish_from_word(const char* word, Finish* finish);

// "#RRGGBB", or "#RRGGBBAA" when the colour is not opaque; channels rounded and clamped.
std::string colour_text(const Appearance& appearance);

// The physically based pair that glTF and similar formats use, from the finish: metallic and
// roughness factors in 0 to 1.
void finish_to_pbr(const Appearance& appearance, double* metallic, double* roughness);
// The finish that best matches a physically based material (alpha decides transparency first).
Finish finish_from_pbr(double metallic, double roughness, double alpha, bool emissive);
