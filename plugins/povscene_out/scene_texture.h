// The POV-Ray texture of an appearance: colour and finish as a scene with assumed_gamma 1.0
// needs them (linear colours), so that the picture shows the colour the model file gave.
#pragma once

#include <string>

#include "meshlib/appearance.h"
#include "plugins/rayinc_out/inc_text.h"

// The appearance of a mesh that carries none: a neutral light grey plastic.
Appearance neutral_appearance();

// The linear value of an sRGB channel (0 to 1; clamped, and 0 for a value that is no number).
double linear_channel(double srgb);

// "#declare name = texture { pigment { ... } finish { ... } }" and an empty line:
//  - opaque finishes: pigment { rgb <linear colour> };
//  - transparent (or any colour with alpha below 1): pigment { rgbf <colour, 1 - alpha> },
//    a coloured filter that lets what lies behind show through;
//  - chrome and metal: metallic highlights and reflection tinted by the colour;
//  - pearl: a soft sheen with thin-film iridescence; rubber: dull, no highlight;
//  - glow: the emissive colour (or the colour itself when that is black) given off as light;
//  - a highlight the model file states (specular_power above 0) sets the highlight's size and
//    strength of plastic and transparent finishes.
void put_texture(const IncStream& out, const std::string& name, const Appearance& appearance);
