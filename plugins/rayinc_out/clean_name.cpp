#include "plugins/rayinc_out/clean_name.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

// The reserved words of the POV-Ray 3.7 scene language, sorted bytewise: every word that
// POV-Ray refuses as the name in "#declare name = ...". Identifiers are case-sensitive and
// every reserved word is lower case, so "Box" stays as it is.
const char* const kReservedWords[] = {
    "aa_level", "aa_threshold", "absorption", "accuracy", "acos", "acosh", "adaptive",
    "adc_bailout", "agate", "agate_turb", "albedo", "all_intersections", "alpha", "altitude",
    "always_sample", "ambient", "ambient_light", "angle", "anisotropy", "aoi", "aperture",
    "append", "arc_angle", "area_illumination", "area_light", "array", "asc", "ascii", "asin",
    "asinh", "assumed_gamma", "atan", "atan2", "atanh", "autostop", "average", "b_spline",
    "background", "bezier_spline", "bicubic_patch", "bitwise_and", "bitwise_or", "bitwise_xor",
    "black_hole", "blob", "blue", "blur_samples", "bmp", "bokeh", "bounded_by", "box", "boxed",
    "bozo", "break", "brick", "brick_size", "brightness", "brilliance", "bump_map", "bump_size",
    "bumps", "camera", "case", "caustics", "ceil", "cells", "charset", "checker", "chr",
    "circular", "clipped_by", "clock", "clock_on", "collect", "color", "color_map", "colour",
    "colour_map", "component", "composite", "concat", "cone", "confidence", "conic_sweep",
    "conserve_energy", "contained_by", "control0", "control1", "coords", "cos", "cosh", "count",
    "crackle", "crand", "cube", "cubic", "cubic_spline", "cubic_wave", "cutaway_textures",
    "cylinder", "cylindrical", "datetime", "debug", "declare", "default", "defined", "degrees",
    "density", "density_file", "density_map", "dents", "deprecated", "df3", "difference",
    "diffuse", "dimension_size", "dimensions", "direction", "disc", "dispersion",
    "dispersion_samples", "dist_exp", "distance", "div", "double_illuminate", "dtag",
    "eccentricity", "else", "elseif", "emission", "end", "error", "error_bound", "evaluate",
    "exp", "expand_thresholds", "exponent", "exr", "exterior", "extinction", "face_indices",
    "facets", "fade_color", "fade_colour", "fade_distance", "fade_power", "falloff",
    "falloff_angle", "false", "fclose", "file_exists", "filter", "finish", "fisheye", "flatness",
    "flip", "floor", "focal_point", "fog", "fog_alt", "fog_offset", "fog_type", "fopen", "for",
    "form", "frequency", "fresnel", "function", "gamma", "gather", "gif", "global_lights",
    "global_settings", "gradient", "granite", "gray", "gray_threshold", "green", "hdr",
    "height_field", "hexagon", "hf_gray_16", "hierarchy", "hollow", "hypercomplex", "if", "ifdef",
    "iff", "ifndef", "image_map", "image_pattern", "importance", "include", "inside",
    "inside_vector", "int", "interior", "interior_texture", "internal", "interpolate",
    "intersection", "intervals", "inverse", "ior", "irid", "irid_wavelength", "isosurface",
    "jitter", "jpeg", "julia", "julia_fractal", "lambda", "lathe", "leopard", "light_group",
    "light_source", "linear_spline", "linear_sweep", "ln", "load_file", "local", "location",
    "log", "look_at", "looks_like", "low_error_factor", "macro", "magnet", "major_radius",
    "mandel", "map_type", "marble", "material", "material_map", "matrix", "max", "max_extent",
    "max_gradient", "max_intersections", "max_iteration", "max_sample", "max_trace",
    "max_trace_level", "maximum_reuse", "media", "media_attenuation", "media_interaction",
    "merge", "mesh", "mesh2", "mesh_camera", "metallic", "method", "metric", "min", "min_extent",
    "minimum_reuse", "mm_per_unit", "mod", "mortar", "natural_spline", "nearest_count", "no",
    "no_bump_scale", "no_image", "no_radiosity", "no_reflection", "no_shadow", "noise_generator",
    "normal", "normal_indices", "normal_map", "normal_vectors", "now", "number_of_sides",
    "number_of_tiles", "number_of_waves", "object", "octaves", "off", "offset", "omega",
    "omnimax", "on", "once", "onion", "open", "orient", "orientation", "orthographic", "ovus",
    "panoramic", "parallel", "parametric", "pass_through", "pattern", "perspective", "pgm",
    "phase", "phong", "phong_size", "photons", "pi", "pigment", "pigment_map", "pigment_pattern",
    "planar", "plane", "png", "point_at", "poly", "poly_wave", "polygon", "polynomial", "pot",
    "pow", "ppm", "precision", "precompute", "premultiplied", "pretrace_end", "pretrace_start",
    "prism", "prod", "projected_through", "pwr", "quadratic_spline", "quadric", "quartic",
    "quaternion", "quick_color", "quick_colour", "quilted", "radial", "radians", "radiosity",
    "radius", "rainbow", "ramp_wave", "rand", "range", "ratio", "read", "reciprocal",
    "recursion_limit", "red", "reflection", "reflection_exponent", "refraction", "render",
    "repeat", "rgb", "rgbf", "rgbft", "rgbt", "right", "ripples", "rotate", "roughness",
    "samples", "save_file", "scale", "scallop_wave", "scattering", "seed", "select", "shadowless",
    "sin", "sine_wave", "sinh", "sint16be", "sint16le", "sint32be", "sint32le", "sint8", "size",
    "sky", "sky_sphere", "slice", "slope", "slope_map", "smooth", "smooth_triangle", "solid",
    "sor", "spacing", "specular", "sphere", "sphere_sweep", "spherical", "spiral1", "spiral2",
    "spline", "split_union", "spotlight", "spotted", "sqr", "sqrt", "square", "srgb", "srgbf",
    "srgbft", "srgbt", "statistics", "steps", "str", "strcmp", "strength", "strlen", "strlwr",
    "strupr", "sturm", "substr", "subsurface", "sum", "superellipsoid", "switch", "sys", "t",
    "tan", "tanh", "target", "text", "texture", "texture_list", "texture_map", "tga", "thickness",
    "threshold", "tiff", "tightness", "tile2", "tiling", "tolerance", "toroidal", "torus",
    "trace", "transform", "translate", "translucency", "transmit", "triangle", "triangle_wave",
    "triangular", "true", "ttf", "turb_depth", "turbulence", "type", "u", "u_steps", "uint16be",
    "uint16le", "uint8", "ultra_wide_angle", "undef", "union", "up", "use_alpha", "use_color",
    "use_colour", "use_index", "utf8", "uv_indices", "uv_mapping", "uv_vectors", "v", "v_steps",
    "val", "variance", "vaxis_rotate", "vcross", "vdot", "version", "vertex_vectors", "vlength",
    "vnormalize", "vrotate", "vstr", "vturbulence", "warning", "warp", "water_level", "waves",
    "while", "wood", "wrinkles", "write", "x", "xyz", "y", "yes", "z",
};

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool is_identifier_char(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || is_digit(c) || c == '_';
}

}  // namespace

bool is_pov_reserved_word(const std::string& word) {
  return std::binary_search(std::begin(kReservedWords), std::end(kReservedWords), word.c_str(),
                            [](const char* a, const char* b) { return std::strcmp(a, b) < 0; });
}

std::string clean_name(const char* name) {
  if (name == nullptr) name = "";
  std::string cleaned;
  cleaned.reserve(std::strlen(name) + 1);
  for (const char* p = name; *p != '\0'; ++p) cleaned += is_identifier_char(*p) ? *p : '_';
  // A name that starts with a digit, an empty name and a reserved word are no identifiers; the
  // same "X" in front makes each of them one.
  if (cleaned.empty() || is_digit(cleaned[0]) || is_pov_reserved_word(cleaned))
    cleaned.insert(cleaned.begin(), 'X');
  return cleaned;
}
