#include "plugins/povscene_out/scene_texture.h"

#include <algorithm>
#include <cmath>

namespace {

double unit(double v) { return v > 0.0 ? std::min(v, 1.0) : 0.0; }  // NaN gives 0

void put_linear_rgb(const IncStream& out, const double* srgb) {
  put_text(out, "<");
  put_vector(out, Vec3d{linear_channel(srgb[0]), linear_channel(srgb[1]), linear_channel(srgb[2])});
  put_text(out, ">");
}

void put_number(const IncStream& out, const char* word, double v) {
  put_text(out, word);
  put_fixed(out, v);
}

// The highlight a model file states: its strength from the brightest specular channel, its
// size from the exponent (POV-Ray's roughness is about one over the exponent).
bool put_stated_highlight(const IncStream& out, const Appearance& a) {
  if (!(a.specular_power > 0.0)) return false;
  const double strength = unit(std::max({a.specular[0], a.specular[1], a.specular[2]}));
  put_number(out, " specular ", strength);
  put_number(out, " roughness ", std::min(std::max(1.0 / a.specular_power, 0.0005), 1.0));
  return true;
}

}  // namespace

Appearance neutral_appearance() {
  Appearance a;
  a.rgba[0] = a.rgba[1] = a.rgba[2] = 0.8;
  a.rgba[3] = 1.0;
  a.finish = Finish::kPlastic;
  return a;
}

double linear_channel(double srgb) {
  const double c = unit(srgb);
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

void put_texture(const IncStream& out, const std::string& name, const Appearance& a) {
  const double alpha = std::isnan(a.rgba[3]) ? 1.0 : unit(a.rgba[3]);
  const bool see_through = a.finish == Finish::kTransparent || alpha < 1.0;
  put_text(out, "#declare ");
  put_text(out, name.c_str());
  put_text(out, " = texture {\n  pigment { ");
  if (see_through) {
    const double filter = a.finish == Finish::kTransparent && alpha >= 1.0 ? 0.5 : 1.0 - alpha;
    put_text(out, "rgbf <");
    put_vector(out, Vec3d{linear_channel(a.rgba[0]), linear_channel(a.rgba[1]),
                          linear_channel(a.rgba[2])});
    put_text(out, ",");
    put_fixed(out, filter);
    put_text(out, ">");
  } else {
    put_text(out, "rgb ");
    put_linear_rgb(out, a.rgba);
  }
  put_text(out, " }\n  finish {");
  switch (see_through ? Finish::kTransparent : a.finish) {
    case Finish::kTransparent:
      put_text(out, " ambient 0.1 diffuse 0.3");
      if (!put_stated_highlight(out, a)) put_text(out, " specular 0.6 roughness 0.005");
      put_text(out, " reflection 0.05");
      break;
    case Finish::kChrome:
      put_text(out,
               " ambient 0.05 diffuse 0.3 brilliance 4 specular 0.8 roughness 0.002 metallic"
               " reflection { 0.6 metallic }");
      break;
    case Finish::kMetal:
      put_text(out,
               " ambient 0.08 diffuse 0.55 brilliance 2 specular 0.5 roughness 0.03 metallic"
               " reflection { 0.15 metallic }");
      break;
    case Finish::kPearl:
      put_text(out,
               " ambient 0.1 diffuse 0.65 specular 0.4 roughness 0.02"
               " irid { 0.25 thickness 0.4 turbulence 0.3 }");
      break;
    case Finish::kRubber:
      put_text(out, " ambient 0.1 diffuse 0.8");
      break;
    case Finish::kGlow: {
      const bool black = !(a.emissive[0] > 0.0 || a.emissive[1] > 0.0 || a.emissive[2] > 0.0);
      put_text(out, " ambient 0 diffuse 0.5 emission rgb ");
      put_linear_rgb(out, black ? a.rgba : a.emissive);
      break;
    }
    case Finish::kPlastic:
    default:
      put_text(out, " ambient 0.1 diffuse 0.7");
      if (!put_stated_highlight(out, a)) put_text(out, " specular 0.3 roughness 0.02");
      break;
  }
  put_text(out, " }\n}\n\n");
}
