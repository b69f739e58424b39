// Material records for the meshes, by the look they give: lit colours flat
// or smooth, glowing and see-through ones, colour maps, environment maps,
// glass bump pictures. Light reaching a corner is multiplied by `lit` and
// `ambient` is added before the colour (or the map) is applied.
#pragma once

#include <string>

#include "scene/vector.h"

struct Colour {
    float r = 1.0f;
    float g = 1.0f;
    float b = 1.0f;
};

namespace Surface {

constexpr float DEFAULT_AMBIENT = 0.12f;

// Lit by the scene's lights, drawn opaque.
VECTOR_FILE_Material Flat(Colour colour, float ambient = DEFAULT_AMBIENT);
VECTOR_FILE_Material Smooth(Colour colour, float ambient = DEFAULT_AMBIENT);
// A colour map, lit; smooth when asked.
VECTOR_FILE_Material Mapped(const std::string& map, bool smooth = false, float ambient = DEFAULT_AMBIENT);
// An environment map: the map follows the normals, smooth lighting.
VECTOR_FILE_Material Environment(const std::string& map, float ambient = 0.35f);
// Unlit, at full strength: lamps, lit windows, sky.
VECTOR_FILE_Material Shining(Colour colour);
VECTOR_FILE_Material ShiningMapped(const std::string& map);
// Added to the picture: glows and beams, plain or through a map.
VECTOR_FILE_Material Glow(Colour colour, float strength = 1.0f);
VECTOR_FILE_Material GlowMapped(const std::string& map, float strength = 1.0f);
// Blended over what lies behind: transparency 0 is opaque, 1 invisible.
VECTOR_FILE_Material Glass(Colour colour, float transparency, float ambient = DEFAULT_AMBIENT);
VECTOR_FILE_Material GlassMapped(const std::string& map, float transparency, float ambient = DEFAULT_AMBIENT);

// material with a glass bump picture as well.
VECTOR_FILE_Material WithBump(VECTOR_FILE_Material material, const std::string& picture);
// material lit by its normals' corners instead of its cells'.
VECTOR_FILE_Material Smoothed(VECTOR_FILE_Material material);

}  // namespace Surface
